#include "data/Maintenance.h"

#include "engine/Connection.h"
#include "engine/EngineError.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcData, "turnova.data", QtWarningMsg)

namespace data {

QDate compactionCopyDate(const QString& savPath) {
    return QFileInfo(savPath).lastModified().date();
}

namespace {

void compact(const QString& path, const QString& sav, const QDate& today) {
    if (!QFile::rename(path, sav))
        throw engine::EngineError(engine::err::PermissionDenied,
                                  QStringLiteral("Die Datenbank '%1' kann nicht nach '%2' "
                                                 "verschoben werden.")
                                      .arg(path, sav));
    {
        QFile f(sav);
        if (f.open(QIODevice::ReadWrite))
            f.setFileTime(QDateTime(today, QTime::currentTime()), QFileDevice::FileModificationTime);
    }
    try {
        engine::Connection::compactDatabase(sav, path);
    } catch (const engine::EngineError&) {
        // Nothing may be lost: the uncompacted file goes back to its place.
        QFile::remove(path);
        if (!QFile::copy(sav, path))
            qCWarning(lcData) << "could not restore" << path << "from" << sav;
        throw;
    }
}

} // namespace

void dailyBackupAndCompaction(const DatabaseLocation& location, const QDate& today) {
    if (location.isNetworkPath())
        return;
    const QString yesterday = dailyBackupPath(location, today.addDays(-1));
    if (!QFileInfo::exists(yesterday) && !QFile::copy(location.path, yesterday))
        qCWarning(lcData) << "daily backup failed:" << yesterday;
    const QString old = dailyBackupPath(location, today.addDays(-21));
    if (QFileInfo::exists(old))
        QFile::remove(old);

    const QString sav = location.path + QStringLiteral(".sav");
    if (QFileInfo::exists(sav)) {
        if (compactionCopyDate(sav) >= today.addDays(-7))
            return;
        QFile::remove(sav);
    }
    compact(location.path, sav, today);
}

} // namespace data
