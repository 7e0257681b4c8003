#include "shell/FlexGrid.h"

#include "platform/Colors.h"
#include "platform/Formats.h"
#include "shell/CellMarks.h"

#include <QApplication>
#include <QHeaderView>

namespace {

constexpr int BackgroundSet = Qt::UserRole + 1;

Qt::Alignment qtAlignment(roster::Align a, const QString& text) {
    switch (a) {
    case roster::Align::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case roster::Align::Center:
        return Qt::AlignCenter;
    case roster::Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case roster::Align::General:
        break;
    }
    // the old grid's general alignment: numbers to the right, text to the left
    bool number = false;
    platform::parseNumber(text, &number);
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setItemDelegate(new CellMarkDelegate(this));
}

QTableWidgetItem* FlexGrid::cell(int row, int col) {
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        it->setData(Qt::TextAlignmentRole, int(qtAlignment(columnAligns_.value(col, roster::Align::General), QString())));
        styleFixed(it, row, col);
        setItem(row, col, it);
    }
    return it;
}

void FlexGrid::styleFixed(QTableWidgetItem* item, int row, int col) const {
    if (row < fixedRows_ || col == 0) {
        item->setFlags(Qt::ItemIsEnabled);
        if (!item->data(BackgroundSet).toBool())
            item->setBackground(palette().button());
    } else {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
}

void FlexGrid::setRows(int rows) { setRowCount(rows); }

void FlexGrid::setCols(int cols) { setColumnCount(cols); }

void FlexGrid::setFixedRows(int fixedRows) { fixedRows_ = fixedRows; }

void FlexGrid::clearCells() {
    clearContents();
    columnAligns_.clear();
}

void FlexGrid::setText(int row, int col, const QString& text) {
    QTableWidgetItem* it = cell(row, col);
    it->setText(text);
    it->setData(Qt::TextAlignmentRole, int(qtAlignment(alignment(row, col), text)));
}

QString FlexGrid::text(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void FlexGrid::setBackground(int row, int col, quint32 bgr) {
    QTableWidgetItem* it = cell(row, col);
    it->setBackground(platform::fromBgr(bgr));
    it->setData(BackgroundSet, true);
    it->setData(Qt::UserRole + 2, qint64(bgr));
}

quint32 FlexGrid::background(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    if (!it || !it->data(BackgroundSet).toBool())
        return 0xFFFFFFFFu;
    return quint32(it->data(Qt::UserRole + 2).toLongLong());
}

void FlexGrid::setAlignment(int row, int col, roster::Align align) {
    QTableWidgetItem* it = cell(row, col);
    it->setData(Qt::UserRole + 3, int(align));
    it->setData(Qt::TextAlignmentRole, int(qtAlignment(align, it->text())));
}

roster::Align FlexGrid::alignment(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    if (it && it->data(Qt::UserRole + 3).isValid())
        return roster::Align(it->data(Qt::UserRole + 3).toInt());
    return columnAligns_.value(col, roster::Align::General);
}

void FlexGrid::setColumnAlignment(int col, roster::Align align) {
    columnAligns_[col] = align;
    for (int r = 0; r < rowCount(); ++r) {
        if (QTableWidgetItem* it = item(r, col); it && !it->data(Qt::UserRole + 3).isValid())
            it->setData(Qt::TextAlignmentRole, int(qtAlignment(align, it->text())));
    }
}

void FlexGrid::setMark(int row, int col, const QString& tip) {
    QTableWidgetItem* it = cell(row, col);
    it->setData(CellMarkDelegate::MarkRole, !tip.isEmpty());
    it->setToolTip(tip);
}

QString FlexGrid::mark(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    return it && it->data(CellMarkDelegate::MarkRole).toBool() ? it->toolTip() : QString();
}

void FlexGrid::setColumnWidth(int col, int width) { QTableWidget::setColumnWidth(col, width); }

int FlexGrid::textWidth(const QString& text) const {
    return fontMetrics().horizontalAdvance(text) + 12;
}

void FlexGrid::setCursor(int row, int col) {
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount())
        return;
    setCurrentCell(row, col, QItemSelectionModel::ClearAndSelect);
}

void FlexGrid::setRedraw(bool on) {
    setUpdatesEnabled(on);
    if (on)
        viewport()->update();
}

void FlexGrid::setBusy(bool busy) {
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QRect FlexGrid::selectedBlock() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty())
        return QRect(QPoint(currentColumn(), currentRow()), QPoint(currentColumn(), currentRow()));
    const QTableWidgetSelectionRange& r = ranges.first();
    return QRect(QPoint(r.leftColumn(), r.topRow()), QPoint(r.rightColumn(), r.bottomRow()));
}
