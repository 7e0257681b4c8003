#pragma once
// A grid surface in memory, for painting without a window (tests, exports).

#include "roster/GridSurface.h"

#include <QHash>
#include <QPair>

namespace roster {

class MemoryGrid : public GridSurface {
public:
    void setRows(int rows) override { rows_ = rows; }
    void setCols(int cols) override { cols_ = cols; }
    int rows() const override { return rows_; }
    int cols() const override { return cols_; }
    void setFixedRows(int fixedRows) override { fixedRows_ = fixedRows; }
    int fixedRows() const { return fixedRows_; }
    void clearCells() override {
        texts_.clear();
        colours_.clear();
        aligns_.clear();
        marks_.clear();
    }
    void setText(int row, int col, const QString& text) override { texts_[{row, col}] = text; }
    QString text(int row, int col) const override { return texts_.value({row, col}); }
    void setBackground(int row, int col, quint32 bgr) override { colours_[{row, col}] = bgr; }
    quint32 background(int row, int col) const override {
        return colours_.value({row, col}, 0xFFFFFFFFu);
    }
    void setAlignment(int row, int col, Align align) override { aligns_[{row, col}] = align; }
    Align alignment(int row, int col) const override {
        return aligns_.value({row, col}, columnAligns_.value(col, Align::General));
    }
    void setColumnAlignment(int col, Align align) override { columnAligns_[col] = align; }
    void setColumnWidth(int col, int width) override { widths_[col] = width; }
    int columnWidth(int col) const override { return widths_.value(col); }
    int textWidth(const QString& text) const override { return int(text.size()) * 7 + 8; }
    void setMark(int row, int col, const QString& tip) override { marks_[{row, col}] = tip; }
    QString mark(int row, int col) const override { return marks_.value({row, col}); }
    int row() const override { return row_; }
    int col() const override { return col_; }
    void setCursor(int row, int col) override {
        row_ = row;
        col_ = col;
    }
    void setRedraw(bool) override {}
    void setBusy(bool) override {}

private:
    int rows_ = 0, cols_ = 0, fixedRows_ = 0, row_ = 0, col_ = 0;
    QHash<QPair<int, int>, QString> texts_;
    QHash<QPair<int, int>, quint32> colours_;
    QHash<QPair<int, int>, Align> aligns_;
    QHash<QPair<int, int>, QString> marks_;
    QHash<int, Align> columnAligns_;
    QHash<int, int> widths_;
};

} // namespace roster
