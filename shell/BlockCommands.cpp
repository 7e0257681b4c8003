#include "shell/BlockCommands.h"

#include "platform/Desktop.h"
#include "platform/SafeFile.h"
#include "reports/frmstdinfo.h"
#include "roster/DutyBlocks.h"
#include "roster/Konstanten.h"
#include "shell/FlexGrid.h"
#include "shell/GridEditing.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTimer>

namespace {

const QString BlockMimeType = QStringLiteral("application/x-turnova-dienstblock");
const QString ClipboardFormat = QStringLiteral("Zwischenablage entspricht nicht dem Format");
const QString FileFormat = QStringLiteral("Datei entspricht nicht dem Format");
const QString PasteFailed = QStringLiteral("Fehler beim einfügen der Zwischenablage ");
const QString MoveRefused =
    QStringLiteral("Der Block passt an dieser Stelle nicht in den Dienstplan: ein Teil davon läge "
                   "hinter dem Monatsende oder hinter dem letzten Mitarbeiter. Es wurde nichts "
                   "verschoben.");
const QString TnsFilter =
    QStringLiteral("Alle Dateien (*.*)|*.*|Gespeicherte Dienste (*.tns)|*.tns|");

constexpr int KeyC = 'C';
constexpr int KeyV = 'V';
constexpr int KeyX = 'X';

// The hourglass while a block operation runs.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

bool isBlockKey(int keyCode, int shift) {
    using namespace shiftstate;
    if (shift == 0) return keyCode == keycode::Delete;
    if (shift == Ctrl)
        return keyCode == KeyC || keyCode == KeyX || keyCode == KeyV || keyCode == keycode::Insert;
    if (shift == Shift) return keyCode == keycode::Delete || keyCode == keycode::Insert;
    return false;
}

BlockCommands::BlockCommands(frmTurnova& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("BlockCommands"));
    FlexGrid* grid = window.grid();
    grid->setAcceptDrops(true);
    grid->viewport()->setAcceptDrops(true);
    grid->viewport()->installEventFilter(this);
    const auto connectEntry = [this, &window](const char* name, auto handler) {
        if (QAction* a = window.menuAction(QLatin1String(name)))
            connect(a, &QAction::triggered, this, handler);
    };
    connectEntry("mnucopy", [this] { copy(false); });
    connectEntry("mnuinsert", [this] {
        const QPoint anchor = gridEditing(window_)->rememberedCell();
        paste(anchor.x(), anchor.y());
    });
    connectEntry("mnudel", [this] { deleteBlock(); });
    connectEntry("nmusaveas", [this] { nmusaveas_Click(); });
    connectEntry("mnuinsertfrom", [this] { mnuinsertfrom_Click(); });
    connectEntry("mnuKopier", [this] { copyHere(); });
    connectEntry("mnuVersch", [this] { moveHere(); });
}

void BlockCommands::Grid_KeyDown(int keyCode, int shift) {
    using namespace shiftstate;
    FlexGrid* grid = window_.grid();
    if (shift == 0 && keyCode == keycode::Delete)
        deleteBlock();
    else if (shift == Ctrl && (keyCode == KeyC || keyCode == keycode::Insert))
        copy(false);
    else if ((shift == Ctrl && keyCode == KeyX) || (shift == Shift && keyCode == keycode::Delete))
        copy(true);
    else if ((shift == Ctrl && keyCode == KeyV) || (shift == Shift && keyCode == keycode::Insert))
        paste(grid->col(), grid->row());
}

bool BlockCommands::isDayCell(int row, int col) const {
    return row >= 2 && row <= window_.month().days + 1 && col >= 1 && col < window_.grid()->cols();
}

QRect BlockCommands::markedBlock() const {
    const QRect marked = window_.grid()->selectedBlock();
    return roster::orderedBlock(marked.left(), marked.top(), marked.right(), marked.bottom(),
                                window_.month().days);
}

QString BlockCommands::dutyHeader() const {
    return roster::blockHeader(window_.session().env.rsDienstzeiten);
}

