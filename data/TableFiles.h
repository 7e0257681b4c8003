#pragma once
// Tables and their XML files: opening a table (creating it when missing, filling it from the
// standard file beside the program when empty) and copying rows from row-set files.

#include "data/Session.h"

#include <QString>

namespace data {

// Opens the table's recordset; a missing table is created with its CREATE TABLE statement; an
// empty table other than the duties and the statistics is filled from the standard file.
// Other errors are reported as "openTable".
void openTable(Session& session, engine::Recordset& recordset, const QString& suffix,
               const QString& createStatement);

// Fills an empty table from a file; an empty path means the standard file of the program
// folder (std + suffix), announced with "Die Tabelle ist leer". All rows are written in one
// transaction. Returns true when rows were copied.
bool importinempty(Session& session, QString& path, const QString& suffix,
                   engine::Recordset& recordset);

// The standard file of a table: <program folder>/std<suffix>.
QString standardFile(const Session& session, const QString& suffix);

// Copies every column of the target that the source has (by name, without regard to case)
// from the source's current row into the target's pending row.
void copyMatchingColumns(const engine::Recordset& source, engine::Recordset& target);

// Runs the engine's extra indexes of a table (if it has any).
void ensureIndexes(engine::Connection& connection, const QString& table);

} // namespace data
