#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The data folder of the installed layout seen from the executable's folder ("../share/turnova"),
// given by the build from the installation folders.
#ifndef TURNOVA_DATA_FROM_BIN
#define TURNOVA_DATA_FROM_BIN "../share/turnova"
#endif

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

QString Folders::userDatabaseFolder() const {
    return appDataFolder + QStringLiteral("/Turnova");
}

QString Folders::bareNameFolder() const {
    const QFileInfo folder(programFolder);
    return !installed && folder.isDir() && folder.isWritable() ? programFolder
                                                               : userDatabaseFolder();
}

Folders Folders::forExecutable(const QString& exeFolder) {
    Folders folders;
    const QString shared =
        QDir::cleanPath(exeFolder + QLatin1Char('/') + QStringLiteral(TURNOVA_DATA_FROM_BIN));
    folders.installed = QFileInfo(shared).isDir();
    folders.programFolder = folders.installed ? shared : folderPath(exeFolder);
    return folders;
}

Folders Folders::system() {
    Folders folders = forExecutable(QCoreApplication::applicationDirPath());
    folders.documentsFolder = overridden(
        "TURNOVA_DOCUMENTS", QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    folders.appDataFolder = overridden(
        "TURNOVA_APPDATA", QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return folders;
}

} // namespace platform
