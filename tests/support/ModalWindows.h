#pragma once
// Acting on the modal window that a menu entry or a double-click opens: the action runs as soon
// as the window's event loop runs, and what it saw is kept for the test.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace testing {

// What a modal window showed before the test's action closed it.
struct ModalSeen {
    QString name;
    QString caption;
};

// Acts on the modal window that the next call opens.
inline void onModal(std::function<void(QWidget*)> action, ModalSeen* seen = nullptr) {
    QTimer::singleShot(0, [action, seen] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (seen) *seen = {w->objectName(), w->windowTitle()};
        action(w);
    });
}

// A control of a window by its name; a missing control ends the test program.
template <typename T> T* in(QWidget* window, const char* name) {
    T* c = window->findChild<T*>(QLatin1String(name));
    if (!c) qFatal("no control %s", name);
    return c;
}

} // namespace testing