void BlockCommands::clearCell(int row, int col) {
    data::DataUmgebung& env = window_.session().env;
    const QDate day = window_.month().firstDay.addDays(row - 2);
    FlexGrid* grid = window_.grid();
    grid->setText(row, col, QString());
    grid->setBackground(row, col,
                        roster::isFreeDay(env, day) ? window_.month().weekendColor : roster::White);
}

void BlockCommands::showPasted(const roster::PasteResult& pasted) {
    data::DataUmgebung& env = window_.session().env;
    FlexGrid* grid = window_.grid();
    for (const roster::PastedCell& cell : pasted.cells) {
        const QDate day = window_.month().firstDay.addDays(cell.row - 2);
        grid->setText(cell.row, cell.col, cell.text);
        grid->setBackground(cell.row, cell.col,
                            cell.colour != roster::White  ? cell.colour
                            : roster::isFreeDay(env, day) ? window_.month().weekendColor
                                                          : roster::White);
    }
}

void BlockCommands::copy(bool cut) {
    window_.timer1()->stop();
    const QRect block = markedBlock();
    QString text;
    {
        WaitCursor wait;
        data::UndoLog::Command undoStep(window_.session().undo, QStringLiteral("Ausschneiden"));
        try {
            text = roster::copyBlock(window_.session().env, window_.month(), block, cut);
        } catch (const std::exception& e) {
            window_.reportError(e, cut ? QStringLiteral("cut") : QStringLiteral("copy"));
            if (cut) window_.gridrepaint();
            return;
        }
        if (cut && !block.isEmpty()) {
            if (block.width() == 1 && block.height() == 1) {
                clearCell(block.top(), block.left());
                window_.timer1()->start();
            } else {
                window_.gridrepaint();
            }
        }
    }
    window_.grid()->setFocus();
    platform::setClipboardText(text);
}

void BlockCommands::paste(int col, int row) {
    pasteText(platform::clipboardText(), col, row, ClipboardFormat);
}

void BlockCommands::pasteText(const QString& text, int col, int row, const QString& message,
                              bool toClipboard) {
    data::Session& session = window_.session();
    if (!roster::hasBlockHeader(text, dutyHeader())) {
        session.prompts().ask(message);
        return;
    }
    const auto lines = roster::readBlockText(text, roster::dutyFields(session.env));
    if (!lines) {
        session.prompts().ask(message);
        return;
    }
    // a refused text leaves the clipboard as it was
    if (toClipboard) platform::setClipboardText(text);
    if (!isDayCell(row, col)) return;
    window_.timer1()->stop();
    {
        WaitCursor wait;
        data::UndoLog::Command undoStep(session.undo, QStringLiteral("Einfügen"));
        try {
            const roster::PasteResult pasted = roster::pasteBlock(
                session.env, window_.month(), col, row, window_.grid()->cols(), *lines);
            if (pasted.otherRows) {
                window_.gridrepaint();
            } else {
                showPasted(pasted);
                if (!pasted.cells.isEmpty()) window_.timer1()->start();
            }
        } catch (const std::exception&) {
            // nothing of the paste was kept
            session.prompts().ask(PasteFailed);
            window_.gridrepaint();
        }
    }
    window_.grid()->setFocus();
    if (window_.afterRepaint) window_.afterRepaint();
}

void BlockCommands::deleteBlock() {
    const QRect block = markedBlock();
    if (block.isEmpty()) return;
    window_.timer1()->stop();
    const bool single = block.width() == 1 && block.height() == 1;
    if (!single &&
        window_.session().prompts().ask(
            QStringLiteral("Wollen Sie alle markierten Dienste Löschen"), platform::Buttons::YesNo,
            platform::Icon::Exclamation, QStringLiteral("Löschen"), 1) != platform::Answer::Yes) {
        window_.grid()->setFocus();
        return;
    }
    {
        WaitCursor wait;
        data::UndoLog::Command undoStep(window_.session().undo, QStringLiteral("Löschen"));
        try {
            roster::deleteBlock(window_.session().env, window_.month(), block);
            if (single) {
                clearCell(block.top(), block.left());
                window_.timer1()->start();
            } else {
                window_.gridrepaint();
            }
        } catch (const std::exception& e) {
            window_.reportError(e, QStringLiteral("mnudel_Click"));
            window_.gridrepaint();
        }
    }
    window_.grid()->setFocus();
}

