#include "shell/GridEditing.h"

#include "dialogs/frmDiensteingabe.h"
#include "dialogs/frmSollStd.h"
#include "dialogs/frmStdDienste.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/DutyEntry.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/Statistics.h"
#include "shell/BlockCommands.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace {

struct KeyStroke {
    int code = 0;
    int shift = 0;
};

// The key code and modifier bits of a key event; number-pad digits get their own codes.
KeyStroke keyStroke(const QKeyEvent& event) {
    KeyStroke k;
    const Qt::KeyboardModifiers mods = event.modifiers();
    if (mods & Qt::ShiftModifier) k.shift |= shiftstate::Shift;
    if (mods & Qt::ControlModifier) k.shift |= shiftstate::Ctrl;
    if (mods & Qt::AltModifier) k.shift |= shiftstate::Alt;
    const int key = event.key();
    const bool pad = mods & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        k.code = pad ? keycode::NumPad0 + (key - Qt::Key_0) : key;
    else if (key >= Qt::Key_A && key <= Qt::Key_Z)
        k.code = key;
    else if (key == Qt::Key_Asterisk && pad)
        k.code = keycode::Multiply;
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        k.code = keycode::Enter;
    else if (key == Qt::Key_Delete)
        k.code = keycode::Delete;
    else if (key == Qt::Key_F5)
        k.code = keycode::F5;
    else if (key == Qt::Key_Left)
        k.code = keycode::Left;
    else if (key == Qt::Key_Right)
        k.code = keycode::Right;
    else if (key == Qt::Key_Insert)
        k.code = keycode::Insert;
    return k;
}

