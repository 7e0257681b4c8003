#pragma once
// An SQL text of the program's dialect whose values are named parameters. The text is translated
// once; the connection keeps the prepared statement by its text, so a query run many times with
// different values is prepared once. Values are always bound, never pasted into the text.

#include "engine/Connection.h"
#include "engine/Sqlite.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

namespace roster {

class Query {
public:
    // parameters: the names in the text (written [name]) in the order the values are passed
    Query(const QString& text, const QStringList& parameters);

    const QString& sql() const { return sql_; } // the SQLite text

    // The first column of the first row, or no value when there is no row.
    std::optional<QVariant> scalar(engine::Connection& connection,
                                   const QVariantList& values) const;

private:
    QString sql_;
};

// A running query: prepared statement with its values bound, stepped by the caller.
class QueryRun {
public:
    QueryRun(engine::Connection& connection, const Query& query, const QVariantList& values);
    bool next() { return statement_.step(); }
    QVariant value(int column) const { return statement_.value(column); }
    bool isNull(int column) const { return statement_.isNull(column); }
    double number(int column) const { return statement_.number(column); } // value().toDouble()
    std::optional<double> numberOrNull(int column) const { return statement_.numberOrNull(column); }
    std::optional<qint64> integer(int column) const { return statement_.integer(column); }
    bool isPlainNumber(int column) const { return statement_.isPlainNumber(column); }
    std::optional<QByteArrayView> textBytes(int column) const {
        return statement_.textBytes(column);
    }

private:
    engine::Statement statement_;
};

} // namespace roster
