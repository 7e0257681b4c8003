#include "dialogs/DialogKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace dialogs {

namespace {

class EnterAsTab final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || mods != Qt::NoModifier)
            return false;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(watched, &tab);
        return true;
    }
};

} // namespace

void installEnterAsTab(QWidget* window) {
    auto* filter = new EnterAsTab(window);
    window->installEventFilter(filter);
    for (QWidget* w : window->findChildren<QWidget*>())
        w->installEventFilter(filter);
}

} // namespace dialogs
