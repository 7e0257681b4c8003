#include "data/DatabaseLocation.h"

#include "engine/EngineError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>

namespace data {

QString DatabaseLocation::baseName() const {
    return QFileInfo(fileName.isEmpty() ? path : fileName).completeBaseName();
}

namespace {

bool isNetwork(const QString& path) {
    return path.startsWith(QLatin1String("\\\\")) || path.startsWith(QLatin1String("//"));
}

// Where the last folder separator of a network path is (either kind of slash).
qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

// "//server/share" of "//server/share/folder/daten.tnv" (either kind of slash).
QString networkShare(const QString& path) {
    const QStringList parts = path.mid(2).split(QRegularExpression(QStringLiteral("[/\\\\]")));
    return path.left(2) + parts.value(0) + path.at(1) + parts.value(1);
}

} // namespace

bool DatabaseLocation::isNetworkPath() const { return isNetwork(path); }

void deriveNames(DatabaseLocation& location, const QString& programFolder) {
    if (isNetwork(location.path)) {
        // QDir and QFileInfo would fold the leading "//" of a network path into a local "/"
        // (and know no backslashes here), so the parts are cut by hand.
        const QString& path = location.path;
        const qsizetype cut = lastSeparator(path);
        location.fileName = path.mid(cut + 1);
        location.folder = path.left(cut);
        location.drive = networkShare(path);
        return;
    }
    const QFileInfo info(location.path);
    location.fileName = info.fileName();
    const QString parent = info.path();
    location.folder = (parent.isEmpty() || parent == QLatin1String("."))
                          ? programFolder
                          : QDir::cleanPath(info.absolutePath());
    const QString root = QStorageInfo(location.folder).rootPath();
    location.drive = root.isEmpty() ? QStorageInfo(programFolder).rootPath() : root;
    if (location.drive.endsWith(QLatin1Char('/')) && location.drive.size() > 1)
        location.drive.chop(1);
}

QString dailyBackupPath(const DatabaseLocation& location, const QDate& day) {
    return location.folder + QLatin1Char('/') + location.baseName() + QStringLiteral("backup") +
           day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".tnv.sav");
}

namespace {

QString commandLinePath(const QString& text, const QString& bareNameFolder) {
    QString path = text.trimmed();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    if (isNetwork(path)) {
        // a network path is absolute; cleaning it must keep its leading "//"
        const QString cleaned = QDir::cleanPath(path);
        path = cleaned.startsWith(path.left(2)) ? cleaned : path.left(1) + cleaned;
        if (!path.mid(lastSeparator(path) + 1).contains(QLatin1Char('.')))
            path += QStringLiteral(".tnv");
        return path;
    }
    const QFileInfo info(path);
    const bool namesFolder = path.contains(QLatin1Char('/')) || path.contains(QLatin1Char('\\'));
    if (!namesFolder)
        path = bareNameFolder + QLatin1Char('/') + path;
    else if (info.isRelative())
        path = QFileInfo(path).absoluteFilePath();
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".tnv");
    return QDir::cleanPath(path);
}

} // namespace

LocateResult locateDatabase(const QString& commandLine, const platform::Services& services,
                            DatabaseLocation& location) {
    const platform::Folders& folders = services.folders;
    if (!commandLine.trimmed().isEmpty()) {
        location.path = commandLinePath(commandLine, folders.bareNameFolder());
        return LocateResult::Located;
    }
    // A database of the older version lying beside the program keeps its name with the new
    // extension (never in an installed program's folder, which the program does not write).
    const QString oldFile = folders.programFolder + QStringLiteral("/daten.mdb");
    QString candidate = folders.programFolder + QStringLiteral("/daten.tnv");
    if (!folders.installed && QFileInfo::exists(oldFile) && !QFileInfo::exists(candidate))
        QFile::rename(oldFile, candidate);

    const QString userFolder = folders.userDatabaseFolder();
    const QString target = userFolder + QLatin1Char('/') + QFileInfo(candidate).completeBaseName() +
                           QStringLiteral(".tnv");
    if (QFileInfo(userFolder).isDir()) {
        location.path = target;
        return LocateResult::Located;
    }
    if (!QFileInfo::exists(candidate)) {
        // A new installation: nothing to copy. The folder is made and the start-up check asks
        // whether to create the database.
        if (!QDir().mkpath(userFolder))
            throw engine::EngineError(engine::err::FileAccess,
                                      QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.")
                                          .arg(QDir::toNativeSeparators(userFolder)));
        location.path = target;
        return LocateResult::Located;
    }
    const QString text = QStringLiteral("Aufgrund der Benutzerkontensteuerung von Windows Vista "
                                        "und Windows 7 \nwird die Datenbank : \n") +
                         QDir::toNativeSeparators(candidate) + QStringLiteral("\n nach : \n") +
                         QDir::toNativeSeparators(target) + QStringLiteral("\nkopiert.");
    const platform::Answer answer = services.prompts->ask(
        text, platform::Buttons::OkCancel, platform::Icon::Critical, QStringLiteral("Turnova"), 1);
    if (answer != platform::Answer::Ok)
        return LocateResult::Cancelled;
    QDir().mkpath(userFolder);
    QFile::remove(target);
    if (!QFile::copy(candidate, target))
        throw engine::EngineError(engine::err::FileAccess,
                                  QStringLiteral("Die Datenbank '%1' kann nicht nach '%2' kopiert "
                                                 "werden.")
                                      .arg(QDir::toNativeSeparators(candidate),
                                           QDir::toNativeSeparators(target)));
    location.path = target;
    return LocateResult::Located;
}

} // namespace data
