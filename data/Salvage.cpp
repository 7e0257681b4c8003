#include "data/Salvage.h"

#include "data/PageScan.h"
#include "data/Schema.h"
#include "data/Staffing.h"
#include "engine/Connection.h"
#include "engine/EngineError.h"
#include "engine/Sqlite.h"

#include <QFile>
#include <QLoggingCategory>

#include <limits>
#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcData)

namespace data {

namespace {

constexpr int Batch = 500;

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

struct SchemaEntry {
    QString name;
    QString sql;
};

QList<SchemaEntry> schemaOf(engine::Connection& source, const QString& type) {
    QList<SchemaEntry> entries;
    engine::Statement st(source, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type "
                                                "= ?1 AND sql IS NOT NULL AND name NOT LIKE "
                                                "'sqlite_%' ORDER BY rowid"));
    st.bind(1, type);
    while (st.step())
        entries << SchemaEntry{st.value(0).toString(), st.value(1).toString()};
    return entries;
}

// One step of the reading statement; false at the end. A damaged page of the source shows as an
// error here and only here: errors of the new file are thrown on.
bool readStep(engine::Statement& read, bool& damaged) {
    try {
        return read.step();
    } catch (const engine::EngineError&) {
        damaged = true;
        return false;
    }
}

// Copies the rows of one table whose row ids follow `after`, in batches, until the end of the
// table or a damaged page. Returns false at a damaged page; `after` is the last row copied.
bool copyRun(engine::Connection& source, engine::Statement& insert, const QString& select,
             qint64& after, qint64& copied) {
    for (;;) {
        int inBatch = 0;
        bool damaged = false;
        {
            engine::Statement read(source, select);
            read.bind(1, after);
            while (readStep(read, damaged)) {
                QVariantList values;
                for (int c = 0; c < read.columnCount(); ++c)
                    values << read.value(c);
                after = values.first().toLongLong();
                insert.bindAll(values);
                insert.step();
                insert.reset();
                ++copied;
                ++inBatch;
            }
        }
        if (damaged) return false;
        if (inBatch < Batch) return true;
    }
}

// Whether reading can start after row id `from` (the pages there are whole enough to find the
// next row, or the end).
bool readableAfter(engine::Connection& source, const QString& probe, qint64 from) {
    try {
        engine::Statement st(source, probe);
        st.bind(1, from);
        st.step();
        return true;
    } catch (const engine::EngineError&) {
        return false;
    }
}

// The smallest row id past a damaged place from which reading works again, or none.
std::optional<qint64> nextReadable(engine::Connection& source, const QString& probe,
                                   qint64 failed) {
    constexpr qint64 Max = std::numeric_limits<qint64>::max();
    qint64 step = 1;
    qint64 good = 0;
    bool found = false;
    while (!found) {
        if (failed > Max - step) return std::nullopt;
        good = failed + step;
        found = readableAfter(source, probe, good);
        if (!found) {
            if (step > Max / 2) return std::nullopt;
            step *= 2;
        }
    }
    qint64 bad = good - step / 2 > failed ? good - step / 2 : failed; // still failing
    while (good - bad > 1) {
        const qint64 mid = bad + (good - bad) / 2;
        (readableAfter(source, probe, mid) ? good : bad) = mid;
    }
    return good;
}

qint64 salvageTable(engine::Connection& source, engine::Connection& target, const QString& table,
                    qint64& lostRanges) {
    QStringList columns;
    for (const engine::ColumnInfo& c : target.columns(table))
        columns << quoted(c.name);
    QStringList marks;
    for (int i = 0; i <= columns.size(); ++i)
        marks << QStringLiteral("?%1").arg(i + 1);
    engine::Statement insert(
        target,
        QStringLiteral("INSERT OR IGNORE INTO %1 (rowid, %2) VALUES (%3)")
            .arg(quoted(table), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    const QString select = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid > ?1 ORDER BY "
                                          "rowid LIMIT %3")
                               .arg(columns.join(QLatin1Char(',')), quoted(table))
                               .arg(Batch);
    const QString probe =
        QStringLiteral("SELECT rowid FROM %1 WHERE rowid > ?1 ORDER BY rowid LIMIT 1")
            .arg(quoted(table));
    qint64 after = std::numeric_limits<qint64>::min();
    qint64 copied = 0;
    while (!copyRun(source, insert, select, after, copied)) {
        ++lostRanges;
        const std::optional<qint64> next = nextReadable(source, probe, after);
        if (!next) break;
        after = *next;
    }
    return copied;
}

// A table of the new file, as the rows of a leaf page are matched to it: by the number of
// fields, for a table whose first column is the row id, by that field being null (SQLite
// keeps the row id there), and by no NOT NULL column holding a null.
struct TargetTable {
    QString name;
    QStringList columns;
    QList<bool> notNull; // per column: declared NOT NULL, so a row with a null there is not ours
    bool rowidColumn = false;
};

QList<TargetTable> targetTables(engine::Connection& target) {
    QList<TargetTable> all;
    for (const QString& name : target.tableNames()) {
        TargetTable t{name, {}, {}, false};
        int keys = 0;
        bool integerKey = false;
        engine::Statement info(target, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(name)));
        while (info.step()) {
            t.columns << quoted(info.value(1).toString());
            t.notNull << (info.int64(3) != 0);
            if (info.int64(5) > 0) {
                ++keys;
                integerKey = info.int64(5) == 1 && info.int64(0) == 0 &&
                             info.value(2).toString().compare(QLatin1String("INTEGER"),
                                                              Qt::CaseInsensitive) == 0;
            }
        }
        t.rowidColumn = keys == 1 && integerKey;
        all << t;
    }
    return all;
}

const TargetTable* tableFor(const QList<TargetTable>& tables, const LeafRow& row) {
    const TargetTable* found = nullptr;
    for (const TargetTable& t : tables) {
        if (t.columns.size() != row.values.size() ||
            (t.rowidColumn && !row.values.first().isNull()))
            continue;
        bool fits = true;
        for (qsizetype c = t.rowidColumn ? 1 : 0; fits && c < row.values.size(); ++c)
            fits = !(t.notNull.at(c) && row.values.at(c).isNull());
        if (!fits) continue;
        if (found) return nullptr; // two tables fit: the row is not placed
        found = &t;
    }
    return found;
}

// The rows of every whole leaf page of the damaged file that SQLite's reading did not reach,
// added where no row of the same row id or key is yet.
qint64 addLeafRows(const QString& damaged, engine::Connection& target) {
    const QList<TargetTable> tables = targetTables(target);
    qint64 added = 0;
    for (const LeafRow& row : scanLeafRows(damaged)) {
        const TargetTable* table = tableFor(tables, row);
        if (!table) continue;
        QVariantList values{row.rowid};
        values << row.values;
        if (table->rowidColumn) values[1] = row.rowid;
        QStringList marks;
        for (int i = 1; i <= values.size(); ++i)
            marks << QStringLiteral("?%1").arg(i);
        engine::Statement insert(target, QStringLiteral("INSERT OR IGNORE INTO %1 (rowid, %2) "
                                                        "VALUES (%3)")
                                             .arg(quoted(table->name),
                                                  table->columns.join(QLatin1Char(',')),
                                                  marks.join(QLatin1Char(','))));
        insert.bindAll(values);
        insert.step();
        added += target.changes();
    }
    return added;
}

void checkIntegrity(engine::Connection& target) {
    engine::Statement check(target, QStringLiteral("PRAGMA integrity_check"));
    const QString result = check.step() ? check.value(0).toString() : QString();
    if (result != QLatin1String("ok"))
        throw engine::EngineError(
            engine::err::GeneralFailure,
            QStringLiteral("Die geretteten Daten sind nicht in Ordnung (%1).").arg(result));
}

} // namespace

