// Benchmarks on a large generated database: the engine's recordsets and the roster procedures
// next to the raw SQLite queries that fetch the same rows. Run: turnova_bench [folder]
// TURNOVA_BENCH_ONLY=blocks,import (a comma list of sections: engine, repaint, staffing, html,
// statistics, annual, print, blocks, exports, import) runs only those; unset, all of them run.

#include "bench/BenchExports.h"
#include "bench/BenchImport.h"
#include "bench/BenchPrint.h"
#include "bench/BenchReports.h"
#include "bench/BenchRoster.h"
#include "bench/BenchStaffing.h"
#include "bench/LargeDatabase.h"
#include "bench/RawSql.h"
#include "bench/Timing.h"
#include "data/DataUmgebung.h"
#include "data/DatabaseFile.h"
#include "engine/DateValue.h"
#include "engine/SqlDialect.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <sqlite3.h>
#include <sys/resource.h>

namespace {

// The same work done directly on SQLite, for comparison.
class Raw {
public:
    explicit Raw(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        engine::registerDialectFunctions(db_);
        // the program's own settings, so both sides pay the same for a write and a read
        sqlite3_exec(db_,
                     "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; "
                     "PRAGMA cache_size=-16000",
                     nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(db_, 2000);
    }
    ~Raw() { sqlite3_close(db_); }
    int run(const QString& sql, const QVariantList& values = {}) {
        return bench::runRawSql(db_, sql, values);
    }

private:
    sqlite3* db_ = nullptr;
};

// true when the section is to run: all of them unless TURNOVA_BENCH_ONLY names some.
bool wanted(const char* section) {
    const QString only = qEnvironmentVariable("TURNOVA_BENCH_ONLY");
    return only.isEmpty() ||
           only.split(QLatin1Char(','), Qt::SkipEmptyParts).contains(QLatin1String(section));
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const int child = bench::importChild(argc, argv); child >= 0) return child;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QDir::tempPath() + QStringLiteral("/turnova-bench");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/large.tnv");
    bench::ensureLargeDatabase(path);