bool isDutyKey(int code) {
    return (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9') ||
           (code >= keycode::NumPad0 && code <= keycode::NumPad0 + 9);
}

// The keys of the handler's table; every other key is left to the grid.
bool isHandlerKey(const KeyStroke& k) {
    if (isBlockKey(k.code, k.shift)) return true;
    if (k.shift == 0) return isDutyKey(k.code) || k.code == keycode::Enter || k.code == keycode::F5;
    if (k.shift == shiftstate::Alt) return k.code == keycode::Left || k.code == keycode::Right;
    if (k.shift == (shiftstate::Ctrl | shiftstate::Alt)) return k.code == keycode::Multiply;
    return false;
}

// Sets a flag for the lifetime of the guard.
class BusyGuard {
public:
    explicit BusyGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyGuard() { flag_ = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    bool& flag_;
};

} // namespace

GridEditing::GridEditing(frmTurnova& window)
    : QObject(&window), window_(window), grid_(window.grid()) {
    setObjectName(QStringLiteral("GridEditing"));
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    if (QAction* edit = window.menuAction(QStringLiteral("mnustdedit")))
        connect(edit, &QAction::triggered, this, &GridEditing::mnustdedit_Click);
}

GridEditing::~GridEditing() {
    if (grid_) {
        grid_->viewport()->removeEventFilter(this);
        grid_->removeEventFilter(this);
    }
}

bool GridEditing::eventFilter(QObject* watched, QEvent* event) {
    FlexGrid* grid = window_.grid();
    if (watched == grid && event->type() == QEvent::KeyPress)
        return keyPress(static_cast<QKeyEvent&>(*event));
    if (watched == grid->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            const auto& mouse = static_cast<QMouseEvent&>(*event);
            if (mouse.button() != Qt::LeftButton) return false;
            const QModelIndex index = grid->indexAt(mouse.position().toPoint());
            // the names, targets and labels take no double-click
            if (index.isValid() && grid->isFixedCell(index.row(), index.column())) return true;
            if (index.isValid()) grid->setCurrentCell(index.row(), index.column());
            Grid_DblClick();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent&>(*event).button() == Qt::RightButton) {
            rightButtonDown(static_cast<QMouseEvent&>(*event));
            // the grid itself does not see the right button: a click inside the marked block keeps
            // it
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool GridEditing::keyPress(const QKeyEvent& event) {
    const KeyStroke k = keyStroke(event);
    if (!isHandlerKey(k)) {
        // moving on while the sums wait for their repaint delays it, but does not cancel it
        if (window_.timer1()->isActive()) window_.timer1()->start();
        return false;
    }
    return Grid_KeyDown(k.code, k.shift);
}

void GridEditing::rightButtonDown(const QMouseEvent& event) {
    FlexGrid* grid = window_.grid();
    const QModelIndex index = grid->indexAt(event.position().toPoint());
    rememberedCell_ = index.isValid() ? QPoint(index.column(), index.row()) : QPoint(-1, -1);
    // a right click outside the marked block moves the cursor there first, so the menu's
    // commands act on the cell under the pointer
    if (isDayCell(index.row(), index.column()) && !grid->selectedBlock().contains(rememberedCell_))
        grid->setCursor(index.row(), index.column());
    rememberedBlock_ = grid->selectedBlock();
}

bool GridEditing::isDayCell(int row, int col) const {
    return row >= 2 && row <= window_.month().days + 1 && col >= 1 && col < window_.grid()->cols();
}

QDate GridEditing::dayOfRow(int row) const {
    return window_.month().firstDay.addDays(row - 2);
}

int GridEditing::memberAt(int col) {
    engine::Recordset& members = window_.session().env.rsMaNachGrp;
    if (!members.isOpen()) return 0;
    members.moveFirst();
    if (!members.find(QStringLiteral("DienstPos=") + QString::number(col))) return 0;
    return roster::nullToLong(members.value(QStringLiteral("manr")));
}

bool GridEditing::Grid_KeyDown(int keyCode, int shift) {
    FlexGrid* grid = window_.grid();
    const int row = grid->row();
    const int col = grid->col();
    if (row > window_.month().days + 1 || busy_) return true;
    BusyGuard guard(busy_);
    window_.timer1()->stop();
    try {
        if (shift == 0 && isDutyKey(keyCode)) {
            enterStandardDuty(row, col, roster::keyCharacter(keyCode), roster::keyCodeOf(keyCode));
        } else if (isBlockKey(keyCode, shift)) {
            if (BlockCommands* blocks = blockCommands(window_))
                blocks->Grid_KeyDown(keyCode, shift);
        } else if (shift == 0 && keyCode == keycode::Enter) {
            openDutyEntry(row, col);
        } else if (shift == 0 && keyCode == keycode::F5) {
            window_.gridrepaint();
        } else if (shift == shiftstate::Alt && keyCode == keycode::Left) {
            if (col >= 2) movePosition(row, col, -1);
        } else if (shift == shiftstate::Alt && keyCode == keycode::Right) {
            if (col >= 1 && col + 1 < grid->cols()) movePosition(row, col, +1);
        } else if (shift == (shiftstate::Ctrl | shiftstate::Alt) && keyCode == keycode::Multiply) {
            showDutyTimes(row, col);
        }
    } catch (const std::exception& e) {
        window_.reportError(e,
                            QStringLiteral("Grid_KeyDown Keycode : ") + QString::number(keyCode));
    }
    try {
        window_.session().env.rsDienstzeiten.requery();
    } catch (const std::exception& e) {
        window_.reportError(e,
                            QStringLiteral("Grid_KeyDown Keycode : ") + QString::number(keyCode));
    }
    if (window_.afterRepaint) window_.afterRepaint();
    return true;
}

void GridEditing::enterStandardDuty(int row, int col, QChar key, int code) {
    // only a day of an employee takes a duty
    if (!isDayCell(row, col)) return;
    const int maNr = memberAt(col);
    if (maNr == 0) return;
    data::Session& session = window_.session();
    const QDate day = dayOfRow(row);
    data::UndoLog::Command undoStep(session.undo, QStringLiteral("Eintragen"));
    switch (roster::insStdDienst(session, day, maNr, key)) {
    case roster::StdDienstResult::NoStandardDuty:
        session.prompts().ask(QStringLiteral("Dieser Taste ist kein Standarddienst zugeordnet. ") +
                              QStringLiteral("\nTaste: ") + key + QStringLiteral("\nCode: ") +
                              QString::number(code));
        return;
    case roster::StdDienstResult::Failed:
        return;
    case roster::StdDienstResult::Written:
        break;
    }
    // the cell shows at once what the next repaint will show
    engine::Recordset& duty = session.env.rsDienstzeiten;
    FlexGrid* grid = window_.grid();
    grid->setText(row, col,
                  roster::dutyText(duty.value(QStringLiteral("anfang")),
                                   duty.value(QStringLiteral("ende")),
                                   duty.value(QStringLiteral("kurzinfo")),
                                   duty.value(QStringLiteral("Normstunden"))));
    const QVariant farbe = duty.value(QStringLiteral("farbe"));
    const quint32 colour = farbe.isNull() ? roster::White : quint32(farbe.toLongLong());
    if (colour != roster::White)
        grid->setBackground(row, col, colour);
    else
        grid->setBackground(row, col,
                            roster::isFreeDay(session.env, day) ? window_.month().weekendColor
                                                                : roster::White);
    window_.timer1()->start();
}

void GridEditing::openDutyEntry(int row, int col) {
    if (!isDayCell(row, col)) return;
    data::Session& session = window_.session();
    if (!roster::findDutyAtPosition(session.env, dayOfRow(row), col, window_.month().groupNumber) ||
        session.env.rsDienstzeiten.eof())
        return;
    window_.timer1()->stop();
    {
        // saved, deleted or moved: named after what the dialog did
        data::UndoLog::Command undoStep(session.undo, QString());
        frmDiensteingabe entry(session, &window_);
        entry.exec();
    }
    window_.gridrepaint();
    window_.grid()->setFocus();
}

void GridEditing::movePosition(int row, int col, int direction) {
    {
        data::UndoLog::Command undoStep(window_.session().undo,
                                        QStringLiteral("Tauschen der Positionen"));
        roster::swapPositions(window_.session().env, col, direction, window_.month().groupNumber);
    }
    window_.gridrepaint();
    window_.grid()->setFocus();
    window_.grid()->setCursor(row, col + direction);
}

void GridEditing::showDutyTimes(int row, int col) {
    if (!isDayCell(row, col)) return;
    data::Session& session = window_.session();
    engine::Recordset& duty = session.env.rsDienstzeiten;
    if (!roster::findDutyAtPosition(session.env, dayOfRow(row), col, window_.month().groupNumber) ||
        duty.eof())
        return;
    const auto longDate = [](const QVariant& v) {
        return v.isNull() ? QString()
                          : platform::locale().toString(engine::toDate(v), QLocale::LongFormat);
    };
    session.prompts().ask(longDate(duty.value(QStringLiteral("Anfang"))) + QStringLiteral(" bis ") +
                          longDate(duty.value(QStringLiteral("Ende"))));
}

void GridEditing::Grid_DblClick() {
    FlexGrid* grid = window_.grid();
    const int days = window_.month().days;
    const int row = grid->row();
    const int col = grid->col();
    try {
        if (grid->selectedBlock().bottom() <= days + 1) {
            if (busy_) return;
            BusyGuard guard(busy_);
            openDutyEntry(row, col);
        } else if (row >= days + 2 && col >= 1) {
            openTargetHours(col);
        }
    } catch (const std::exception& e) {
        window_.reportError(e, QStringLiteral("Grid_DblClick "));
    }
}

void GridEditing::openTargetHours(int col) {
    data::Session& session = window_.session();
    data::DataUmgebung& env = session.env;
    const roster::MonthState& month = window_.month();
    engine::Recordset& members = env.rsMaNachGrp;
    members.setSort(QStringLiteral("Dienstpos"));
    members.moveFirst();
    if (!members.find(QStringLiteral("DienstPos=") + QString::number(col))) return;
    const roster::TargetBasis basis = roster::targetBasis(members);
    const QString planName = members.value(QStringLiteral("Planname")).toString();
    window_.timer1()->stop();
    // The work days count from the first working day, as in the statistics run. The row is
    // prepared but written only by "Speichern".
    const roster::Holidays holidays(env, month.firstDay, month.lastDay);
    roster::monthRowUpdate(
        env, basis.maNr, basis.sollstd, basis.normstunden, month.month, month.year,
        roster::targetWorkDays(holidays, month.firstDay, month.lastDay, basis.ersterArbeitstag));
    {
        frmSollStd target(session, &window_);
        target.prepare(planName, month.firstDay, roster::nullToDouble(basis.sollstd) == 0);
        target.exec();
    }
    window_.gridrepaint();
}

void GridEditing::mnustdedit_Click() {
    window_.timer1()->stop();
    data::Session& session = window_.session();
    {
        frmStdDienste editor(session, &window_);
        editor.exec();
    }
    try {
        session.env.rsStandarddienste.requery();
    } catch (const std::exception& e) {
        window_.reportError(e, QStringLiteral("mnustdedit_Click"));
    }
}

void installGridEditing(frmTurnova& window) {
    new GridEditing(window);
}

GridEditing* gridEditing(frmTurnova& window) {
    return window.findChild<GridEditing*>(QStringLiteral("GridEditing"),
                                          Qt::FindDirectChildrenOnly);
}
