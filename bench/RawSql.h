#pragma once
// The raw side of the benchmarks: an SQL text run directly on SQLite, every row and column read.

#include "data/DataUmgebung.h"
#include "engine/DateValue.h"
#include "engine/SqlDialect.h"

#include <QString>
#include <QVariantList>

#include <sqlite3.h>

namespace bench {

// Prepares, binds (dates as day numbers), steps through every row reading each column,
// finalizes; returns the number of rows.
inline int runRawSql(sqlite3* db, const QString& sql, const QVariantList& values = {}) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr);
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values.at(i);
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::QDate)
            sqlite3_bind_double(st, i + 1, *engine::dayNumber(v));
        else if (v.typeId() == QMetaType::QString)
            sqlite3_bind_text(st, i + 1, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
        else
            sqlite3_bind_int64(st, i + 1, v.toLongLong());
    }
    int rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            (void)sqlite3_column_text(st, c);
        ++rows;
    }
    sqlite3_finalize(st);
    return rows;
}

// The SQL text of a named command of the data environment as SQLite runs it.
inline QString commandSql(const data::DataUmgebung& env, const char* name) {
    const data::DataUmgebung::Command& command = env.command(QLatin1String(name));
    return engine::translateSql(command.text, command.parameters).sql;
}

} // namespace bench
