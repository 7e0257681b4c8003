#pragma once
// Repairing a damaged database file at start-up. Nothing of the planner's is ever deleted or
// overwritten on the way:
// - every row the damaged file still holds is salvaged into a new file first;
// - the salvaged file and the newest sound copy beside the database (the compaction copy ".sav"
//   or a daily backup) are compared, and the one with more of the planner's work (more duties,
//   then later duties, then more rows) takes the database's place, with the rows of the other one
//   whose row ids and keys it lacks added; a copy is copied, never moved;
// - the damaged file is kept under a name of its own, "<database>.<date_time>.defekt".

#include "data/DatabaseLocation.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace data {

struct RepairResult {
    QString restoredFrom; // the copy now in use; empty when the salvaged rows are
    QDateTime asOf;       // when that copy (or the damaged file) was last written
    QString damagedFile;  // where the damaged file was kept
    qint64 duties = 0;    // duties in the database now in use
    qint64 employees = 0;
    qint64 addedRows = 0; // rows the other side held beyond the one in use, added to it
    QString addedFrom;    // the copy they came from; empty when from the damaged file
};

// Whether a sound copy with the program's tables lies beside the database.
bool soundCopyExists(const DatabaseLocation& location);

// For a database that is missing: the newest copy beside it that is a sound database with the
// program's tables, among the compaction copy, the daily backups and the files an interrupted
// compaction or repair left (".compact.tmp", ".salvage.tmp", ".restore.tmp").
struct FoundCopy {
    QString file;
    QDateTime asOf;
    QString contents; // "45 Mitarbeiter, 2069 Dienste"
};
std::optional<FoundCopy> copyForMissingDatabase(const DatabaseLocation& location);
// Copies `copy` to the database's place (through a temporary file and one rename); throws
// EngineError when it cannot be written.
void restoreMissingDatabase(const DatabaseLocation& location, const QString& copy);

// Throws EngineError when neither the damaged file nor any copy holds anything; the files are
// then as they were.
RepairResult repairDatabase(const DatabaseLocation& location, const QDateTime& now);

// The message that tells the planner which data is now in use, from when, and where the damaged
// file lies.
QString repairMessage(const RepairResult& result);

} // namespace data
