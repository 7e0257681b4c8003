#include "reports/frmstdinfo.h"

#include "platform/Colors.h"
#include "roster/GridPainter.h"
#include "roster/Konstanten.h"
#include "roster/MonthState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString MimeType = QStringLiteral("application/x-turnova-standarddienst");
constexpr int BookmarkRole = Qt::UserRole + 1;

QTableWidgetItem* centred(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

frmstdinfo::frmstdinfo(data::Session& session, QWidget* parent)
    : QWidget(parent, Qt::Tool), session_(session) {
    setObjectName(QStringLiteral("frmstdinfo"));
    setWindowTitle(QStringLiteral("Standarddienst Info"));
    // it stands beside the roster without taking the keyboard from it
    setAttribute(Qt::WA_ShowWithoutActivating);
    // wide enough for its title beside the title bar's buttons
    QFont titleFont = font();
    titleFont.setBold(true);
    setMinimumWidth(QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 90);
    DataGrid1 = new QTableWidget(this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setColumnCount(2);
    DataGrid1->horizontalHeader()->hide();
    DataGrid1->verticalHeader()->hide();
    DataGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DataGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DataGrid1->setFocusPolicy(Qt::NoFocus);
    DataGrid1->verticalHeader()->setDefaultSectionSize(DataGrid1->fontMetrics().height() + 4);
    DataGrid1->viewport()->installEventFilter(this);
    Label1 = new QLabel(QStringLiteral("Ziehen Sie den Dienst auf den Turnova."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(DataGrid1);
    layout->addWidget(Label1);
    gridpaint();
}

void frmstdinfo::gridpaint() {
    engine::Recordset& rs = session_.env.rsStandarddienste;
    DataGrid1->clearContents();
    DataGrid1->setRowCount(1);
    const QFontMetrics metrics = DataGrid1->fontMetrics();
    DataGrid1->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("Tastexx")) + 8);
    DataGrid1->setColumnWidth(1, metrics.horizontalAdvance(roster::DutyColumnSample) + 8);
    for (int c = 0; c < 2; ++c) {
        QTableWidgetItem* header =
            centred(c == 0 ? QStringLiteral("Taste") : QStringLiteral("Dienst"));
        header->setFlags(Qt::ItemIsEnabled);
        header->setBackground(palette().button());
        DataGrid1->setItem(0, c, header);
    }
    try {
        if (!rs.isOpen()) return;
        if (!rs.isEditing()) rs.requery();
        // a copy walks the rows in key order, so the shared recordset stays as it is
        const std::unique_ptr<engine::Recordset> rows = rs.clone();
        rows->setSort(QStringLiteral("Taste"));
        for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
            const int row = DataGrid1->rowCount();
            DataGrid1->setRowCount(row + 1);
            auto* key = centred(rows->value(QStringLiteral("Taste")).toString());
            key->setData(BookmarkRole, rows->bookmark());
            auto* duty = centred(roster::dutyText(rows->value(QStringLiteral("Anfang")),
                                                  rows->value(QStringLiteral("Ende")),
                                                  rows->value(QStringLiteral("Kurzinfo")),
                                                  rows->value(QStringLiteral("Pauschalstunden"))));
            const QVariant farbe = rows->value(QStringLiteral("Farbe"));
            if (!farbe.isNull() && quint32(farbe.toLongLong()) != roster::White) {
                key->setBackground(platform::fromBgr(quint32(farbe.toLongLong())));
                duty->setBackground(key->background());
            }
            DataGrid1->setItem(row, 0, key);
            DataGrid1->setItem(row, 1, duty);
        }
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("gridpaint"));
    }
    fitToGrid();
}

void frmstdinfo::fitToGrid() {
    const int frame = 2 * DataGrid1->frameWidth();
    const int width = DataGrid1->columnWidth(0) + DataGrid1->columnWidth(1) + frame +
                      DataGrid1->verticalScrollBar()->sizeHint().width();
    const int height =
        DataGrid1->verticalHeader()->defaultSectionSize() * DataGrid1->rowCount() + frame;
    DataGrid1->setFixedWidth(width);
    // long lists scroll instead of running off the screen
    DataGrid1->setMinimumHeight(qMin(height, 600));
    DataGrid1->setMaximumHeight(height);
    adjustSize();
}

void frmstdinfo::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    QPointer<QWidget> owner = parentWidget();
    QTimer::singleShot(0, this, [owner] {
        if (owner && owner->isVisible()) owner->activateWindow();
    });
}

void frmstdinfo::closeEvent(QCloseEvent* event) {
    event->accept();
    Q_EMIT closed();
}

bool frmstdinfo::eventFilter(QObject* watched, QEvent* event) {
    if (watched != DataGrid1->viewport()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto& mouse = static_cast<QMouseEvent&>(*event);
        // other buttons do nothing
        if (mouse.button() == Qt::LeftButton) DataGrid1_MouseDown(mouse.position().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        const auto& mouse = static_cast<QMouseEvent&>(*event);
        if (pressed_ && (mouse.buttons() & Qt::LeftButton) &&
            (mouse.position().toPoint() - pressedAt_).manhattanLength() >=
                QApplication::startDragDistance()) {
            pressed_ = false;
            startDrag();
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        pressed_ = false;
        return true;
    case QEvent::MouseButtonDblClick: {
        const auto& mouse = static_cast<QMouseEvent&>(*event);
        if (mouse.button() == Qt::LeftButton) DataGrid1_DblClick(mouse.position().toPoint());
        return true;
    }
    default:
        return false;
    }
}

void frmstdinfo::DataGrid1_MouseDown(const QPoint& at) {
    const int row = DataGrid1->rowAt(at.y());
    if (row < 1) return; // the header row carries no duty
    DataGrid1->setCurrentCell(row, 0);
    rememberedKey_ = DataGrid1->item(row, 0)->text();
    pressedAt_ = at;
    pressed_ = true;
}

void frmstdinfo::startDrag() {
    if (rememberedKey_.isEmpty()) return;
    auto* drag = new QDrag(DataGrid1);
    drag->setMimeData(dutyMimeData(rememberedKey_));
    drag->exec(Qt::CopyAction);
}

void frmstdinfo::DataGrid1_DblClick(const QPoint& at) {
    const int row = DataGrid1->rowAt(at.y());
    if (row < 1 || !openEditor) return;
    try {
        engine::Recordset& rs = session_.env.rsStandarddienste;
        // the editor lists the recordset in key order, standing on the row
        if (!rs.isEditing()) {
            rs.setSort(QStringLiteral("Taste"));
            rs.setBookmark(DataGrid1->item(row, 0)->data(BookmarkRole).toLongLong());
        }
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("DataGrid1_DblClick"));
        return;
    }
    openEditor();
    gridpaint();
}

QMimeData* frmstdinfo::dutyMimeData(const QString& key) {
    auto* data = new QMimeData;
    data->setData(MimeType, key.toUtf8());
    return data;
}

std::optional<QChar> frmstdinfo::dutyKeyOf(const QMimeData* data) {
    if (!data || !data->hasFormat(MimeType)) return std::nullopt;
    const QString key = QString::fromUtf8(data->data(MimeType));
    if (key.size() != 1) return std::nullopt;
    return key.front();
}
