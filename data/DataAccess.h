#pragma once
// The check of the database engine at start-up. The program was built on data-access components
// that had to be installed separately; here the engine is SQLite, linked with the program, and
// the check makes sure the library found at run time is present and new enough.

#include "platform/Prompts.h"

#include <QString>

namespace data {

// The engine's name and version as the about window shows it after "MDAC Version = ".
QString dataAccessVersion(); // "SQLite 3.40.1"

// true when the engine is present and new enough; otherwise the messages are shown and the
// program must end.
bool checkDataAccess(platform::Prompts& prompts);
// The same for a given version (text as shown, number as sqlite3_libversion_number gives it;
// an empty text means no engine was found).
bool checkDataAccess(platform::Prompts& prompts, const QString& versionText, int versionNumber);

} // namespace data
