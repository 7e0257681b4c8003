#include "platform/ScreenFit.h"

#include <QScreen>
#include <QWidget>

namespace platform {

QRect fittedGeometry(const QRect& available, const QSize& wanted, const QMargins& frame) {
    const QSize room = available.size().shrunkBy(frame);
    const QSize size = wanted.boundedTo(room).expandedTo(QSize(1, 1));
    const QSize outer = size.grownBy(frame);
    const QPoint corner(available.left() + qMax(0, (available.width() - outer.width()) / 2),
                        available.top() + qMax(0, (available.height() - outer.height()) / 2));
    return QRect(corner + QPoint(frame.left(), frame.top()), size);
}

void fitOnScreen(QWidget& window, const QSize& wanted) {
    const QScreen* screen = window.screen();
    if (!screen) {
        window.resize(wanted);
        return;
    }
    // a title bar and thin borders, until the window manager has drawn the real frame
    QMargins frame(8, 32, 8, 8);
    if (window.isVisible()) {
        const QRect outer = window.frameGeometry();
        const QRect inner = window.geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    window.setGeometry(fittedGeometry(screen->availableGeometry(), wanted, frame));
}

} // namespace platform
