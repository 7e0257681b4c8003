#include "platform/Desktop.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

namespace platform {

namespace {

constexpr int OpenerAnswerMs = 3000;

} // namespace

bool openWithShell(const QString& path) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    // xdg-open answers at once with an exit code when the desktop has no program for the file or
    // the program did not start; one still running after a moment is showing the file.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(opener, {path});
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    if (process->waitForFinished(OpenerAnswerMs)) {
        const bool opened =
            process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        delete process;
        return opened;
    }
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return true;
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
