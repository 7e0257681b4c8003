#pragma once
// One program per database file: a lock file beside the file ("<file>.lock", named after the file
// with its links resolved, so a symbolic link leads to the same lock) that the running program
// holds until it ends, and a lock on the file itself, which a second hard link cannot get round.
// A lock left by a program that crashed is taken over.

#include "data/Session.h"

namespace data {

enum class LockResult { Locked, HeldByOther, NoAccess };

// Takes the locks of the session's database (earlier locks of the session are let go first).
// On HeldByOther, `detail` says which program holds it when that is known; on NoAccess, why the
// lock cannot be taken.
LockResult lockDatabase(Session& session, QString& detail);

// The lock file of the database at `databasePath`, links resolved.
QString lockFilePath(const QString& databasePath);

} // namespace data
