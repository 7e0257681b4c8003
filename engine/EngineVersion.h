#pragma once
// The version of the SQLite library the program runs on, as the library itself reports it.

#include <QString>

namespace engine {

QString engineVersion();   // "3.40.1"
int engineVersionNumber(); // 3040001
// The oldest library the engine layer works with (VACUUM INTO, sqlite3_total_changes64).
constexpr int MinimumEngineVersionNumber = 3037000;

} // namespace engine
