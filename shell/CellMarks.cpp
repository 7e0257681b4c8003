#include "shell/CellMarks.h"

#include <QPainter>
#include <QPolygon>

namespace {

void paintStaffing(QPainter* painter, const QRect& r, int kinds) {
    const QList<QPair<int, QColor>> colours = {{1, QColor(0xd0, 0x10, 0x10)},
                                               {4, QColor(0xe0, 0x80, 0x00)},
                                               {2, QColor(0x10, 0x60, 0xd0)}};
    QList<QColor> shown;
    for (const auto& [bit, colour] : colours)
        if (kinds & bit) shown << colour;
    const int width = qMax(4, r.height() / 4);
    for (int i = 0; i < shown.size(); ++i) {
        const int top = r.top() + r.height() * i / int(shown.size());
        const int bottom = r.top() + r.height() * (i + 1) / int(shown.size());
        painter->fillRect(QRect(r.left(), top, width, bottom - top), shown.at(i));
    }
}

} // namespace

void CellMarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (const int kinds = index.data(StaffingRole).toInt())
        paintStaffing(painter, option.rect, kinds);
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
