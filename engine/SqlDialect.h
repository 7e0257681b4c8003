#pragma once
// Translation of the program's SQL texts, written in the dialect of the old desktop database
// engine, into SQLite's. The texts stay in the code as they were written; they are translated
// token by token when executed. String literals are never changed.

#include <QString>
#include <QStringList>

struct sqlite3;

namespace engine {

struct TranslatedSql {
    QString sql;                // SQLite text
    QStringList parameterNames; // names replaced by numbered parameters, in order of the list given
};

// A query, UPDATE, DELETE or INSERT:
// - #m/d/yy# and #m/d/yyyy# date literals (also with a time "#m/d/yyyy hh:mm:ss#") become day
//   numbers; two-digit years 00 to 29 are 2000 to 2029, 30 to 99 are 1930 to 1999;
// - "/" is floating-point division;
// - "DELETE T.col FROM T WHERE ..." deletes whole rows ("DELETE FROM T WHERE ...");
// - "UPDATE T SET T.col = ..." loses the qualifier of the updated table;
// - identifiers (bare, [bracketed] or `backquoted`, not after a ".") that equal one of the
//   parameter names (without regard to case) become "?N", N being the 1-based position of
//   the name in parameterNames, so values are bound by position.
// Throws EngineError(err::CommandError) for an unterminated literal or a bad date literal.
TranslatedSql translateSql(const QString& text, const QStringList& parameterNames = {});

// A CREATE TABLE statement of the old dialect:
// - "[c] int IDENTITY(1,1) NOT NULL" becomes "c INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL";
// - a declared PRIMARY KEY(...) on the identity column alone is dropped (the column is the
//   key already); a PRIMARY KEY(...) on other columns becomes UNIQUE(...), keeping its name;
// - bit columns are "NOT NULL DEFAULT 0"; DEFAULT no/yes are 0/1;
// - a quoted date default ('01/01/02', month/day/year) on a date column becomes its day number;
// - WITH COMPRESSION is dropped;
// - declared type names (smalldatetime, varchar (50), float, real, bit, int, smallint,
//   char(1), DATETIME) are kept as SQLite declared types, with "varchar (50)" written as
//   "varchar(50)"; text columns get COLLATE NOCASE and a CHECK on their width.
// Throws EngineError(err::CommandError) when the text is not a CREATE TABLE statement.
QString translateCreateTable(const QString& text);

// The table name of a CREATE TABLE statement (brackets removed), or empty.
QString createTableName(const QString& text);

// Registers the functions the dialect needs on a connection: HOUR(x), MINUTE(x) on day numbers
// (time of day of the absolute value, rounded to the second), the aggregate LAST(x) (value of
// the last row), LIKE compared without regard to case, umlauts included, with % and _, and the
// collation TEXT_NOCASE that compares text by the same rule (engine/TextCompare.h).
void registerDialectFunctions(sqlite3* db);

// Day number of a date literal body "m/d/yy", "m/d/yyyy", optionally followed by a time.
// Returns false when the text is not such a date.
bool parseDateLiteral(const QString& body, double* dayNumber);

} // namespace engine