    data::DataUmgebung env;
    env.open(path);
    Raw raw(path);
    {
        engine::Recordset count;
        count.openSql(env.Datenbank, QStringLiteral("SELECT count(*) AS n FROM Dienstzeiten"));
        std::printf("database: %s, %lld duty rows\n\n", qPrintable(path),
                    count.value(0).toLongLong());
    }
    bench::header();
    QRandomGenerator rnd(7);
    const int reps = 50;
    if (wanted("engine")) {

        // The start-up looks at the whole file once: header, quick check, a journal beside it
        bench::row(QStringLiteral("inspect the database file at start (quick_check)"),
                   bench::medianMicros([&] { data::inspectDatabaseFile(path); }, 3),
                   bench::medianMicros([&] { raw.run(QStringLiteral("PRAGMA quick_check")); }, 3));

        // Opening and re-reading the duty table
        bench::row(QStringLiteral("open rsDienstzeiten (first row)"),
                   bench::medianMicros([&] { env.execute(QStringLiteral("Dienstzeiten")); }, reps),
                   bench::medianMicros(
                       [&] {
                           raw.run(QStringLiteral(
                               "SELECT rowid, * FROM Dienstzeiten ORDER BY rowid LIMIT 1"));
                       },
                       reps));
        bench::row(QStringLiteral("requery rsDienstzeiten"),
                   bench::medianMicros([&] { env.rsDienstzeiten.requery(); }, reps),
                   bench::medianMicros(
                       [&] {
                           raw.run(QStringLiteral(
                               "SELECT rowid, * FROM Dienstzeiten ORDER BY rowid LIMIT 1"));
                       },
                       reps));
        bench::row(QStringLiteral("recordCount of rsDienstzeiten"),
                   bench::medianMicros(
                       [&] {
                           env.rsDienstzeiten.requery();
                           (void)env.rsDienstzeiten.recordCount();
                       },
                       10),
                   bench::medianMicros(
                       [&] { raw.run(QStringLiteral("SELECT count(*) FROM Dienstzeiten")); }, 10));

        // Find of a duty by its number after "move first", natural order and sorted by day
        const auto findDuty = [&](engine::Recordset& rs) {
            const int n = int(rnd.bounded(600000)) + 1;
            rs.moveFirst();
            rs.find(QStringLiteral("DienstNr = %1").arg(n));
        };
        const auto rawFind = [&] {
            raw.run(QStringLiteral("SELECT rowid, * FROM Dienstzeiten WHERE DienstNR = ?1"),
                    {int(rnd.bounded(600000)) + 1});
        };
        bench::row(QStringLiteral("moveFirst + Find \"DienstNr = n\""),
                   bench::medianMicros([&] { findDuty(env.rsDienstzeiten); }, reps),
                   bench::medianMicros(rawFind, reps));
        env.rsDienstzeiten.setSort(QStringLiteral("tag"));
        bench::row(QStringLiteral("moveFirst + Find \"DienstNr = n\", sorted by tag"),
                   bench::medianMicros([&] { findDuty(env.rsDienstzeiten); }, reps),
                   bench::medianMicros(rawFind, reps));
        env.rsDienstzeiten.setSort(QString());

        // The command Dienst for one position and one month
        const QDate month(2025, 6, 1);
        const QString dienstSql =
            engine::translateSql(env.command(QStringLiteral("Dienst")).text,
                                 env.command(QStringLiteral("Dienst")).parameters)
                .sql;
        bench::row(QStringLiteral("command Dienst, one position, one month (read all)"),
                   bench::medianMicros(
                       [&] {
                           engine::Recordset& rs =
                               env.Dienst(month, month.addMonths(1).addDays(-1),
                                          int(rnd.bounded(60)) + 1, bench::BigGroup);
                           for (rs.moveFirst(); !rs.eof(); rs.moveNext())
                               (void)rs.value(QStringLiteral("Tag"));
                       },
                       reps),
                   bench::medianMicros(
                       [&] {
                           raw.run(dienstSql, {month, month.addMonths(1).addDays(-1),
                                               int(rnd.bounded(60)) + 1, bench::BigGroup});
                       },
                       reps));

        // One update of a duty row
        env.execute(QStringLiteral("Dienstzeiten"));
        bench::row(
            QStringLiteral("Find + Update of one duty row"),
            bench::medianMicros(
                [&] {
                    findDuty(env.rsDienstzeiten);
                    env.rsDienstzeiten.setValue(QStringLiteral("Bemerkung"),
                                                QStringLiteral("b%1").arg(rnd.bounded(1000)));
                    env.rsDienstzeiten.update();
                },
                reps),
            bench::medianMicros(
                [&] {
                    const int n = int(rnd.bounded(600000)) + 1;
                    raw.run(QStringLiteral("SELECT rowid, * FROM Dienstzeiten WHERE DienstNR = ?1"),
                            {n});
                    raw.run(QStringLiteral(
                                "UPDATE Dienstzeiten SET Bemerkung = ?1 WHERE DienstNR = ?2"),
                            {QStringLiteral("r%1").arg(rnd.bounded(1000)), n});
                },
                reps));
    }

    {
        // the roster procedures work on a session of their own
        env.close();
        platform::FixedClock clock(QDate(2025, 12, 31));
        data::Session session;
        session.services.clock = &clock;
        session.env.open(path);
        if (wanted("repaint")) bench::benchGridRepaint(session, path);
        if (wanted("staffing")) bench::benchStaffing(session, path);
        if (wanted("html")) bench::benchHtml(session, path);
        if (wanted("statistics")) bench::benchStatistics(session);
        if (wanted("annual")) bench::benchAnnualTable(session, path);
        if (wanted("print")) bench::benchPrint(session, path);
        if (wanted("blocks")) bench::benchBlocks(session);
        if (wanted("exports")) bench::benchExports(session);
    }
    if (wanted("import")) bench::benchImport(folder, path);

    std::printf("\npeak memory: %ld MB\n", peakKilobytes() / 1024);
    return 0;
}
