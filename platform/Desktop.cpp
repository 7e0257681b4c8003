#include "platform/Desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>
#include <QWidget>

namespace platform {

bool openWithShell(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString clipboardText() {
    return QGuiApplication::clipboard()->text();
}

void setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

void setTopmost(QWidget* window, bool flag) {
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == flag) return;
    // Changing the window flags hides the window and may move it: put both back.
    const QRect geometry = window->geometry();
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, flag);
    window->setGeometry(geometry);
    if (visible) window->show();
}

} // namespace platform
