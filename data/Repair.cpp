#include "data/Repair.h"

#include "data/DatabaseFile.h"
#include "data/Salvage.h"
#include "engine/EngineError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcData)

namespace data {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void cannotWrite(const QString& path) {
    throw engine::EngineError(engine::err::FileAccess,
                              QStringLiteral("Die Datei '%1' kann nicht geschrieben werden.")
                                  .arg(shown(path)));
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

struct Candidate {
    QString file;
    QDateTime asOf;
    Contents contents;
};

// The newest copy that is a sound database with the program's tables.
std::optional<Candidate> newestSoundCopy(const DatabaseLocation& location) {
    for (const QFileInfo& copy : copiesNewestFirst(location)) {
        if (inspectDatabaseFile(copy.filePath()).state != FileState::Sound)
            continue;
        const Contents contents = readContents(copy.filePath());
        if (contents.readable && contents.hasTables)
            return Candidate{copy.filePath(), copy.lastModified(), contents};
    }
    return std::nullopt;
}

// What the damaged file still holds, in a new file at `temp`.
std::optional<Candidate> salvaged(const QString& path, const QString& temp) {
    try {
        const SalvageResult result = salvageDatabase(path, temp);
        if (result.rows == 0) {
            QFile::remove(temp);
            return std::nullopt;
        }
        return Candidate{temp, QFileInfo(path).lastModified(), readContents(temp)};
    } catch (const engine::EngineError& e) {
        qCWarning(lcData) << "salvage failed:" << e.description();
        return std::nullopt;
    }
}

// Puts `replacement` in the damaged file's place; the damaged file goes to `damaged` first.
// A copy of ours (the salvage) is moved, a backup copy is copied and stays where it is.
void putInPlace(const QString& path, const QString& damaged, const QString& replacement,
                bool isBackupCopy) {
    QString source = replacement;
    if (isBackupCopy) {
        source = path + QStringLiteral(".restore.tmp");
        QFile::remove(source);
        if (!QFile::copy(replacement, source))
            cannotWrite(source);
        QFile::setPermissions(source, QFile::permissions(source) | QFile::WriteOwner |
                                          QFile::ReadOwner);
    }
    if (QFileInfo::exists(path) && !QFile::rename(path, damaged)) {
        QFile::remove(source);
        cannotWrite(damaged);
    }
    if (!QFile::rename(source, path)) {
        QFile::rename(damaged, path); // as it was
        QFile::remove(source);
        cannotWrite(path);
    }
}

} // namespace

bool soundCopyExists(const DatabaseLocation& location) {
    return newestSoundCopy(location).has_value();
}

RepairResult repairDatabase(const DatabaseLocation& location, const QDateTime& now) {
    const QString& path = location.path;
    const QString temp = path + QStringLiteral(".salvage.tmp");
    const std::optional<Candidate> rescued = salvaged(path, temp);
    const std::optional<Candidate> copy = newestSoundCopy(location);
    if (!rescued && !copy)
        throw engine::EngineError(engine::err::GeneralFailure,
                                  QStringLiteral("Die Datenbank '%1' enthält keine lesbaren "
                                                 "Daten, und es gibt keine Sicherungskopie.")
                                      .arg(shown(path)));
    const bool useCopy = copy && (!rescued || holdsMore(copy->contents, rescued->contents));
    const Candidate& chosen = useCopy ? *copy : *rescued;

    RepairResult result;
    result.damagedFile = freshSiblingName(path, QStringLiteral(".defekt"), now);
    try {
        putInPlace(path, result.damagedFile, chosen.file, useCopy);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    QFile::remove(temp); // the salvage, when the copy held more
    if (useCopy)
        result.restoredFrom = chosen.file;
    result.asOf = chosen.asOf;
    result.duties = chosen.contents.duties;
    result.employees = chosen.contents.employees;
    return result;
}

QString repairMessage(const RepairResult& result) {
    const QString what =
        result.restoredFrom.isEmpty()
            ? QStringLiteral("die aus der beschädigten Datei geretteten Daten")
            : QStringLiteral("die Sicherungskopie %1").arg(shown(result.restoredFrom));
    return QStringLiteral("Die Datenbank wurde wiederhergestellt. In Gebrauch sind jetzt %1 vom "
                          "%2 (%3 Mitarbeiter, %4 Dienste).\nDie beschädigte Datei wurde unter %5 "
                          "aufbewahrt.")
        .arg(what, result.asOf.toString(QStringLiteral("dd.MM.yyyy hh:mm")))
        .arg(result.employees)
        .arg(result.duties)
        .arg(shown(result.damagedFile));
}

} // namespace data