void BlockCommands::copyHere() {
    transfer(false);
}

void BlockCommands::moveHere() {
    transfer(true);
}

void BlockCommands::transfer(bool move) {
    GridEditing* editing = gridEditing(window_);
    // a single marked cell: the cell the drag began on; else the marked block
    const QRect marked = editing->rememberedBlock();
    const QRect from = marked.width() == 1 && marked.height() == 1
                           ? QRect(editing->rememberedCell(), editing->rememberedCell())
                           : marked;
    const QRect source = roster::orderedBlock(from.left(), from.top(), from.right(), from.bottom(),
                                              window_.month().days);
    if (source.isEmpty() || !isDayCell(dropCell_.y(), dropCell_.x())) return;
    window_.timer1()->stop();
    data::Session& session = window_.session();
    data::UndoLog::Command undoStep(session.undo, move ? QStringLiteral("Verschieben")
                                                       : QStringLiteral("Kopieren"));
    if (!move) {
        QString text;
        try {
            text = roster::copyBlock(session.env, window_.month(), source);
        } catch (const std::exception& e) {
            window_.reportError(e, QStringLiteral("mnuKopier_Click"));
            return;
        }
        platform::setClipboardText(text);
        pasteText(text, dropCell_.x(), dropCell_.y(), ClipboardFormat);
        return;
    }
    {
        WaitCursor wait;
        try {
            const roster::MoveResult moved =
                roster::moveBlock(session.env, window_.month(), source, dropCell_.x(),
                                  dropCell_.y(), window_.grid()->cols());
            if (moved.refused)
                session.prompts().ask(MoveRefused, platform::Buttons::Ok,
                                      platform::Icon::Exclamation);
            else
                platform::setClipboardText(moved.text);
        } catch (const std::exception&) {
            // the source and the target are as they were
            session.prompts().ask(PasteFailed);
        }
        window_.gridrepaint();
    }
    window_.grid()->setFocus();
}

namespace {

platform::FileRequest tnsRequest(const data::Session& session) {
    platform::FileRequest request;
    request.defaultName = QStringLiteral("Dienste");
    request.defaultExtension = QStringLiteral(".tns");
    request.startFolder = session.services.folders.documentsFolder;
    request.filter = TnsFilter;
    request.filterIndex = 2;
    return request;
}

} // namespace

void BlockCommands::nmusaveas_Click() {
    window_.timer1()->stop();
    data::Session& session = window_.session();
    QString text;
    try {
        text = roster::copyBlock(session.env, window_.month(), markedBlock());
    } catch (const std::exception& e) {
        window_.reportError(e, QStringLiteral("nmusaveas_Click"));
        return;
    }
    platform::setClipboardText(text);
    const std::optional<QString> path = session.prompts().saveFile(tnsRequest(session));
    if (!path) return;
    // an existing file is replaced only by a complete new one
    try {
        platform::writeFileSafely(*path, roster::blockFileContent(text));
    } catch (const platform::FileWriteError& e) {
        session.prompts().ask(e.message() + QStringLiteral("\nDie Dienste sind nicht gespeichert."));
    }
}

void BlockCommands::mnuinsertfrom_Click() {
    window_.timer1()->stop();
    data::Session& session = window_.session();
    const std::optional<QString> path = session.prompts().openFile(tnsRequest(session));
    if (!path) return;
    QFile file(*path);
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly)) {
        session.prompts().ask(
            QStringLiteral("Die Datei \"%1\" konnte nicht gelesen werden.").arg(*path));
        return;
    }
    std::optional<QString> text;
    if (file.size() <= roster::MaxBlockTextSize) text = roster::blockTextOfFile(file.readAll());
    if (!text) {
        session.prompts().ask(FileFormat);
        return;
    }
    const QPoint anchor = gridEditing(window_)->rememberedCell();
    pasteText(*text, anchor.x(), anchor.y(), FileFormat, true);
}

namespace {

// What names the grid a block was dragged from: the process and the window.
QByteArray blockPayload(const frmTurnova& window) {
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(quintptr(&window));
}

} // namespace

QMimeData* BlockCommands::blockMimeData() const {
    auto* data = new QMimeData;
    data->setData(BlockMimeType, blockPayload(window_));
    return data;
}

