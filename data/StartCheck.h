#pragma once
// The start-up check: makes sure a usable database of the current format is open before the
// main window touches any table. It locates the file, offers to create a missing one, proves
// write access, keeps the daily backups and compacts the file, recognises a database of an old
// format and rebuilds it, and repairs a damaged file.
//
// Its steps are numbered 1 to 16; an unexpected error is reported as "dbstartcheck Line = " and
// the number of the step, and the program ends. No write access ends it with the access message;
// a damaged file is repaired and the check goes on after the step that failed.

#include "data/Session.h"

#include <functional>

namespace data {

struct StartCheckHooks {
    // Recomputes the statistics of all employees after a rebuild.
    std::function<void()> recomputeStatistics;
};

// true: start-up may go on; false: the program must end.
bool dbstartcheck(Session& session, const QString& commandLine, const StartCheckHooks& hooks);

// Builds a new database at the session's path: an empty file, every table created and filled
// from its backup file or its standard file, the statistics recomputed, the text columns
// checked. askFlag: ask before using a backup file that was found. Throws only when the file
// cannot be created; the imports report their own errors and the rebuild goes on.
// A marker file (rebuildMarkerPath) lies beside the database while it is rebuilt; the next start
// repeats a rebuild that a crash cut off.
void buildNewDatabase(Session& session, bool askFlag, const StartCheckHooks& hooks);
QString rebuildMarkerPath(const QString& databasePath);

// Every text column must accept empty strings. SQLite's always do, so nothing is changed; the
// progress shows the tables as they are looked at.
void tableCheck(Session& session);

} // namespace data
