#include "shell/FlexGrid.h"

#include "platform/Colors.h"
#include "platform/Formats.h"
#include "shell/CellMarks.h"
#include "shell/GridCell.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

namespace {

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
    setItemPrototype(new GridCell);
    // the fixed parts cover the first pixels of the scrolled area, so scrolling goes by pixels
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
}

GridCell* FlexGrid::cell(int row, int col) {
    if (auto* it = dynamic_cast<GridCell*>(item(row, col))) return it;
    auto* it = new GridCell;
    it->alignmentFlags =
        int(qtAlignment(columnAligns_.value(col, roster::Align::General), QString()));
    styleFixed(it, row, col);
    const QSignalBlocker blocker = quiet();
    setItem(row, col, it);
    return it;
}

const GridCell* FlexGrid::cellAt(int row, int col) const {
    return dynamic_cast<const GridCell*>(item(row, col));
}

void FlexGrid::changed(GridCell* cell) {
    // while the grid is rebuilt the view hears of all cells at once afterwards
    if (rebuilding_) return;
    const QModelIndex index = indexFromItem(cell);
    Q_EMIT model()->dataChanged(index, index);
}

void FlexGrid::styleFixed(GridCell* cell, int row, int col) const {
    if (row < fixedRows_ || col == 0) {
        cell->setFlags(Qt::ItemIsEnabled);
        if (!cell->colour) cell->brush = palette().button();
    } else {
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
}

void FlexGrid::setRows(int rows) {
    setRowCount(rows);
}

void FlexGrid::setCols(int cols) {
    setColumnCount(cols);
}

void FlexGrid::setFixedRows(int fixedRows) {
    fixedRows_ = fixedRows;
}

void FlexGrid::clearCells() {
    clearContents();
    columnAligns_.clear();
}

QSignalBlocker FlexGrid::quiet() {
    return QSignalBlocker(rebuilding_ ? model() : nullptr);
}

void FlexGrid::setText(int row, int col, const QString& text) {
    GridCell* it = cell(row, col);
    it->shownText = text;
    it->alignmentFlags = int(qtAlignment(alignment(row, col), text));
    changed(it);
}

QString FlexGrid::text(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void FlexGrid::setBackground(int row, int col, quint32 bgr) {
    GridCell* it = cell(row, col);
    it->colour = bgr;
    it->brush = QBrush(platform::fromBgr(bgr));
    changed(it);
}

quint32 FlexGrid::background(int row, int col) const {
    const GridCell* it = cellAt(row, col);
    return it && it->colour ? *it->colour : 0xFFFFFFFFu;
}

void FlexGrid::setAlignment(int row, int col, roster::Align align) {
    GridCell* it = cell(row, col);
    it->align = align;
    it->alignmentFlags = int(qtAlignment(align, it->shownText));
    changed(it);
}

roster::Align FlexGrid::alignment(int row, int col) const {
    const GridCell* it = cellAt(row, col);
    if (it && it->align) return *it->align;
    return columnAligns_.value(col, roster::Align::General);
}

void FlexGrid::setColumnAlignment(int col, roster::Align align) {
    columnAligns_[col] = align;
    for (int r = 0; r < rowCount(); ++r) {
        if (auto* it = dynamic_cast<GridCell*>(item(r, col)); it && !it->align) {
            it->alignmentFlags = int(qtAlignment(align, it->shownText));
            changed(it);
        }
    }
}

void FlexGrid::setMark(int row, int col, const QString& tip) {
    GridCell* it = cell(row, col);
    it->marked = !tip.isEmpty();
    it->tip = tip;
    changed(it);
}

QString FlexGrid::mark(int row, int col) const {
    const GridCell* it = cellAt(row, col);
    return it && it->marked ? it->tip : QString();
}

void FlexGrid::setDayMark(int row, int kinds, const QString& tip) {
    GridCell* it = cell(row, 0);
    it->staffing = kinds;
    it->tip = kinds != 0 ? tip : QString();
    changed(it);
}

QString FlexGrid::dayMark(int row) const {
    const GridCell* it = cellAt(row, 0);
    return it && it->staffing != 0 ? it->tip : QString();
}

void FlexGrid::setColumnWidth(int col, int width) {
    QTableWidget::setColumnWidth(col, width);
}

int FlexGrid::textWidth(const QString& text) const {
    return fontMetrics().horizontalAdvance(text) + 12;
}

void FlexGrid::setCursor(int row, int col) {
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount() || isFixedCell(row, col))
        return;
    setCurrentCell(row, col, QItemSelectionModel::ClearAndSelect);
}

void FlexGrid::setRedraw(bool on) {
    // a repaint rebuilds every row; the view stays where the planner had scrolled it
    if (!on && updatesEnabled())
        keptScroll_ = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    setUpdatesEnabled(on);
    // While the grid is rebuilt its cells change without a signal each (thousands of them cost
    // more than the repaint's queries); the view hears of them at once when redraw is on again.
    const bool rebuilt = rebuilding_ && on;
    rebuilding_ = !on;
    if (rebuilt && rowCount() > 0 && columnCount() > 0)
        Q_EMIT model()->dataChanged(model()->index(0, 0),
                                    model()->index(rowCount() - 1, columnCount() - 1));
    if (on) {
        updateGeometries(); // the scroll ranges of the rebuilt grid
        horizontalScrollBar()->setValue(keptScroll_.x());
        verticalScrollBar()->setValue(keptScroll_.y());
        if (currentIndex().isValid()) scrollTo(currentIndex());
        viewport()->update();
    }
}

void FlexGrid::setBusy(bool busy) {
    if (busy == busy_) return;
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

// --- the fixed rows and the label column ---

bool FlexGrid::isFixedCell(int row, int col) const {
    return row < fixedRows_ || col < 1;
}

int FlexGrid::fixedHeight() const {
    int height = 0;
    for (int r = 0; r < qMin(fixedRows_, rowCount()); ++r)
        height += rowHeight(r);
    return height;
}

int FlexGrid::fixedWidth() const {
    return columnCount() > 0 ? QTableWidget::columnWidth(0) : 0;
}

QModelIndex FlexGrid::indexAt(const QPoint& point) const {
    if (rowCount() == 0 || columnCount() == 0 || point.x() < 0 || point.y() < 0) return {};
    int row = -1;
    if (point.y() < fixedHeight()) {
        for (int r = 0; r < fixedRows_ && row < 0; ++r) {
            if (point.y() < verticalHeader()->sectionPosition(r) + rowHeight(r)) row = r;
        }
    } else {
        row = rowAt(point.y());
    }
    const int col = point.x() < fixedWidth() ? 0 : columnAt(point.x());
    if (row < 0 || col < 0) return {};
    return model()->index(row, col);
}

QRect FlexGrid::visualRect(const QModelIndex& index) const {
    QRect rect = QTableWidget::visualRect(index);
    if (!index.isValid()) return rect;
    if (index.column() < 1) rect.moveLeft(horizontalHeader()->sectionPosition(index.column()));
    if (index.row() < fixedRows_) rect.moveTop(verticalHeader()->sectionPosition(index.row()));
    return rect;
}

void FlexGrid::scrollTo(const QModelIndex& index, ScrollHint) {
    if (!index.isValid()) return;
    // where the cell lies in the scrolled area, whatever covers it
    const QRect cell(columnViewportPosition(index.column()), rowViewportPosition(index.row()),
                     QTableWidget::columnWidth(index.column()), rowHeight(index.row()));
    const auto bring = [](QScrollBar* bar, int from, int to, int low, int high) {
        if (from < low)
            bar->setValue(bar->value() - (low - from));
        else if (to > high)
            bar->setValue(bar->value() + qMin(to - high, from - low));
    };
    if (index.column() >= 1)
        bring(horizontalScrollBar(), cell.left(), cell.left() + cell.width(), fixedWidth(),
              viewport()->width());
    if (index.row() >= fixedRows_)
        bring(verticalScrollBar(), cell.top(), cell.top() + cell.height(), fixedHeight(),
              viewport()->height());
}

QRect FlexGrid::visibleCells() const {
    if (rowCount() <= fixedRows_ || columnCount() <= 1) return {};
    const int top = fixedHeight();
    const int left = fixedWidth();
    const int bottom = viewport()->height();
    const int right = viewport()->width();
    int r0 = rowAt(top);
    int c0 = columnAt(left);
    if (r0 < 0 || c0 < 0) return {};
    if (rowViewportPosition(r0) < top) ++r0;
    if (columnViewportPosition(c0) < left) ++c0;
    int r1 = rowAt(bottom - 1);
    int c1 = columnAt(right - 1);
    if (r1 < 0)
        r1 = rowCount() - 1;
    else if (rowViewportPosition(r1) + rowHeight(r1) > bottom)
        --r1;
    if (c1 < 0)
        c1 = columnCount() - 1;
    else if (columnViewportPosition(c1) + QTableWidget::columnWidth(c1) > right)
        --c1;
    r0 = qBound(fixedRows_, r0, rowCount() - 1);
    c0 = qBound(1, c0, columnCount() - 1);
    return QRect(QPoint(c0, r0), QPoint(qMax(c0, c1), qMax(r0, r1)));
}

void FlexGrid::keepCursorVisible() {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || isFixedCell(current.row(), current.column())) return;
    // a selected block stays as it is; a lone cursor does not stay behind out of sight
    const QRect block = selectedBlock();
    if (block.width() > 1 || block.height() > 1) return;
    const QRect visible = visibleCells();
    if (!visible.isValid()) return;
    const int row = qBound(visible.top(), current.row(), visible.bottom());
    const int col = qBound(visible.left(), current.column(), visible.right());
    if (row != current.row() || col != current.column())
        setCurrentCell(row, col, QItemSelectionModel::ClearAndSelect);
}

QModelIndex FlexGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (!next.isValid() || rowCount() <= fixedRows_ || columnCount() <= 1) return {};
    return model()->index(qMax(next.row(), fixedRows_), qMax(next.column(), 1));
}