void BlockCommands::startDrag() {
    auto* drag = new QDrag(window_.grid());
    drag->setMimeData(blockMimeData());
    drag->exec(Qt::CopyAction | Qt::MoveAction);
}

bool BlockCommands::Grid_DragDrop(const QMimeData* data, const QPoint& at) {
    FlexGrid* grid = window_.grid();
    const std::optional<QChar> key = frmstdinfo::dutyKeyOf(data);
    const bool ownBlock = data && data->data(BlockMimeType) == blockPayload(window_);
    if (!key && !ownBlock) return false;
    const QModelIndex index = grid->indexAt(at);
    if (!index.isValid() || !isDayCell(index.row(), index.column())) return true;
    const int row = index.row();
    const int col = index.column();
    if (key) {
        window_.timer1()->stop();
        gridEditing(window_)->enterStandardDuty(row, col, *key, key->unicode());
        try {
            window_.session().env.rsDienstzeiten.requery();
        } catch (const std::exception& e) {
            window_.reportError(e, QStringLiteral("Grid_DragDrop"));
        }
        if (window_.afterRepaint) window_.afterRepaint();
        return true;
    }
    // a block dropped where its drag began stays as it is
    if (QPoint(col, row) == gridEditing(window_)->rememberedCell()) return true;
    dropCell_ = QPoint(col, row);
    const QPoint global = grid->viewport()->mapToGlobal(at);
    QTimer::singleShot(0, this, [this, global] {
        if (QMenu* menu = window_.popupMenu(QStringLiteral("mnuBearb"))) menu->popup(global);
    });
    return true;
}

void BlockCommands::rightButtonUp(const QMouseEvent& event) {
    FlexGrid* grid = window_.grid();
    const QModelIndex index = grid->indexAt(event.position().toPoint());
    if (!index.isValid() || !isDayCell(index.row(), index.column())) return;
    if (QAction* insert = window_.menuAction(QStringLiteral("mnuinsert")))
        insert->setEnabled(roster::hasBlockHeader(platform::clipboardText(), dutyHeader()));
    if (QMenu* menu = window_.popupMenu(QStringLiteral("mnuAktion")))
        menu->popup(grid->viewport()->mapToGlobal(event.position().toPoint()));
}

bool BlockCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_.grid()->viewport()) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto& mouse = static_cast<QMouseEvent&>(*event);
        if (mouse.button() == Qt::RightButton) {
            pressedAt_ = mouse.position().toPoint();
            rightPressed_ = true;
            dragged_ = false;
        }
        return false; // the key handlers remember the marked block
    }
    case QEvent::MouseMove: {
        const auto& mouse = static_cast<QMouseEvent&>(*event);
        if (!rightPressed_ || !(mouse.buttons() & Qt::RightButton)) return false;
        if (!dragged_ && (mouse.position().toPoint() - pressedAt_).manhattanLength() >=
                             QApplication::startDragDistance()) {
            dragged_ = true;
            startDrag();
            rightPressed_ = false;
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto& mouse = static_cast<QMouseEvent&>(*event);
        if (mouse.button() != Qt::RightButton) return false;
        if (rightPressed_ && !dragged_) rightButtonUp(mouse);
        rightPressed_ = false;
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto& drag = static_cast<QDragMoveEvent&>(*event);
        const QMimeData* data = drag.mimeData();
        if (frmstdinfo::dutyKeyOf(data) || (data && data->hasFormat(BlockMimeType)))
            drag.acceptProposedAction();
        else
            drag.ignore();
        return true;
    }
    case QEvent::Drop: {
        auto& drop = static_cast<QDropEvent&>(*event);
        if (Grid_DragDrop(drop.mimeData(), drop.position().toPoint()))
            drop.acceptProposedAction();
        else
            drop.ignore();
        return true;
    }
    default:
        return false;
    }
}

void installBlockCommands(frmTurnova& window) {
    new BlockCommands(window);
}

BlockCommands* blockCommands(frmTurnova& window) {
    return window.findChild<BlockCommands*>(QStringLiteral("BlockCommands"),
                                            Qt::FindDirectChildrenOnly);
}
