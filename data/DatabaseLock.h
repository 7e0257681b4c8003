#pragma once
// One program per database file: a lock file beside the database ("<database>.lock") that the
// running program holds until it ends. A lock left by a program that crashed is taken over.

#include "data/Session.h"

namespace data {

enum class LockResult { Locked, HeldByOther, NoAccess };

// Takes the lock of the session's database into session.databaseLock (an earlier lock of the
// session is let go first). On HeldByOther, `holder` says which program holds it.
LockResult lockDatabase(Session& session, QString& holder);

QString lockFilePath(const QString& databasePath);

} // namespace data
