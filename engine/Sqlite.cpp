#include "engine/Sqlite.h"

#include "engine/Connection.h"
#include "engine/DateValue.h"
#include "engine/SqlTokenizer.h"

#include <sqlite3.h>

namespace engine {

QString valueMarks(qsizetype count) {
    return QStringList(count, QStringLiteral("?")).join(u',');
}

QString rowMarks(qsizetype rows, qsizetype columns) {
    return QStringList(rows, u'(' + valueMarks(columns) + u')').join(u',');
}

QString insertSql(const QString& table, const QStringList& columns, qsizetype rows) {
    const QString into = QStringLiteral("INSERT INTO ") + sql::quoteName(table);
    if (columns.isEmpty()) return into + QStringLiteral(" DEFAULT VALUES");
    QStringList names;
    for (const QString& column : columns)
        names << sql::quoteName(column);
    return into + QStringLiteral(" (") + names.join(u',') + QStringLiteral(") VALUES ") +
           rowMarks(rows, columns.size());
}

Statement::Statement(Connection& connection, const QString& sql)
    : connection_(connection), sql_(sql) {
    stmt_ = connection_.takeStatement(sql);
}

Statement::~Statement() {
    if (stmt_) connection_.returnStatement(sql_, stmt_);
}

void Statement::bind(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(stmt_, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::UChar:
            rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, index, value.toDouble());
            break;
        case QMetaType::QDate:
        case QMetaType::QDateTime:
        case QMetaType::QTime:
            rc = sqlite3_bind_double(stmt_, index, *dayNumber(value));
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(stmt_, index, bytes.constData(), int(bytes.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK) throw connection_.error(rc, sql_);
}

void Statement::bindAll(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const EngineError e = connection_.error(rc, sql_);
    sqlite3_reset(stmt_);
    throw e;
}

std::optional<EngineError> Statement::stepUnlessRefused() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_DONE || rc == SQLITE_ROW) {
        sqlite3_reset(stmt_);
        return std::nullopt;
    }
    const EngineError e = connection_.error(rc, sql_);
    sqlite3_reset(stmt_);
    if ((rc & 0xff) != SQLITE_CONSTRAINT) throw e;
    return e;
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

QString Statement::declaredType(int column) const {
    const char* t = sqlite3_column_decltype(stmt_, column);
    return t ? QString::fromUtf8(t) : QString();
}

QVariant Statement::value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qint64>(sqlite3_column_int64(stmt_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, column));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column)),
                              sqlite3_column_bytes(stmt_, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, column)),
                                   sqlite3_column_bytes(stmt_, column)));
    default:
        return QVariant();
    }
}

qint64 Statement::int64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

namespace {

// value(column).toDouble() of the column's value v, as Statement::number reads it
double numberOf(const Statement& statement, int column, sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return double(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_NULL:
        return 0.0;
    default: // text is read as the QVariant reads it
        return statement.value(column).toDouble();
    }
}

} // namespace

// One call into the statement each; the value's accessors take no lock.
double Statement::number(int column) const {
    return numberOf(*this, column, sqlite3_column_value(stmt_, column));
}

std::optional<double> Statement::numberOrNull(int column) const {
    sqlite3_value* v = sqlite3_column_value(stmt_, column);
    if (sqlite3_value_type(v) == SQLITE_NULL) return std::nullopt;
    return numberOf(*this, column, v);
}

std::optional<QByteArrayView> Statement::textBytes(int column) const {
    sqlite3_value* v = sqlite3_column_value(stmt_, column);
    if (sqlite3_value_type(v) == SQLITE_NULL) return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QByteArrayView(text, text ? sqlite3_value_bytes(v) : 0);
}

bool Statement::isPlainNumber(int column) const {
    const int type = sqlite3_value_type(sqlite3_column_value(stmt_, column));
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT || type == SQLITE_NULL;
}

std::optional<qint64> Statement::integer(int column) const {
    sqlite3_value* v = sqlite3_column_value(stmt_, column);
    if (sqlite3_value_type(v) != SQLITE_INTEGER) return std::nullopt;
    return sqlite3_value_int64(v);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

// A savepoint is named after its depth, so its three statements are prepared once per depth and
// then come from the connection's cache (savepoints nest strictly, and a name is free again once
// released).
Transaction::Transaction(Connection& connection)
    : connection_(connection), name_(QStringLiteral("tnv_sp%1").arg(++connection.savepointDepth_)) {
    try {
        connection_.executeNative(QStringLiteral("SAVEPOINT ") + name_);
    } catch (...) {
        --connection_.savepointDepth_;
        throw;
    }
}

Transaction::~Transaction() {
    if (!open_) return;
    --connection_.savepointDepth_;
    try {
        connection_.executeNative(QStringLiteral("ROLLBACK TO ") + name_);
        connection_.executeNative(QStringLiteral("RELEASE ") + name_);
    } catch (...) {
        // The connection is gone or broken; SQLite rolls back an open transaction on close.
    }
}

void Transaction::commit() {
    connection_.executeNative(QStringLiteral("RELEASE ") + name_);
    open_ = false;
    --connection_.savepointDepth_;
}

} // namespace engine