void FlexGrid::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    if (rowCount() <= fixedRows_ || columnCount() <= 1 || !selectionModel()) return;
    // the cells beneath the points, the fixed parts left out
    const auto rowOf = [this](int y) {
        const int r = rowAt(y);
        return r >= 0 ? r : (y < 0 ? 0 : rowCount() - 1);
    };
    const auto colOf = [this](int x) {
        const int c = columnAt(x);
        return c >= 0 ? c : (x < 0 ? 0 : columnCount() - 1);
    };
    const int r0 = qMax(fixedRows_, rowOf(qMin(rect.top(), rect.bottom())));
    const int r1 = qMax(fixedRows_, rowOf(qMax(rect.top(), rect.bottom())));
    const int c0 = qMax(1, colOf(qMin(rect.left(), rect.right())));
    const int c1 = qMax(1, colOf(qMax(rect.left(), rect.right())));
    selectionModel()->select(QItemSelection(model()->index(r0, c0), model()->index(r1, c1)),
                             command);
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    pressOnFixed_ = index.isValid() && isFixedCell(index.row(), index.column());
    if (pressOnFixed_) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    if (pressOnFixed_) {
        event->accept();
        return;
    }
    const QPointF pos = event->position();
    const QPointF clamped(qMax(pos.x(), qreal(fixedWidth())), qMax(pos.y(), qreal(fixedHeight())));
    if (!(event->buttons() & Qt::LeftButton) || clamped == pos) {
        QTableWidget::mouseMoveEvent(event);
        return;
    }
    // a selection dragged over the labels ends at the first cell beside them
    QMouseEvent inside(event->type(), clamped, event->globalPosition() + (clamped - pos),
                       event->button(), event->buttons(), event->modifiers(),
                       event->pointingDevice());
    QTableWidget::mouseMoveEvent(&inside);
    event->setAccepted(inside.isAccepted());
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (pressOnFixed_) {
        pressOnFixed_ = false;
        event->accept();
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && isFixedCell(index.row(), index.column())) {
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
}

