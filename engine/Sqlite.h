#pragma once
// Small RAII wrappers around the SQLite C API: one prepared statement (bind, step, read,
// finalize or return to the connection's cache on every path) and one transaction (a savepoint,
// so transactions nest; rolled back unless committed).

#include "engine/EngineError.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace engine {

class Connection;

// "?,?,...": value marks for an IN list or one row of values.
QString valueMarks(qsizetype count);
// rows times "(marks)", separated by commas: the rows of a VALUES list.
QString rowMarks(qsizetype rows, qsizetype columns);
// "INSERT INTO "table" ("column", ...) VALUES (?, ...), ..." for that many rows; with no columns,
// one row of the table's defaults.
QString insertSql(const QString& table, const QStringList& columns, qsizetype rows = 1);

class Statement {
public:
    Statement(Connection& connection, const QString& sql); // prepared or taken from the cache
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value); // 1-based; dates become day numbers
    void bindAll(const QVariantList& values);
    bool step(); // true while a row is available; throws EngineError on failure
    // Runs a statement that writes and returns no rows. A change the table refuses (a
    // constraint: a key that exists, a missing value) comes back as its error, and nothing of
    // the statement stays in the file (SQLite backs out a failed statement, its triggers'
    // writes included); any other failure throws as step() does. For bulk writes that count
    // the rows refused without unwinding for each.
    std::optional<EngineError> stepUnlessRefused();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QString declaredType(int column) const; // empty for expressions
    QVariant value(int column) const;       // NULL, qint64, double, QString or QByteArray
    qint64 int64(int column) const;
    // value(column).toDouble(), without a QVariant for the numbers and NULL (a loop over many
    // rows reads its figures so)
    double number(int column) const;
    std::optional<double> numberOrNull(int column) const; // no value for NULL, else number()
    std::optional<qint64> integer(int column) const;      // a value only for an INTEGER
    // the bytes of the value as text (valid until the next step); no value for NULL
    std::optional<QByteArrayView> textBytes(int column) const;
    bool isPlainNumber(int column) const; // INTEGER, REAL or NULL
    bool isNull(int column) const;

private:
    Connection& connection_;
    QString sql_;
    sqlite3_stmt* stmt_ = nullptr;
};

class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction(); // rolls back unless committed
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& connection_;
    QString name_;
    bool open_ = true;
};

} // namespace engine
