#pragma once
// Repairing a damaged database file at start-up: the newest sound copy beside it (the
// compaction copy ".sav" or a daily backup) takes its place; without one, SQLite rescues what it
// can still read by compacting the file. The damaged file is kept as ".defekt".

#include "data/DatabaseLocation.h"

#include <QDateTime>
#include <QString>

namespace data {

// Opens and passes SQLite's quick check.
bool isSoundDatabase(const QString& path);

struct RepairResult {
    QString restoredFrom; // the copy that replaced the file; empty when it was compacted
    QDateTime copyTime;   // when that copy was written
    QString damagedFile;  // where the damaged file was kept
};

// Throws EngineError when neither a copy nor compaction gives a sound file; the files are then
// as they were.
RepairResult repairDatabase(const DatabaseLocation& location);

} // namespace data
