#pragma once
// Rescuing what a damaged database file still holds: every row that SQLite can read, table by
// table and range of rows by range of rows, copied into a new file; then, when SQLite's reading
// stopped at a damaged place, the rows of every whole leaf page of the file (data/PageScan), so
// a damaged interior page or first page costs no row that lies on an intact leaf page. A
// damaged leaf page costs the rows on it, not the rest of its table.

#include <QString>

namespace data {

struct SalvageResult {
    qint64 rows = 0;       // rows copied in all
    qint64 lostRanges = 0; // damaged places that were skipped
    qint64 pageRows = 0;   // of the rows, those read page by page past the damaged places
};

// Writes the rescued rows of `damaged` (which is only read) into a new database at `target`
// that passes SQLite's integrity check. Without a readable schema the program's own tables are
// created and filled from the leaf pages. Throws EngineError when the new file cannot be written
// (nothing is left at target then).
SalvageResult salvageDatabase(const QString& damaged, const QString& target);

} // namespace data
