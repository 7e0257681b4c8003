// The month roster of the 60-member group painted from the large database, next to the raw
// queries that fetch its data.

#include "bench/BenchRoster.h"

#include "bench/Checksum.h"

#include "bench/LargeDatabase.h"
#include "bench/RawSql.h"
#include "bench/Timing.h"
#include "data/ChangeHooks.h"
#include "engine/DateValue.h"
#include "engine/SqlDialect.h"
#include "engine/Sqlite.h"
#include "roster/GridPainter.h"
#include "roster/Lookups.h"
#include "roster/MemoryGrid.h"
#include "roster/Statistics.h"
#include "roster/WorkingTimeCheck.h"
#include "shell/FlexGrid.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace bench {

void benchGridRepaint(data::Session& session, const QString& path) {
    data::DataUmgebung& env = session.env;
    for (const char* t : {"Mitarbeiter", "Dienstzeiten", "Feiertage", "Statistik", "Gruppen",
                          "GpZuordnung", "Einstellungen", "Standarddienste"})
        env.execute(QLatin1String(t));
    env.rsDienstzeiten.setSort(QStringLiteral("tag"));
    roster::MonthState month;
    month.firstDay = QDate(2025, 6, 1);
    month.groupNumber = BigGroup;
    roster::changedate(month);

    roster::MemoryGrid memory;
    roster::GridPainter onMemory(session, month, memory);
    FlexGrid widget;
    widget.resize(1200, 800);
    roster::GridPainter onWidget(session, month, widget);

    // the raw queries the repaint needs: members, month sums, per member statistics row and duties
    sqlite3* raw = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    engine::registerDialectFunctions(raw);
    const QString members = commandSql(env, "MaNachGrp");
    const QString sums = commandSql(env, "StundSum");
    const QString duties = commandSql(env, "Dienst");
    const double first = engine::dayNumber(month.firstDay);
    const double last = engine::dayNumber(month.lastDay);
    const auto rawRepaint = [&] {
        runRawSql(raw, members, {BigGroup});
        runRawSql(raw, sums, {first, last});
        for (int pos = 1; pos <= GroupMembers; ++pos) {
            runRawSql(raw,
                      QStringLiteral("SELECT statnr FROM statistik WHERE (statistik.MaNr = ?1) AND "
                                     "(statistik.jahr = 2025) AND (statistik.monat = 6)"),
                      {pos});
            runRawSql(raw, duties, {first, last, pos, BigGroup});
        }
    };
    const double rawMicros = medianMicros(rawRepaint, 20);
    row(QStringLiteral("gridrepaint, 60 members, one month (in memory)"),
        medianMicros([&] { onMemory.gridrepaint(); }, 20), rawMicros);
    row(QStringLiteral("gridrepaint, 60 members, one month (grid widget)"),
        medianMicros([&] { onWidget.gridrepaint(); }, 20), rawMicros);
    // the working-time check of the month with every rule, the 24-week average included (goal:
    // under 20 ms), and the repaint with its marks (goal: under 50 ms)
    const data::WorkingTimeRules rules;
    // (the month's holidays reach eight weeks around it, the average's first weeks are summed)
    const double windowStart = engine::dayNumber(month.firstDay.addDays(-roster::HolidayReachDays));
    const double yearStart = engine::dayNumber(QDate(month.year, 1, 1).addDays(-1));
    const double readTo = engine::dayNumber(month.lastDay.addDays(roster::HolidayReachDays));
    const double averageFrom = engine::dayNumber(month.lastDay.addDays(-(24 * 7 - 1)));
    const auto rawCheck = [&] {
        runRawSql(raw,
                  QStringLiteral("SELECT GpZuordnung.MaNr, DienstPos, PlanName FROM GpZuordnung "
                                 "INNER JOIN Mitarbeiter ON GpZuordnung.MaNr = Mitarbeiter.MaNr "
                                 "WHERE GruppenNr = ?1 AND DienstPos > 0"),
                  {BigGroup});
        for (int maNr = 1; maNr <= GroupMembers; ++maNr)
            runRawSql(raw,
                      QStringLiteral("SELECT Tag, Anfang, Ende, Pause, Normstunden, Kurzinfo FROM "
                                     "Dienstzeiten WHERE MaNr = ?1 AND Tag >= ?2 AND Tag <= ?3 AND "
                                     "(Tag >= ?4 OR CAST(Tag AS INTEGER) % 7 IN (0, 1)) ORDER BY "
                                     "Tag"),
                      {maNr, qMin(windowStart, yearStart), readTo, windowStart});
        for (int maNr = 1; maNr <= GroupMembers; ++maNr)
            runRawSql(raw,
                      QStringLiteral("SELECT Kurzinfo, Anfang IS NOT NULL AND Ende IS NOT NULL AS "
                                     "t, SUM(round((Ende - Anfang) * 1440 - Pause * 60)), "
                                     "SUM(round(Normstunden * 60)), SUM(CAST(Tag AS INTEGER) % 7 "
                                     "<> 1) FROM Dienstzeiten WHERE MaNr = ?1 AND Tag >= ?2 AND "
                                     "Tag < ?3 GROUP BY Kurzinfo, t"),
                      {maNr, averageFrom, windowStart});
    };
    row(QStringLiteral("working-time check, 60 members, one month"),
        medianMicros(
            [&] { roster::checkGroupMonth(env, BigGroup, month.firstDay, month.lastDay, rules); },
            20),
        medianMicros(rawCheck, 20));
    onWidget.showMarks = true;
    row(QStringLiteral("gridrepaint with working-time marks (grid widget)"),
        medianMicros([&] { onWidget.gridrepaint(); }, 20), rawMicros);
    sqlite3_close(raw);
}

} // namespace bench

