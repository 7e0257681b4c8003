#pragma once
// The roster grid of the main window: a table whose first two rows and first column hold the
// labels (names, targets, days, sums), painted by the roster painters through GridSurface.
// The label rows and column stay in place while the cells scroll beneath them: they are drawn
// over the scrolled cells at their fixed positions, hit-tested there, and the cursor and the
// selection never enter them.

#include "roster/GridSurface.h"

#include <QSignalBlocker>
#include <QTableWidget>

class GridCell;
class QPainter;

class FlexGrid : public QTableWidget, public roster::GridSurface {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    void setRows(int rows) override;
    void setCols(int cols) override;
    int rows() const override { return rowCount(); }
    int cols() const override { return columnCount(); }
    void setFixedRows(int fixedRows) override;
    int fixedRows() const { return fixedRows_; }
    void clearCells() override;
    void setText(int row, int col, const QString& text) override;
    QString text(int row, int col) const override;
    void setBackground(int row, int col, quint32 bgr) override;
    quint32 background(int row, int col) const override;
    void setAlignment(int row, int col, roster::Align align) override;
    roster::Align alignment(int row, int col) const override;
    void setColumnAlignment(int col, roster::Align align) override;
    void setColumnWidth(int col, int width) override;
    int columnWidth(int col) const override { return QTableWidget::columnWidth(col); }
    int textWidth(const QString& text) const override;
    // The cursor; the first day of the first position before anything was chosen.
    // A red corner mark with its tooltip; an empty text removes both.
    void setMark(int row, int col, const QString& tip) override;
    QString mark(int row, int col) const override;
    // A coloured bar at the left edge of the day's label with the staffing gaps as tooltip.
    void setDayMark(int row, int kinds, const QString& tip) override;
    QString dayMark(int row) const override;
    int row() const override { return currentRow() < 0 ? fixedRows_ : currentRow(); }
    int col() const override { return currentColumn() < 0 ? 1 : currentColumn(); }
    void setCursor(int row, int col) override;
    void setRedraw(bool on) override;
    void setBusy(bool busy) override;

    // The selected block: first and last row and column (the cursor cell when nothing else).
    QRect selectedBlock() const;

    // Whether a cell belongs to the fixed rows or the label column.
    bool isFixedCell(int row, int col) const;
    // The cell at a point of the viewport, the fixed parts at their fixed places; and the
    // rectangle of a cell in the viewport, likewise.
    QModelIndex indexAt(const QPoint& point) const override;
    QRect visualRect(const QModelIndex& index) const override;
    // Scrolls so that a cell lies clear of the fixed rows and column.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Height of the fixed rows and width of the label column in pixels.
    int fixedHeight() const;
    int fixedWidth() const;
    // The first and last row and column wholly visible beside the fixed parts.
    QRect visibleCells() const;
    // After a wheel turn a single cursor cell follows into the visible cells.
    void keepCursorVisible();
    void paintFixedCell(QPainter& painter, int row, int col);
    // The cell, made when the grid has none there yet.
    GridCell* cell(int row, int col);
    const GridCell* cellAt(int row, int col) const;
    // Tells the view of a changed cell, unless the grid is being rebuilt.
    void changed(GridCell* cell);
    void styleFixed(GridCell* cell, int row, int col) const;
    QSignalBlocker quiet(); // blocks the model's signals while the grid is rebuilt
    int fixedRows_ = 2;
    QHash<int, roster::Align> columnAligns_;
    bool busy_ = false;
    bool rebuilding_ = false; // redraw is off: cell changes are not signalled one by one
    bool pressOnFixed_ = false;
    QPoint keptScroll_;
};
