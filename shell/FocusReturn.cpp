#include "shell/FocusReturn.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

FocusReturn::FocusReturn(QWidget& window, QWidget& target)
    : QObject(&window), window_(window), target_(&target) {
    setObjectName(QStringLiteral("FocusReturn"));
    qApp->installEventFilter(this);
}

bool FocusReturn::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && widget != &window_ && widget->isModal())
            // after the closing window's own handling, once the main window is back in front
            QTimer::singleShot(0, this, &FocusReturn::giveBack);
    }
    return QObject::eventFilter(watched, event);
}

void FocusReturn::giveBack() {
    // another modal window still open gives the focus back when it closes
    if (!target_ || QApplication::activeModalWidget() || !window_.isVisible()) return;
    if (!QApplication::activeWindow()) window_.activateWindow();
    target_->setFocus(Qt::OtherFocusReason);
}

void installFocusReturn(QWidget& window, QWidget& target) {
    new FocusReturn(window, target);
}
