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

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
