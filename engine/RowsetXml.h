#pragma once
// Row-set XML files: the persisted-recordset format of the old data-access library, used for
// table backups, the standard files shipped beside the program, and the exported standard
// duties and holidays. Reading never trusts the file; writing produces files the old program
// reads.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace engine {

enum class ColumnType {
    AutoNumber, // int with rs:autoincrement='true'
    Long,       // int
    Integer,    // i2
    Double,     // float
    Single,     // r4
    Boolean,    // boolean
    DateTime,   // dateTime, rs:dbtype='variantdate'
    Text,       // string with dt:maxLength
    Memo,       // string with rs:long='true'
    Currency    // number with rs:dbtype='currency'
};

struct RowsetColumn {
    QString name; // the field name (rs:name when present, else name)
    ColumnType type = ColumnType::Text;
    int maxLength = 0; // text width; 0 = not given
    bool nullable = true;
};

// Values of a row in column order. A null is an invalid QVariant; text is QString; Long,
// Integer and AutoNumber are int; Double, Single and Currency are double; Boolean is bool;
// DateTime is a QDateTime in Qt::UTC (no time-zone conversion).
using RowsetRow = QList<QVariant>;

struct RowsetData {
    QList<RowsetColumn> columns; // in rs:number order
    QList<RowsetRow> rows;       // current rows only (rs:delete dropped, rs:update's new values)
    int columnIndex(const QString& name) const; // without regard to case; -1 when absent
};

// Reads a file. Throws EngineError with err::FileNotFound when the file does not exist and
// err::BadFileFormat (German description naming the file and what is wrong) for anything that
// is not a well-formed row-set file: wrong root, truncated, unknown entity, bad value of a
// typed column, an attribute of more than 1 MB.
// With `unreadRows`, a row with a bad value of a typed column, and the row a truncated file ends
// in, are left out and described there (German, with the row's number); the other rows are read.
RowsetData readRowsetXml(const QString& path, QStringList* unreadRows = nullptr);
// Reads a file as readRowsetXml does, handing its rows to `take` in portions of at most
// `batchRows` (the columns are the whole file's) as they are read, so a file of any size reads
// in little memory. Rows handed over before a fault stay handed over: a caller that must take
// all of a file or nothing writes them in a transaction it rolls back on the exception.
// Returns the columns.
using RowsetBatchTaker = std::function<void(const RowsetData& batch)>;
QList<RowsetColumn> streamRowsetXml(const QString& path, const RowsetBatchTaker& take,
                                    QStringList* unreadRows = nullptr, int batchRows = 1000);
RowsetData parseRowsetXml(const QByteArray& content, const QString& nameForMessages,
                          QStringList* unreadRows = nullptr);

// Writes a file (UTF-8, the four namespaces, schema with types and widths, one z:row per row,
// a null as a missing attribute). Throws EngineError(err::PermissionDenied) when the file
// cannot be written. Writes to a temporary file first, so a failure never leaves half a file.
void writeRowsetXml(const QString& path, const RowsetData& data);
QByteArray formatRowsetXml(const RowsetData& data);

} // namespace engine
