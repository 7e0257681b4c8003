#pragma once
// What every window and procedure of a running program shares: the desktop services, the
// location of the database, the data environment and where progress is shown. The main window
// owns it and hands it on; a test builds one on a temporary database.

#include "data/DataUmgebung.h"
#include "data/DatabaseLocation.h"
#include "data/FileIdentityLock.h"
#include "data/StartupStatus.h"
#include "data/UndoLog.h"
#include "platform/Services.h"

#include <QLockFile>

#include <memory>

namespace data {

struct Session {
    platform::Services services;
    DatabaseLocation location;
    DataUmgebung env;
    // the roster's changes to undo and redo (after env: it goes before the connection closes)
    UndoLog undo;
    NullProgress noProgress;
    ProgressSink* progress = &noProgress;
    // Held from the start-up check to the end of the run: one program per database file.
    std::unique_ptr<QLockFile> databaseLock;
    FileIdentityLock fileLock; // the same, for the file reached by any of its names

    // The first day of the month from which a changed flat target (Sollstd) applies: the month
    // the employee window was opened on. Stored months before it keep their targets. Invalid:
    // from the first working day on.
    QDate targetsFrom;

    platform::Prompts& prompts() const { return *services.prompts; }
    QDate today() const { return services.clock->today(); }
};

// Shows an engine error (or any other exception) through the error reporter with the given
// procedure text.
void report(Session& session, const std::exception& error, const QString& procedure);
long errorNumber(const std::exception& error);
// The description of an engine error (the text of any other exception).
QString errorDescription(const std::exception& error);

} // namespace data
