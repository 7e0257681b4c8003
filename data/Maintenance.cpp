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

// A copy that appears under its name only when it is whole.
bool copyAtomically(const QString& from, const QString& to) {
    const QString temp = to + QStringLiteral(".tmp");
    QFile::remove(temp);
    if (QFile::copy(from, temp) && replaceAtomically(temp, to)) return true;
    QFile::remove(temp);
    return false;
}

void markSetAside(const QString& sav, const QDate& today) {
    QFile f(sav);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(QDateTime(today, QTime::currentTime()), QFileDevice::FileModificationTime);
}

// A compaction copy that holds more employees or duties than the database is kept unless the
// planner says otherwise: the database may be the one that lost them.
bool mayReplaceCopy(const QString& path, const QString& sav, const MaintenanceHooks& hooks) {
    if (!QFileInfo::exists(sav)) return true;
    const Contents copy = readContents(sav);
    if (!copy.readable || !copy.hasTables) return true;
    const Contents database = readContents(path);
    if (database.employees >= copy.employees && database.duties >= copy.duties) return true;
    const QString question =
        QStringLiteral("Die Kopie %1 vom %2 enthält mehr Daten (%3) als die Datenbank (%4).\n"
                       "Soll die Kopie trotzdem durch die Datenbank ersetzt werden?")
            .arg(shown(sav), QFileInfo(sav).lastModified().toString(QStringLiteral("dd.MM.yyyy")),
                 describe(copy), describe(database));
    return hooks.confirm && hooks.confirm(question);
}

// Holds the file's exclusive lock throughout: first the file as it is becomes the new
// compaction copy (written beside it and renamed over the old copy in one step, so a failure
// never costs the last good copy), then the file is compacted in place by SQLite's VACUUM, which
// its journal makes all or nothing. The database never leaves its name, a link to it stays a
// link, and nobody writes meanwhile.
void compact(const QString& path, const QString& sav, const QDate& today,
             const MaintenanceHooks& hooks) {
    engine::Connection guard;
    guard.open(path);
    guard.lockExclusively();
    if (!mayReplaceCopy(path, sav, hooks)) return;
    if (!copyAtomically(path, sav))
        throw engine::EngineError(engine::err::FileAccess,
                                  cannotWriteText(sav, QFileInfo(path).size()));
    markSetAside(sav, today);
    guard.executeNative(QStringLiteral("VACUUM"));
}

void warn(const MaintenanceHooks& hooks, const QString& text) {
    qCWarning(lcData) << text;
    if (hooks.warn) hooks.warn(text);
}

} // namespace

QDate compactionCopyDate(const QString& savPath) {
    return QFileInfo(savPath).lastModified().date();
}

void dailyBackupAndCompaction(const DatabaseLocation& location, const QDate& today,
                              const MaintenanceHooks& hooks) {
    if (location.isNetworkPath()) return;
    {
        // Opening proves the file is a database before it is copied over a backup or set
        // aside; a damaged file fails here and goes to the repair of the start-up check.
        engine::Connection probe;
        probe.open(location.path);
    }
    const QString yesterday = dailyBackupPath(location, today.addDays(-1));
    if (!QFileInfo::exists(yesterday) && !copyAtomically(location.path, yesterday))
        warn(hooks, QStringLiteral("Die tägliche Sicherungskopie %1 konnte nicht angelegt "
                                   "werden.\nDer Start wird fortgesetzt.")
                        .arg(shown(yesterday)));
    const QString old = dailyBackupPath(location, today.addDays(-21));
    if (QFileInfo::exists(old)) QFile::remove(old);

    const QString sav = location.path + QStringLiteral(".sav");
    if (QFileInfo::exists(sav) && compactionCopyDate(sav) >= today.addDays(-7)) return;
    try {
        compact(location.path, sav, today, hooks);
    } catch (const engine::EngineError& e) {
        warn(hooks, QStringLiteral("Die Datenbank konnte nicht komprimiert werden.\n%1\nDer Start "
                                   "wird fortgesetzt.")
                        .arg(e.description()));
    }
}

} // namespace data
