#include "shell/GridCell.h"

#include "shell/CellMarks.h"

#include <QTableWidget>

QVariant GridCell::data(int role) const {
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return shownText.isNull() ? QVariant() : QVariant(shownText);
    case Qt::TextAlignmentRole:
        return alignmentFlags;
    case Qt::BackgroundRole:
        return brush.style() == Qt::NoBrush ? QVariant() : QVariant(brush);
    case Qt::ToolTipRole:
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    case CellMarkDelegate::MarkRole:
        return marked;
    case CellMarkDelegate::StaffingRole:
        return staffing;
    default:
        return QTableWidgetItem::data(role);
    }
}

void GridCell::setData(int role, const QVariant& value) {
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        shownText = value.toString();
        break;
    case Qt::TextAlignmentRole:
        alignmentFlags = value.toInt();
        break;
    case Qt::BackgroundRole:
        brush = qvariant_cast<QBrush>(value);
        break;
    case Qt::ToolTipRole:
        tip = value.toString();
        break;
    case CellMarkDelegate::MarkRole:
        marked = value.toBool();
        break;
    case CellMarkDelegate::StaffingRole:
        staffing = value.toInt();
        break;
    default:
        QTableWidgetItem::setData(role, value);
        return;
    }
    if (QTableWidget* table = tableWidget()) {
        const QModelIndex index = table->model()->index(table->row(this), table->column(this));
        Q_EMIT table->model()->dataChanged(index, index, {role});
    }
}
