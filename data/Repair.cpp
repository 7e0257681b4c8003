#include "data/Repair.h"

#include "data/DatabaseFile.h"
#include "data/Salvage.h"
#include "engine/Connection.h"
#include "engine/EngineError.h"
#include "engine/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>

#include <optional>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcData)

namespace data {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void cannotWrite(const QString& path, qint64 bytesNeeded) {
    throw engine::EngineError(engine::err::FileAccess, cannotWriteText(path, bytesNeeded));
}

// The compaction copy and the daily backups, newest first; with `leftovers`, also the files an
// interrupted compaction or repair of an earlier version left beside the database.
QFileInfoList copiesNewestFirst(const DatabaseLocation& location, bool leftovers = false) {
    QFileInfoList copies =
        QDir(location.folder)
            .entryInfoList(
                {location.baseName() +
                 QStringLiteral("backup[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9].tnv.sav")},
                QDir::Files);
    QStringList suffixes{QStringLiteral(".sav")};
    if (leftovers)
        suffixes << QStringLiteral(".compact.tmp") << QStringLiteral(".salvage.tmp")
                 << QStringLiteral(".restore.tmp");
    for (const QString& suffix : suffixes) {
        const QFileInfo file(location.path + suffix);
        if (file.isFile()) copies << file;
    }
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
std::optional<Candidate> newestSoundCopy(const DatabaseLocation& location, bool leftovers = false) {
    for (const QFileInfo& copy : copiesNewestFirst(location, leftovers)) {
        if (inspectDatabaseFile(copy.filePath()).state != FileState::Sound) continue;
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

// A copy of a backup beside the database, to be put in its place; the backup stays as it is.
QString copyBeside(const QString& path, const QString& backup) {
    QString temp = path + QStringLiteral(".restore.tmp");
    if (QFileInfo(backup).absoluteFilePath() == QFileInfo(temp).absoluteFilePath())
        temp += QStringLiteral(".2"); // an earlier repair's leftover is the copy
    QFile::remove(temp);
    if (!QFile::copy(backup, temp)) {
        QFile::remove(temp);
        cannotWrite(temp, QFileInfo(backup).size());
    }
    QFile::setPermissions(temp, QFile::permissions(temp) | QFile::WriteOwner | QFile::ReadOwner);
    return temp;
}

// Puts the file `replacement` (beside it) in the place of the file at `path` (links resolved)
// with one rename, so there is never a moment without it; the file that was there stays as
// `damaged` (a second name of it, or a copy where the folder takes no second names).
void putInPlace(const QString& path, const QString& damaged, const QString& replacement) {
    const bool existed = QFileInfo::exists(path);
    if (existed &&
        ::link(QFile::encodeName(path).constData(), QFile::encodeName(damaged).constData()) != 0 &&
        !QFile::copy(path, damaged)) {
        QFile::remove(damaged);
        cannotWrite(damaged, QFileInfo(path).size());
    }
    if (!replaceAtomically(replacement, path)) {
        if (existed) QFile::remove(damaged); // the file is still in its place
        cannotWrite(path, QFileInfo(replacement).size());
    }
}

// Adds to the file `into` every row of `from` whose row id and keys `into` lacks, table by table
// for the tables both have with the same columns. Returns the rows added.
qint64 addMissingRows(const QString& into, const QString& from) {
    engine::Connection source;
    source.openSnapshot(from);
    engine::Connection target;
    target.open(into);
    engine::Transaction transaction(target);
    qint64 added = 0;
    for (const QString& table : target.tableNames()) {
        if (!source.tableExists(table)) continue;
        QStringList columns;
        for (const engine::ColumnInfo& c : target.columns(table))
            columns << QLatin1Char('"') + c.name + QLatin1Char('"');
        QStringList sourceColumns;
        for (const engine::ColumnInfo& c : source.columns(table))
            sourceColumns << QLatin1Char('"') + c.name + QLatin1Char('"');
        if (columns != sourceColumns) continue;
        QStringList marks;
        for (int i = 0; i <= columns.size(); ++i)
            marks << QStringLiteral("?%1").arg(i + 1);
        const QString list = columns.join(QLatin1Char(','));
        engine::Statement read(source,
                               QStringLiteral("SELECT rowid, %1 FROM \"%2\"").arg(list, table));
        engine::Statement insert(target, QStringLiteral("INSERT OR IGNORE INTO \"%1\" (rowid, %2) "
                                                        "VALUES (%3)")
                                             .arg(table, list, marks.join(QLatin1Char(','))));
        while (read.step()) {
            QVariantList values;
            for (int c = 0; c < read.columnCount(); ++c)
                values << read.value(c);
            insert.bindAll(values);
            insert.step();
            insert.reset();
            added += target.changes();
        }
    }
    transaction.commit();
    return added;
}

} // namespace

bool soundCopyExists(const DatabaseLocation& location) {
    return newestSoundCopy(location).has_value();
}

std::optional<FoundCopy> copyForMissingDatabase(const DatabaseLocation& location) {
    const std::optional<Candidate> copy = newestSoundCopy(location, true);
    if (!copy) return std::nullopt;
    return FoundCopy{copy->file, copy->asOf, describe(copy->contents)};
}

void restoreMissingDatabase(const DatabaseLocation& location, const QString& copy) {
    const QString path = resolvedPath(location.path);
    const QString temp = copyBeside(path, copy);
    try {
        putInPlace(path, QString(), temp);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

RepairResult repairDatabase(const DatabaseLocation& location, const QDateTime& now) {
    const QString path = resolvedPath(location.path);
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
    QString replacement = temp;
    try {
        if (useCopy) replacement = copyBeside(path, copy->file);
        // neither side's rows are dropped: what the other one holds beyond it is added
        if (rescued && copy) {
            const Candidate& other = useCopy ? *rescued : *copy;
            result.addedRows = addMissingRows(replacement, other.file);
            if (result.addedRows > 0) result.addedFrom = useCopy ? QString() : other.file;
        }
        putInPlace(path, result.damagedFile, replacement);
    } catch (...) {
        QFile::remove(temp);
        if (replacement != temp) QFile::remove(replacement);
        throw;
    }
    QFile::remove(temp); // the salvage, when the copy held more
    if (useCopy) result.restoredFrom = chosen.file;
    result.asOf = chosen.asOf;
    const Contents inUse = readContents(path);
    result.duties = inUse.duties;
    result.employees = inUse.employees;
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
               .arg(shown(result.damagedFile)) +
           (result.addedRows == 0 ? QString()
            : result.addedFrom.isEmpty()
                ? QStringLiteral("\n%1 Datensätze, die nur noch in der beschädigten Datei lesbar "
                                 "waren, wurden ergänzt.")
                      .arg(result.addedRows)
                : QStringLiteral("\n%1 Datensätze, die in der beschädigten Datei nicht mehr "
                                 "lesbar waren, wurden aus der Sicherungskopie %2 ergänzt.")
                      .arg(result.addedRows)
                      .arg(shown(result.addedFrom)));
}

} // namespace data
