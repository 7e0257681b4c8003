#pragma once
// What the roster painters need of a grid: rows and columns with fixed rows and a fixed label
// column, texts, background colours, alignment, widths measured in the window's font, and the
// cursor. The main window's grid widget provides it; tests use a plain in-memory surface.

#include <QString>

namespace roster {

enum class Align { General, Left, Center, Right };

class GridSurface {
public:
    virtual ~GridSurface() = default;

    virtual void setRows(int rows) = 0;
    virtual void setCols(int cols) = 0;
    virtual int rows() const = 0;
    virtual int cols() const = 0;
    virtual void setFixedRows(int fixedRows) = 0;
    // Removes every text, colour and alignment.
    virtual void clearCells() = 0;

    virtual void setText(int row, int col, const QString& text) = 0;
    virtual QString text(int row, int col) const = 0;
    virtual void setBackground(int row, int col, quint32 bgr) = 0;
    // 0xFFFFFFFF when the cell has no colour of its own
    virtual quint32 background(int row, int col) const = 0;
    virtual void setAlignment(int row, int col, Align align) = 0;
    virtual Align alignment(int row, int col) const = 0;
    virtual void setColumnAlignment(int col, Align align) = 0;
    virtual void setColumnWidth(int col, int width) = 0;
    virtual int columnWidth(int col) const = 0;
    // Width of a text in the window's font, with the cell's margins.
    virtual int textWidth(const QString& text) const = 0;

    // A mark in the cell's corner that names, as its tooltip, the working-time rules the cell's
    // duty breaks; shown on screen only. Surfaces that do not show marks ignore it.
    virtual void setMark(int /*row*/, int /*col*/, const QString& /*tip*/) {}
    virtual QString mark(int /*row*/, int /*col*/) const { return QString(); }
    // A mark on a day's label for the shifts whose staffing falls short or runs over (kinds: the
    // bits of roster::StaffingGapBit; 0 removes it), with the gaps as its tooltip; on screen only.
    virtual void setDayMark(int /*row*/, int /*kinds*/, const QString& /*tip*/) {}
    virtual QString dayMark(int /*row*/) const { return QString(); }

    virtual int row() const = 0;
    virtual int col() const = 0;
    virtual void setCursor(int row, int col) = 0;
    // Redrawing off while a repaint runs; the busy pointer while painting.
    virtual void setRedraw(bool on) = 0;
    virtual void setBusy(bool busy) = 0;
};

} // namespace roster
