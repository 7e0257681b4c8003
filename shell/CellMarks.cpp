#include "shell/CellMarks.h"

#include <QPainter>
#include <QPolygon>

void CellMarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (!index.data(MarkRole).toBool()) return;
    // a triangle in the upper right corner, a third of the row high
    const QRect r = option.rect;
    const int side = qMax(5, r.height() / 3);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0xd0, 0x10, 0x10));
    painter->drawPolygon(
        QPolygon({QPoint(r.right() - side + 1, r.top()), QPoint(r.right() + 1, r.top()),
                  QPoint(r.right() + 1, r.top() + side)}));
    painter->restore();
}
