#pragma once
// Rescuing what a damaged database file still holds: every row that can be read, table by table
// and range of rows by range of rows, copied into a new file. A damaged page costs the rows on it,
// not the rest of its table; a damaged table costs that table, not the others.

#include <QString>

namespace data {

struct SalvageResult {
    qint64 rows = 0;        // rows copied in all
    qint64 lostRanges = 0;  // damaged places that were skipped
};

// Writes the rescued rows of `damaged` (which is only read) into a new database at `target`
// that passes SQLite's integrity check. Throws EngineError when nothing of the file can be read
// (nothing is left at target then).
SalvageResult salvageDatabase(const QString& damaged, const QString& target);

} // namespace data
