#pragma once
// The daily backup copies of the database file and its weekly compaction.

#include "data/DatabaseLocation.h"

#include <QDate>

namespace data {

// Runs at every start on an existing database that is not on a network path. A file that does
// not open as a database throws (err::GeneralFailure) before anything is copied. Then:
// - copies the file to the backup of yesterday's date when that copy does not exist yet;
// - removes the backup of 21 days ago (that one day only; older ones stay);
// - compacts the file when its compaction copy (path + ".sav") is missing or older than seven
//   days: the file is set aside as ".sav" and compacted back into its own path. The ".sav" stays
//   as the copy of the uncompacted file.
// Compaction writes a new file first; when it fails (a damaged file), nothing is moved or
// deleted and the error is thrown on.
void dailyBackupAndCompaction(const DatabaseLocation& location, const QDate& today);

// Compacts the database file into a new file at temp (replacing one left there). When that
// fails (a damaged file), nothing is left at temp and the error is thrown on.
void compactInto(const QString& path, const QString& temp);

// When the compaction copy was set aside. Its modification time is set when the file is set
// aside, because many file systems do not keep access times.
QDate compactionCopyDate(const QString& savPath);

} // namespace data
