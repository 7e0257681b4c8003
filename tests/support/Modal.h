#pragma once
// Acting on the modal window that the next call opens, and finding a control of a window by its
// name, for the tests that drive the main window.

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

// Runs action on the modal window once the event loop of the next call shows it; records the
// window's name and caption when asked to.
inline void onModal(std::function<void(QWidget*)> action, ModalSeen* seen = nullptr) {
    QTimer::singleShot(0, [action, seen] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (seen) *seen = {w->objectName(), w->windowTitle()};
        action(w);
    });
}

// The control of that name in a window (null when there is none).
template <typename T> T* in(QWidget* window, const char* name) {
    return window->findChild<T*>(QLatin1String(name));
}

} // namespace testing
