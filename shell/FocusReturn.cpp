#include "shell/FocusReturn.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
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

namespace {

class ChooserKeys : public QObject {
public:
    explicit ChooserKeys(QComboBox& chooser) : QObject(&chooser), chooser_(chooser) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &chooser_ || event->type() != QEvent::KeyPress ||
            chooser_.view()->isVisible())
            return false;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            chooser_.showPopup();
            return true;
        default:
            return false;
        }
    }

private:
    QComboBox& chooser_;
};

} // namespace

void installChooserKeys(QComboBox& chooser) {
    chooser.installEventFilter(new ChooserKeys(chooser));
}
