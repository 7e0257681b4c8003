#pragma once
// The small red mark in the corner of a roster cell whose duty breaks a working-time rule. The
// grid keeps the mark as item data; this delegate draws the cell as usual and the mark on top.

#include <QStyledItemDelegate>

class CellMarkDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Item data that is true for a marked cell.
    static constexpr int MarkRole = Qt::UserRole + 10;
    // Item data of a day's label: the bits of what its staffing misses (roster::StaffingGapBit),
    // drawn as a bar at the left edge: red short of staff, orange short of a qualification, blue
    // over-staffed, one above the other when there are more.
    static constexpr int StaffingRole = Qt::UserRole + 11;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
