#include "data/Maintenance.h"

#include "engine/Connection.h"
#include "engine/EngineError.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTime>

Q_LOGGING_CATEGORY(lcData, "turnova.data", QtWarningMsg)

namespace data {

void compactInto(const QString& path, const QString& temp) {
    QFile::remove(temp);
    try {
        engine::Connection::compactDatabase(path, temp);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

QDate compactionCopyDate(const QString& savPath) {
    return QFileInfo(savPath).lastModified().date();
}

namespace {

void markSetAside(const QString& sav, const QDate& today) {
    QFile f(sav);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(QDateTime(today, QTime::currentTime()), QFileDevice::FileModificationTime);
}

// Compacts into a temporary file first: only when that worked is the old compaction copy
// replaced and the file set aside, so a damaged file never costs the last good copy.
void compact(const QString& path, const QString& sav, const QDate& today) {
    const QString temp = path + QStringLiteral(".compact.tmp");
    compactInto(path, temp);
    QFile::remove(sav);
    if (!QFile::rename(path, sav)) {
        QFile::remove(temp);
        throw engine::EngineError(engine::err::PermissionDenied,
                                  QStringLiteral("Die Datenbank '%1' kann nicht nach '%2' "
                                                 "verschoben werden.")
                                      .arg(path, sav));
    }
    markSetAside(sav, today);
    if (!QFile::rename(temp, path)) {
        // put the uncompacted file back; nothing is lost
        QFile::copy(sav, path);
        QFile::remove(temp);
        throw engine::EngineError(engine::err::PermissionDenied,
                                  QStringLiteral("Die Datei '%1' kann nicht geschrieben werden.")
                                      .arg(path));
    }
}

} // namespace

void dailyBackupAndCompaction(const DatabaseLocation& location, const QDate& today) {
    if (location.isNetworkPath())
        return;
    {
        // Opening proves the file is a database before it is copied over a backup or set
        // aside; a damaged file fails here and goes to the repair of the start-up check.
        engine::Connection probe;
        probe.open(location.path);
    }
    const QString yesterday = dailyBackupPath(location, today.addDays(-1));
    if (!QFileInfo::exists(yesterday) && !QFile::copy(location.path, yesterday))
        qCWarning(lcData) << "daily backup failed:" << yesterday;
    const QString old = dailyBackupPath(location, today.addDays(-21));
    if (QFileInfo::exists(old))
        QFile::remove(old);

    const QString sav = location.path + QStringLiteral(".sav");
    if (QFileInfo::exists(sav) && compactionCopyDate(sav) >= today.addDays(-7))
        return;
    compact(location.path, sav, today);
}

} // namespace data
