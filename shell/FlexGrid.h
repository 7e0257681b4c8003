#pragma once
// The roster grid of the main window: a table whose first two rows and first column hold the
// labels (names, targets, days, sums), painted by the roster painters through GridSurface.

#include "roster/GridSurface.h"

#include <QTableWidget>

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
    int row() const override { return currentRow() < 0 ? fixedRows_ : currentRow(); }
    int col() const override { return currentColumn() < 0 ? 1 : currentColumn(); }
    void setCursor(int row, int col) override;
    void setRedraw(bool on) override;
    void setBusy(bool busy) override;

    // The selected block: first and last row and column (the cursor cell when nothing else).
    QRect selectedBlock() const;

private:
    QTableWidgetItem* cell(int row, int col);
    void styleFixed(QTableWidgetItem* item, int row, int col) const;
    int fixedRows_ = 2;
    QHash<int, roster::Align> columnAligns_;
    bool busy_ = false;
};
