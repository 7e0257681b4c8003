#include "data/Maintenance.h"

#include "data/DatabaseFile.h"
#include "engine/Connection.h"
#include "engine/EngineError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTime>

Q_LOGGING_CATEGORY(lcData, "turnova.data", QtWarningMsg)

namespace data {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void cannotMove(const QString& from, const QString& to) {
    throw engine::EngineError(engine::err::FileAccess,
                              QStringLiteral("Die Datei '%1' kann nicht nach '%2' verschoben "
                                             "werden.")
                                  .arg(shown(from), shown(to)));
}

void markSetAside(const QString& sav, const QDate& today) {
    QFile f(sav);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(QDateTime(today, QTime::currentTime()), QFileDevice::FileModificationTime);
}

// A compaction copy that holds more employees or duties than the database is kept unless the
// planner says otherwise: the database may be the one that lost them.
bool mayReplaceCopy(const QString& path, const QString& sav, const MaintenanceHooks& hooks) {
    if (!QFileInfo::exists(sav))
        return true;
    const Contents copy = readContents(sav);
    if (!copy.readable || !copy.hasTables)
        return true;
    const Contents database = readContents(path);
    if (database.employees >= copy.employees && database.duties >= copy.duties)
        return true;
    const QString question =
        QStringLiteral("Die Kopie %1 vom %2 enthält mehr Daten (%3) als die Datenbank (%4).\n"
                       "Soll die Kopie trotzdem durch die Datenbank ersetzt werden?")
            .arg(shown(sav),
                 QFileInfo(sav).lastModified().toString(QStringLiteral("dd.MM.yyyy")),
                 describe(copy), describe(database));
    return hooks.confirm && hooks.confirm(question);
}

// Holds the file's exclusive lock throughout: compacts into a temporary file first, and only
// when that worked is the old compaction copy replaced and the file set aside, so a failure
// never costs the last good copy and no other process writes into the file being set aside.
void compact(const QString& path, const QString& sav, const QDate& today,
             const MaintenanceHooks& hooks) {
    engine::Connection guard;
    guard.open(path);
    guard.lockExclusively();
    if (QFileInfo::exists(path + QStringLiteral("-journal")))
        return; // another process's transaction: not now
    if (!mayReplaceCopy(path, sav, hooks))
        return;
    const QString temp = path + QStringLiteral(".compact.tmp");
    try {
        guard.vacuumInto(temp);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    QFile::remove(sav);
    if (!QFile::rename(path, sav)) {
        QFile::remove(temp);
        cannotMove(path, sav);
    }
    markSetAside(sav, today);
    if (!QFile::rename(temp, path)) {
        // put the uncompacted file back; nothing is lost
        QFile::copy(sav, path);
        QFile::remove(temp);
        cannotMove(temp, path);
    }
}

void warn(const MaintenanceHooks& hooks, const QString& text) {
    qCWarning(lcData) << text;
    if (hooks.warn)
        hooks.warn(text);
}

} // namespace

QDate compactionCopyDate(const QString& savPath) {
    return QFileInfo(savPath).lastModified().date();
}

void dailyBackupAndCompaction(const DatabaseLocation& location, const QDate& today,
                              const MaintenanceHooks& hooks) {
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
        warn(hooks, QStringLiteral("Die tägliche Sicherungskopie %1 konnte nicht angelegt "
                                   "werden.\nDer Start wird fortgesetzt.")
                        .arg(shown(yesterday)));
    const QString old = dailyBackupPath(location, today.addDays(-21));
    if (QFileInfo::exists(old))
        QFile::remove(old);

    const QString sav = location.path + QStringLiteral(".sav");
    if (QFileInfo::exists(sav) && compactionCopyDate(sav) >= today.addDays(-7))
        return;
    try {
        compact(location.path, sav, today, hooks);
    } catch (const engine::EngineError& e) {
        warn(hooks, QStringLiteral("Die Datenbank konnte nicht komprimiert werden.\n%1\nDer Start "
                                   "wird fortgesetzt.")
                        .arg(e.description()));
    }
}

} // namespace data
