#include "data/Salvage.h"

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
        if (damaged)
            return false;
        if (inBatch < Batch)
            return true;
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
        if (failed > Max - step)
            return std::nullopt;
        good = failed + step;
        found = readableAfter(source, probe, good);
        if (!found) {
            if (step > Max / 2)
                return std::nullopt;
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

qint64 salvageTable(engine::Connection& source, engine::Connection& target,
                    const QString& table, qint64& lostRanges) {
    QStringList columns;
    for (const engine::ColumnInfo& c : target.columns(table))
        columns << quoted(c.name);
    QStringList marks;
    for (int i = 0; i <= columns.size(); ++i)
        marks << QStringLiteral("?%1").arg(i + 1);
    engine::Statement insert(target, QStringLiteral("INSERT OR IGNORE INTO %1 (rowid, %2) VALUES (%3)")
                                         .arg(quoted(table), columns.join(QLatin1Char(',')),
                                              marks.join(QLatin1Char(','))));
    const QString select = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid > ?1 ORDER BY "
                                          "rowid LIMIT %3")
                               .arg(columns.join(QLatin1Char(',')), quoted(table))
                               .arg(Batch);
    const QString probe =
        QStringLiteral("SELECT rowid FROM %1 WHERE rowid > ?1 ORDER BY rowid LIMIT 1").arg(quoted(table));
    qint64 after = std::numeric_limits<qint64>::min();
    qint64 copied = 0;
    while (!copyRun(source, insert, select, after, copied)) {
        ++lostRanges;
        const std::optional<qint64> next = nextReadable(source, probe, after);
        if (!next)
            break;
        after = *next;
    }
    return copied;
}

void checkIntegrity(engine::Connection& target) {
    engine::Statement check(target, QStringLiteral("PRAGMA integrity_check"));
    const QString result = check.step() ? check.value(0).toString() : QString();
    if (result != QLatin1String("ok"))
        throw engine::EngineError(engine::err::GeneralFailure,
                                  QStringLiteral("Die geretteten Daten sind nicht in Ordnung (%1).")
                                      .arg(result));
}

} // namespace

SalvageResult salvageDatabase(const QString& damaged, const QString& target) {
    SalvageResult result;
    engine::Connection source;
    source.openSnapshot(damaged);
    const QList<SchemaEntry> tables = schemaOf(source, QStringLiteral("table"));
    QList<SchemaEntry> indexes;
    try {
        indexes = schemaOf(source, QStringLiteral("index"));
    } catch (const engine::EngineError&) {
    }

    engine::Connection::createDatabaseFile(target);
    try {
        engine::Connection out;
        out.open(target);
        {
            engine::Transaction transaction(out);
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
            for (const SchemaEntry& index : indexes) {
                try {
                    out.executeNative(index.sql);
                } catch (const engine::EngineError& e) {
                    qCWarning(lcData) << "salvage: index" << index.name << e.description();
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
