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

// Sets a field of the pending row; a null for a required column with a default is skipped, so
// the column keeps its default instead of the whole row being refused.
void setUnlessNullOnRequired(engine::Recordset& target, int index, const QVariant& value);

// Copies every column of the target that the source has (by name, without regard to case)
// from the source's current row into the target's pending row.
void copyMatchingColumns(const engine::Recordset& source, engine::Recordset& target);

// Runs the engine's extra indexes of a table (if it has any).
void ensureIndexes(engine::Connection& connection, const QString& table);

} // namespace data

namespace data {

// Fills a table of a newly built database: from the backup file beside the database (or in the
// root of its file system), asking first when askFlag is set, else from the standard file.
// Files of earlier formats are converted column by column. All rows are written in one
// transaction. Returns true when a file was copied.
bool importsaved(Session& session, const QString& createStatement, const QString& suffix,
                 engine::Recordset& recordset, bool askFlag);

// Appends the rows of a user's file to a table; rows the table refuses (a key that exists) are
// skipped and counted: "Bei dem Import sind N Fehler aufgetreten." Returns false only when the
// file does not exist.
bool importfile(Session& session, const QString& path, engine::Recordset& recordset);

// The backup file importsaved would use for a suffix, or empty.
QString findBackupFile(const Session& session, const QString& suffix);

} // namespace data
