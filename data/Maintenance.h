#pragma once
// The daily backup copies of the database file and its weekly compaction.

#include "data/DatabaseLocation.h"

#include <QDate>

#include <functional>

namespace data {

struct MaintenanceHooks {
    // A Yes/No question (No is the default and the answer when there is nobody to ask).
    std::function<bool(const QString& question)> confirm;
    // Tells the planner that a backup or the compaction failed; the start goes on.
    std::function<void(const QString& text)> warn;
};

// Runs at every start on an existing, sound database that is not on a network path. A file that
// does not open as a database throws (err::GeneralFailure) before anything is copied. Then:
// - copies the file to the backup of yesterday's date when that copy does not exist yet;
// - removes the backup of 21 days ago (that one day only; older ones stay);
// - compacts the file when its compaction copy (path + ".sav") is missing or older than seven
//   days: the file as it is becomes the new ".sav" (the copy of the uncompacted file), then it is
//   compacted in place (VACUUM), so the database never leaves its name and a link stays a link.
// Copies are written beside their name and renamed over it in one step. The compaction holds the
// file's exclusive lock from before it reads the file until it is compacted, and it never
// replaces a ".sav" that holds more employees or duties than the database without asking. A failed
// backup or compaction is told through hooks.warn and the files stay as they were; nothing is
// thrown for them.
void dailyBackupAndCompaction(const DatabaseLocation& location, const QDate& today,
                              const MaintenanceHooks& hooks = {});

// When the compaction copy was set aside. Its modification time is set when the file is set
// aside, because many file systems do not keep access times.
QDate compactionCopyDate(const QString& savPath);

} // namespace data