void FlexGrid::wheelEvent(QWheelEvent* event) {
    QTableWidget::wheelEvent(event);
    keepCursorVisible();
}

void FlexGrid::scrollContentsBy(int dx, int dy) {
    QTableWidget::scrollContentsBy(dx, dy);
    // the scroll moved the fixed parts along with the cells; draw them again in their place
    viewport()->update();
}

void FlexGrid::paintEvent(QPaintEvent* event) {
    QTableWidget::paintEvent(event);
    if (rowCount() == 0 || columnCount() == 0) return;
    const int top = fixedHeight();
    const int left = fixedWidth();
    const QRect area = viewport()->rect();
    const auto lastOf = [](int found, int count) { return found < 0 ? count - 1 : found; };
    const int firstRow = rowAt(top);
    const int lastRow = lastOf(rowAt(area.height() - 1), rowCount());
    const int firstCol = columnAt(left);
    const int lastCol = lastOf(columnAt(area.width() - 1), columnCount());
    QPainter painter(viewport());
    // the fixed rows over the scrolled columns
    painter.setClipRect(QRect(left, 0, area.width() - left, top));
    for (int r = 0; r < qMin(fixedRows_, rowCount()); ++r) {
        for (int c = qMax(1, firstCol); firstCol >= 0 && c <= lastCol; ++c)
            paintFixedCell(painter, r, c);
    }
    // the label column beside the scrolled rows
    painter.setClipRect(QRect(0, top, left, area.height() - top));
    for (int r = qMax(fixedRows_, firstRow); firstRow >= 0 && r <= lastRow; ++r)
        paintFixedCell(painter, r, 0);
    // the corner
    painter.setClipRect(QRect(0, 0, left, top));
    for (int r = 0; r < qMin(fixedRows_, rowCount()); ++r)
        paintFixedCell(painter, r, 0);
}

void FlexGrid::paintFixedCell(QPainter& painter, int row, int col) {
    const QModelIndex index = model()->index(row, col);
    const QRect rect = visualRect(index);
    const QRect whole(rect.topLeft(), QSize(QTableWidget::columnWidth(col), rowHeight(row)));
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = whole.adjusted(0, 0, -1, -1);
    option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    option.state |= QStyle::State_Enabled;
    painter.fillRect(whole, palette().base());
    itemDelegateForIndex(index)->paint(&painter, option, index);
    const QColor gridColor = QColor::fromRgba(
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    painter.setPen(gridColor);
    painter.drawLine(whole.topRight(), whole.bottomRight());
    painter.drawLine(whole.bottomLeft(), whole.bottomRight());
}