SalvageResult salvageDatabase(const QString& damaged, const QString& target) {
    SalvageResult result;
    engine::Connection source;
    QList<SchemaEntry> tables;
    QList<SchemaEntry> indexes;
    bool schemaRead = false;
    try {
        source.openSnapshot(damaged);
        tables = schemaOf(source, QStringLiteral("table"));
        schemaRead = true;
        indexes = schemaOf(source, QStringLiteral("index"));
    } catch (const engine::EngineError& e) {
        // without its schema (a damaged first page) the program's own tables take the rows
        qCWarning(lcData) << "salvage: schema" << e.description();
    }

    engine::Connection::createDatabaseFile(target);
    try {
        engine::Connection out;
        out.open(target);
        {
            engine::Transaction transaction(out);
            if (schemaRead) {
                for (const SchemaEntry& t : tables) {
                    out.executeNative(t.sql);
                    try {
                        result.rows += salvageTable(source, out, t.name, result.lostRanges);
                    } catch (const engine::EngineError& e) {
                        // a table that cannot be read at all is lost; the others are not
                        ++result.lostRanges;
                        qCWarning(lcData) << "salvage: table" << t.name << e.description();
                    }
                }
            } else {
                ++result.lostRanges;
                for (const TableDef& t : data::tables())
                    out.execute(t.createStatement);
                for (const TableDef& t : data::staffingTables())
                    out.execute(t.createStatement);
            }
            if (result.lostRanges > 0) {
                result.pageRows = addLeafRows(damaged, out);
                result.rows += result.pageRows;
            }
            const QStringList indexStatements = [&] {
                QStringList statements;
                for (const SchemaEntry& index : indexes)
                    statements << index.sql;
                return schemaRead ? statements : schema::ExtraIndexes;
            }();
            for (const QString& index : indexStatements) {
                try {
                    out.executeNative(index);
                } catch (const engine::EngineError& e) {
                    qCWarning(lcData) << "salvage: index" << index << e.description();
                }
            }
            transaction.commit();
        }
        checkIntegrity(out);
    } catch (...) {
        QFile::remove(target);
        throw;
    }
    return result;
}

} // namespace data