namespace bench {

namespace {

// Every figure of the statistics table, to the last bit, as a checksum and a row count.
QString statisticsSnapshot(data::DataUmgebung& env) {
    return rowsChecksum(env.Datenbank,
                        {QStringLiteral("SELECT MaNr, Jahr, Monat, Soll, IstStd, SumVormonat, "
                                        "Urlaubstage, Kranktage FROM Statistik "
                                        "ORDER BY MaNr, Jahr, Monat")});
}

} // namespace

void benchStatistics(data::Session& session) {
    data::DataUmgebung& env = session.env;
    data::attachChangeHooks(session);
    for (const char* t : {"Mitarbeiter", "Dienstzeiten", "Feiertage", "Statistik"})
        env.execute(QLatin1String(t));
    const auto run = [&session](const QString& name, double raw) {
        QElapsedTimer timer;
        timer.start();
        const roster::StatisticsOutcome outcome = roster::berStatistik2(session);
        const double micros = timer.nsecsElapsed() / 1000.0;
        row(name + (outcome == roster::StatisticsOutcome::Ok ? QString()
                                                             : QStringLiteral(" (failed)")),
            micros, raw);
    };
    // The raw side: the duties with the terms the run sums and counts (hours by the same
    // expression, the two labels), read straight from SQLite; of every employee for the full
    // runs, of one employee's last two months for the run after one change.
    const QString dutyTerms =
        engine::translateSql(
            QStringLiteral("SELECT MaNr, Tag, ") + roster::TimedHoursSql +
                QStringLiteral(" AS Summe, Normstunden, (Kurzinfo Like '%Urlaub%') AS Urlaub, "
                               "(Kurzinfo Like '%Krank%') AS Krank FROM Dienstzeiten"),
            {})
            .sql;
    sqlite3* db = env.Datenbank.handle();
    const double rawAll = medianMicros([&] { runRawSql(db, dutyTerms); }, 3);
    // The figures must stay bit for bit: the table as the file holds it (written by the runs of
    // earlier versions) against the table after the runs of this one.
    const QString before = statisticsSnapshot(env);
    // every employee recomputed from the first working day
    env.Datenbank.execute(QStringLiteral("UPDATE Mitarbeiter SET lastChange = ersterArbeitstag"));
    run(QStringLiteral("berStatistik2, all 200 employees from their first day"), rawAll);
    env.Datenbank.execute(QStringLiteral("UPDATE Mitarbeiter SET lastChange = ersterArbeitstag"));
    run(QStringLiteral("berStatistik2 again, statistics rows present"), rawAll);
    const QString after = statisticsSnapshot(env);
    std::printf("    statistics table before the runs: %s\n    statistics table after the runs:  "
                "%s (%s)\n",
                qPrintable(before), qPrintable(after), before == after ? "identical" : "DIFFERENT");
    // one duty of the current month changed through the duty recordset (the hook marks it);
    // found again before each change, as the run re-reads the recordset and leaves it on its
    // first row
    const QDate day = lastDutyDay().addDays(-3);
    const QString dutyOfDay =
        QStringLiteral("Tag = #%1/%2/%3#").arg(day.month()).arg(day.day()).arg(day.year());
    // the median of seven changes, the break switched between two values (the last one 0.25)
    std::vector<double> saves, runs;
    for (int i = 0; i < 7; ++i) {
        env.rsDienstzeiten.requery();
        env.rsDienstzeiten.moveFirst();
        env.rsDienstzeiten.find(dutyOfDay);
        QElapsedTimer timer;
        timer.start();
        env.rsDienstzeiten.setValue(QStringLiteral("Pause"), i % 2 == 0 ? 0.25 : 0.5);
        env.rsDienstzeiten.update();
        saves.push_back(timer.nsecsElapsed() / 1000.0);
        timer.restart();
        roster::berStatistik2(session);
        runs.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(saves.begin(), saves.end());
    std::sort(runs.begin(), runs.end());
    row(QStringLiteral("saving one changed duty (with its change hook)"), saves[3], 0);
    const QVariant maNr = env.rsDienstzeiten.value(QStringLiteral("MaNr"));
    const double rawOne = medianMicros(
        [&] {
            runRawSql(db,
                      dutyTerms + QStringLiteral(
                                      " WHERE MaNr = ?1 AND Tag >= ?2 AND Tag <= ?3 ORDER BY Tag"),
                      {maNr, QDate(day.year(), day.month(), 1).addMonths(-1), lastDutyDay()});
        },
        7);
    row(QStringLiteral("berStatistik2 after one changed duty this month"), runs[3], rawOne);
    run(QStringLiteral("berStatistik2 with nothing changed"), 0);
}

} // namespace bench
