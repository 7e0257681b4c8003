#pragma once
// Acting on a modal window from a test: the action runs once the window that the next call
// opens is shown, and can record which window it was.

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

} // namespace testing
