#include "data/Repair.h"

#include "data/Maintenance.h"
#include "engine/Connection.h"
#include "engine/EngineError.h"
#include "engine/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace data {

bool isSoundDatabase(const QString& path) {
    if (!QFileInfo(path).isFile())
        return false;
    try {
        engine::Connection connection;
        connection.open(path);
        engine::Statement check(connection, QStringLiteral("PRAGMA quick_check"));
        return check.step() && check.value(0).toString() == QLatin1String("ok");
    } catch (const engine::EngineError&) {
        return false;
    }
}

namespace {

[[noreturn]] void cannotWrite(const QString& path) {
    throw engine::EngineError(engine::err::PermissionDenied,
                              QStringLiteral("Die Datei '%1' kann nicht geschrieben werden.")
                                  .arg(QDir::toNativeSeparators(path)));
}

// The compaction copy and the daily backups, newest first.
QFileInfoList copiesNewestFirst(const DatabaseLocation& location) {
    QFileInfoList copies =
        QDir(location.folder)
            .entryInfoList(
                {location.baseName() +
                 QStringLiteral("backup[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9].tnv.sav")},
                QDir::Files);
    const QFileInfo sav(location.path + QStringLiteral(".sav"));
    if (sav.isFile())
        copies << sav;
    std::stable_sort(copies.begin(), copies.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() > b.lastModified();
    });
    return copies;
}

// Puts the sound file `replacement` (a temporary file of ours, or a copy to be kept) in place of
// the damaged database, which is kept as ".defekt".
void replaceDamaged(const QString& path, const QString& damaged, const QString& replacement,
                    bool keepReplacement) {
    QFile::remove(damaged);
    if (QFileInfo::exists(path) && !QFile::rename(path, damaged))
        cannotWrite(damaged);
    const bool placed =
        keepReplacement ? QFile::copy(replacement, path) : QFile::rename(replacement, path);
    if (!placed) {
        QFile::remove(path);
        QFile::rename(damaged, path);
        cannotWrite(path);
    }
    // a copy keeps the read-only flag of its source; the database must stay writable
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner | QFile::ReadOwner);
}

} // namespace

RepairResult repairDatabase(const DatabaseLocation& location) {
    RepairResult result;
    const QString& path = location.path;
    result.damagedFile = path + QStringLiteral(".defekt");
    for (const QFileInfo& copy : copiesNewestFirst(location)) {
        if (!isSoundDatabase(copy.filePath()))
            continue;
        replaceDamaged(path, result.damagedFile, copy.filePath(), true);
        result.restoredFrom = copy.filePath();
        result.copyTime = copy.lastModified();
        return result;
    }
    // No sound copy: compaction keeps whatever SQLite can still read of the file.
    const QString temp = path + QStringLiteral(".repair.tmp");
    compactInto(path, temp);
    replaceDamaged(path, result.damagedFile, temp, false);
    return result;
}

} // namespace data
