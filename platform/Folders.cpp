#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace platform {

namespace {

// A folder path without a trailing separator; the empty text stays empty.
QString folderPath(const QString& path) {
    return path.isEmpty() ? QString() : QDir::cleanPath(path);
}

// TURNOVA_APPDATA and TURNOVA_DOCUMENTS replace the desktop's folders (smoke runs, tests).
QString overridden(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return folderPath(value.isEmpty() ? fallback : value);
}

} // namespace

Folders Folders::system() {
    Folders folders;
    folders.programFolder = QCoreApplication::applicationDirPath();
    folders.documentsFolder = overridden(
        "TURNOVA_DOCUMENTS", QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    folders.appDataFolder = overridden(
        "TURNOVA_APPDATA", QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return folders;
}

} // namespace platform
