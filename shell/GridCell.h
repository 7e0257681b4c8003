#pragma once
// A cell of the roster grid. A repaint sets a few thousand cells; a cell keeps what the painters
// set in fields of its own, so that setting one is a store, not a search through the item's roles
// followed by a signal of the model. The view, the delegate and any other reader see the cell
// through data() as they see any item, and setData() keeps the fields as well.

#include "roster/GridSurface.h"

#include <QBrush>
#include <QTableWidgetItem>

#include <optional>

class GridCell final : public QTableWidgetItem {
public:
    GridCell() : QTableWidgetItem(UserType) {}

    QVariant data(int role) const override;
    // Tells the grid's model of the change, as an item's own roles do.
    void setData(int role, const QVariant& value) override;
    QTableWidgetItem* clone() const override { return new GridCell(*this); }

    QString shownText;
    int alignmentFlags = 0;             // the Qt::Alignment drawn
    std::optional<roster::Align> align; // set for the cell itself, else its column's holds
    std::optional<quint32> colour;      // a background set by a painter (BGR)
    QBrush brush;                       // what is drawn behind the text
    QString tip;
    bool marked = false; // a working-time finding
    int staffing = 0;    // the staffing gaps of a day's label
};
