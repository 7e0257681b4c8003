#pragma once
// Tables and their row-set XML files: opening a table (creating it when missing, filling it from
// the standard file beside the program when empty), restoring a table of a newly built database
// from a backup file, and appending the rows of a file the user chose.
//
// Filling an empty table and restoring one are all or nothing: the rows of a file are written in
// one transaction, so a damaged or truncated file leaves the table as it was (and the error is
// reported). Appending a user's file skips and counts the rows the table refuses.

#include "data/Session.h"

#include <QString>

namespace data {

// Opens the table's recordset (the data environment's command of the same name); a missing
// table is created with its CREATE TABLE statement; an empty table other than the duties and the
// statistics is filled from the standard file. Other errors are reported as "openTable".
void openTable(Session& session, engine::Recordset& recordset, const QString& suffix,
               const QString& createStatement);

// Fills an empty table from a file; an empty path becomes the standard file of the program
// folder (std + suffix), announced with "Die Tabelle ist leer". Returns true when the file was
// copied. Errors are reported as "importinempty".
bool importinempty(Session& session, QString& path, const QString& suffix,
                   engine::Recordset& recordset);

// Fills a table of a newly built database: creates the table, then copies the backup file beside
// the database (or in the root of its file system), asking first when askFlag is set, else the
// standard file. Returns true when a file was copied. Errors are reported as "importsaved".
bool importsaved(Session& session, const QString& createStatement, const QString& suffix,
                 engine::Recordset& recordset, bool askFlag);

// Appends the rows of a user's file to a table; rows the table refuses (a key that exists) are
// skipped and counted: "Bei dem Import sind N Fehler aufgetreten." New rows get new autonumbers.
// Returns false only when the file does not exist.
bool importfile(Session& session, const QString& path, engine::Recordset& recordset);

// The standard file of a table: <program folder>/std<suffix>.
QString standardFile(const Session& session, const QString& suffix);
// The backup file importsaved would use for a suffix, or empty.
QString findBackupFile(const Session& session, const QString& suffix);

// Creates the engine's extra indexes of a table (if it has any).
void ensureIndexes(engine::Connection& connection, const QString& table);
// At start-up: drops the indexes of earlier versions that needed the program's own collation
// (the rows stay as they are) and creates the extra indexes of every table there is (an index
// that its rows refuse is left out, logged, and reported when its table is opened).
void upgradeIndexes(engine::Connection& connection);

} // namespace data
