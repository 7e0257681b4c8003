#include "print/PreviewIcons.h"

#include <QPainter>
#include <QPixmap>

namespace print {

namespace {

template <typename Draw> QIcon drawn(Draw draw) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    draw(p);
    p.end();
    return QIcon(pixmap);
}

} // namespace

QIcon printIcon() {
    const QIcon theme = QIcon::fromTheme(QStringLiteral("document-print"));
    if (!theme.isNull()) return theme;
    return drawn([](QPainter& p) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 2.5, 10, 8)); // the paper going in
        p.setBrush(QColor(170, 170, 170));
        p.drawRoundedRect(QRectF(2.5, 9.5, 19, 8), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 14.5, 10, 7)); // the paper coming out
    });
}

QIcon fontIcon() {
    return drawn([](QPainter& p) {
        QFont f(QStringLiteral("serif"));
        f.setPixelSize(20);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("A"));
    });
}

QIcon paperIcon(bool landscape) {
    return drawn([landscape](QPainter& p) {
        p.setBrush(Qt::white);
        const QRectF sheet = landscape ? QRectF(2.5, 6.5, 19, 13) : QRectF(5.5, 2.5, 13, 19);
        p.drawRect(sheet);
        for (int i = 1; i <= 3; ++i) {
            const double y = sheet.top() + i * sheet.height() / 4;
            p.drawLine(QPointF(sheet.left() + 2.5, y), QPointF(sheet.right() - 2.5, y));
        }
    });
}

} // namespace print
