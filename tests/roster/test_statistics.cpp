// The monthly statistics: where a run starts and ends, targets, carry-over, vacation and sick
// days, agreement with the lookups, and what a failure leaves behind.

#include "data/ChangeHooks.h"
#include "engine/Sqlite.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/Query.h"
#include "roster/Statistics.h"
#include "roster/StatisticsDuties.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QTest>

using namespace roster;
using namespace testing;

namespace {

struct Stat {
    bool exists = false;
    double soll = 0, ist = 0, vormonat = 0;
    int urlaub = 0, krank = 0;
};

Stat stat(data::DataUmgebung& env, int maNr, int month, int year) {
    if (!findStatRow(env, maNr, month, year)) return {};
    const engine::Recordset& rs = env.rsStatistik;
    return {true,
            rs.value("Soll").toDouble(),
            rs.value("IstStd").toDouble(),
            rs.value("SumVormonat").toDouble(),
            rs.value("Urlaubstage").toInt(),
            rs.value("Kranktage").toInt()};
}

} // namespace

class TestStatistics : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestSession> t;
    data::DataUmgebung& env() { return t->env(); }
    StatisticsOutcome run() { return berStatistik2(t->session); }

private slots:
    void init() {
        t = std::make_unique<TestSession>(QDate(2024, 3, 15));
        t->createDatabase();
        // as in the program: a new employee's first working day sets his lastChange
        data::attachChangeHooks(t->session);
    }
    void cleanup() { t.reset(); }

    void firstWorkingDayInMidMonth() {
        const int ma = addEmployee(env(), "Anna", QDate(2024, 3, 15));
        for (const QDate& d : {QDate(2024, 3, 18), QDate(2024, 4, 10), QDate(2024, 5, 2)})
            addDuty(env(), ma, d);
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QVERIFY(lastChange(env(), ma).isNull());
        QVERIFY(stat(env(), ma, 6, 2024).exists && !stat(env(), ma, 7, 2024).exists);
        QCOMPARE(stat(env(), ma, 3, 2024).soll, 11 * 8.0); // work days from the 15th
        QCOMPARE(stat(env(), ma, 4, 2024).vormonat, 8.0 - 88.0);
        // a change later in that month leaves its target counted from the first working day
        env().Datenbank.execute("UPDATE Statistik SET Soll = 1");
        setLastChange(env(), ma, QDate(2024, 3, 20));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 3, 2024).soll, 88.0);
        QCOMPARE(stat(env(), ma, 3, 2024).vormonat, 0.0);
    }

    void runStartsWithTheMonthOfTheDayBeforeTheChange() {
        const int ma = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        for (int month = 3; month <= 5; ++month)
            addDuty(env(), ma, QDate(2024, month, 12));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        env().Datenbank.execute("UPDATE Statistik SET IstStd = 99");
        setLastChange(env(), ma, QDate(2024, 5, 1));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 3, 2024).ist, 99.0);
        QCOMPARE(stat(env(), ma, 4, 2024).ist, 8.0);
        QCOMPARE(stat(env(), ma, 6, 2024).ist, 0.0);
    }

    void targetsAndCarry() {
        const int daily = addEmployee(env(), "Anna", QDate(2024, 1, 1), 8.0, 0.0);
        const int flat = addEmployee(env(), "Bert", QDate(2024, 1, 1), 8.0, 150.0);
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), daily, 3, 2024).soll, 168.0); // 21 work days
        QCOMPARE(stat(env(), flat, 3, 2024).soll, 150.0);
        // a target entered by hand for an employee with a flat target stays
        QVERIFY(findStatRow(env(), flat, 2, 2024));
        env().rsStatistik.setValue("Soll", 140.0);
        env().rsStatistik.setValue("SumVormonat", 5.0);
        env().rsStatistik.setValue("IstStd", 170.0); // recomputed: 0
        env().rsStatistik.update();                  // the hook asks for a run from January
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), flat, 2, 2024).soll, 140.0);
        QCOMPARE(stat(env(), flat, 3, 2024).vormonat, -150.0 - 140.0);
        // the carry from a month before the start: 5 + 170 - 168 = 7
        env().Datenbank.execute("UPDATE Statistik SET SumVormonat = 5, IstStd = 170, Soll = 168");
        setLastChange(env(), daily, QDate(2024, 3, 2));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), daily, 3, 2024).vormonat, 7.0);
    }

    void vacationSickAndNoDuties() {
        const int ma = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        const int idle = addEmployee(env(), "Bert", QDate(2024, 1, 1));
        QDate d(2024, 3, 4);
        for (const char* label : {"Urlaub", "Urlaub", "urlaub halbtags", "krank", "frei"}) {
            addLabel(env(), ma, d, label, 4.0);
            d = d.addDays(1);
        }
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 3, 2024).urlaub, 3);
        QCOMPARE(stat(env(), ma, 3, 2024).krank, 1);
        // without duties: rows up to the month after today's
        QVERIFY(stat(env(), idle, 4, 2024).exists && !stat(env(), idle, 5, 2024).exists);
        QCOMPARE(stat(env(), idle, 4, 2024).vormonat, -(23 + 21 + 21) * 8.0);
    }

    void deletedLastDutyLeavesNoStaleMonth() {
        const int ma = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        addDuty(env(), ma, QDate(2024, 3, 4));
        addDuty(env(), ma, QDate(2024, 5, 6));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QVERIFY(findDutyOfEmployee(env(), QDate(2024, 5, 6), ma));
        env().rsDienstzeiten.deleteCurrent();
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 5, 2024).ist, 0.0);
    }

    // Every figure equals, to the last bit, what the lookups give for the month.
    void figuresAgreeWithTheLookups() {
        for (const QDate& d : {QDate(2024, 4, 1), QDate(2024, 5, 1)})
            addRow(env().rsFeiertage, {{"Tag", engine::dateVariant(d)}});
        const int a = addEmployee(env(), "Anna", QDate(2024, 2, 14), 7.7);
        const int b = addEmployee(env(), "Bert", QDate(2023, 11, 1), 6.5, 120.0);
        const QTime starts[] = {QTime(6, 0), QTime(13, 45), QTime(21, 50), QTime(7, 10)};
        const QTime ends[] = {QTime(14, 20), QTime(22, 5), QTime(6, 15), QTime(7, 10)};
        engine::Transaction writing(env().Datenbank);
        int i = 0;
        for (QDate d(2024, 1, 1); d <= QDate(2024, 6, 30); d = d.addDays(1), ++i) {
            const int ma = i % 3 ? a : b;
            if (i % 7 == 0)
                addLabel(env(), ma, d, i % 2 ? "Urlaub" : "Krank", 7.7);
            else
                addDuty(env(), ma, d, starts[i % 4], ends[i % 4], 0.25 * (i % 3), "D",
                        0.1 * (i % 5));
        }
        writing.commit();
        QCOMPARE(run(), StatisticsOutcome::Ok);
        for (const auto& [ma, firstDay] :
             {std::pair{a, QDate(2024, 2, 14)}, std::pair{b, QDate(2023, 11, 1)}}) {
            double carry = 0.0;
            for (QDate d(firstDay.year(), firstDay.month(), 1); d <= QDate(2024, 7, 1);
                 d = d.addMonths(1)) {
                // hours count from the month's first day, the target from the first working day
                const QDate first = std::max(d, firstDay), last = lastDayOfMonth(d);
                const Stat s = stat(env(), ma, d.month(), d.year());
                QVERIFY(s.ist == sumHours(env(), ma, d, last) && s.vormonat == carry);
                QCOMPARE(s.urlaub, countDutiesLike(env(), ma, d, last, "Urlaub"));
                QCOMPARE(s.krank, countDutiesLike(env(), ma, d, last, "Krank"));
                QCOMPARE(s.soll, ma == a ? workDays(env(), first, last) * 7.7 : 120.0);
                carry = s.vormonat + (s.ist - s.soll);
            }
        }
    }

    // A run over much of the table reads it in one pass, a small one each employee's duties
    // through the index: both give the same figures, to the last bit, for awkward duties.
    void bothDutyReadsGiveTheSameFigures() {
        const int a = addEmployee(env(), "Anna", QDate(2023, 12, 4), 7.7);
        const int b = addEmployee(env(), "Bert", QDate(2024, 1, 1), 6.5);
        const auto day = [](int m, int d) { return engine::dayNumber(QDate(2024, m, d)); };
        // inserted out of the order of the days; times with seconds, past midnight, 24 hours
        // (end equal to start, a day later), one time or both missing, pauses, flat hours, labels
        // in any case and with umlauts, a day stored as text and an employee number with a
        // fraction (neither belongs to any range)
        const QString rows[] = {
            QString("%1, %2, %3, %4, 0.25, 0, 'Frühdienst'")
                .arg(a)
                .arg(day(2, 3))
                .arg(day(2, 3) + 0.25 + 7.0 / 86400)
                .arg(day(2, 3) + 0.6),
            QString("%1, %2, %3, %4, 0.5, 1.5, 'NACHT'")
                .arg(a)
                .arg(day(1, 31))
                .arg(day(1, 31) + 0.9)
                .arg(day(2, 1) + 0.27),
            QString("%1, %2, %3, %4, 0, 0, 'D24'")
                .arg(a)
                .arg(day(1, 2))
                .arg(day(1, 2) + 0.3)
                .arg(day(1, 3) + 0.3),
            QString("%1, %2, %3, NULL, 0.75, 7.7, 'urlaub'")
                .arg(a)
                .arg(day(3, 1))
                .arg(day(3, 1) + 0.3),
            QString("%1, %2, NULL, NULL, 0, 7.7, 'Krankheit'").arg(a).arg(day(2, 29)),
            QString("%1, %2, %3, %4, 0.1, 0, 'Spät'")
                .arg(b)
                .arg(day(1, 15))
                .arg(day(1, 15) + 0.55)
                .arg(day(1, 15) + 0.9 + 59.0 / 86400),
            QString("%1, %2, NULL, NULL, 0, 6.5, 'URLAUB'").arg(b).arg(day(1, 8)),
            QString("%1, 'morgen', NULL, NULL, 0, 99, 'x'").arg(b),
            QString("%1, %2, NULL, NULL, 0, 99, 'x'").arg(b - 0.25).arg(day(1, 9)),
        };
        for (const QString& values : rows)
            env().Datenbank.executeNative(
                "INSERT INTO Dienstzeiten (MaNr, Tag, Anfang, Ende, Pause, Normstunden, Kurzinfo) "
                "VALUES (" +
                values + ")");
        const auto figures = [this] {
            QStringList all;
            engine::Statement st(
                env().Datenbank,
                "SELECT MaNr, Jahr, Monat, Soll, IstStd, SumVormonat, "
                "Urlaubstage, Kranktage FROM Statistik ORDER BY MaNr, Jahr, Monat");
            while (st.step())
                for (int c = 0; c < 8; ++c)
                    all << QString::number(st.number(c), 'g', 17);
            return all;
        };
        const auto recompute = [&] {
            env().Datenbank.executeNative("DELETE FROM Statistik");
            for (const int ma : {a, b})
                setLastChange(env(), ma, QDate(2023, 12, 4));
            QCOMPARE(run(), StatisticsOutcome::Ok);
        };
        recompute(); // the whole table, its few rows
        const QStringList once = figures();
        QCOMPARE(once.size(), 8 * (5 + 4)); // December (January) to April
        // a duty numbered far beyond the others makes the table look large: each employee's own
        env().Datenbank.executeNative(
            "INSERT INTO Dienstzeiten (DienstNR, MaNr, Tag) VALUES (1000000000, 999, 1)");
        recompute();
        QCOMPARE(figures(), once);
        QCOMPARE(stat(env(), a, 2, 2024).urlaub, 0);
        QCOMPARE(stat(env(), a, 2, 2024).krank, 1);
        QCOMPARE(stat(env(), b, 1, 2024).urlaub, 1);
    }

    // The hours worked out in C++ for a run over the whole table are the doubles the database
    // gives by TimedHoursSql, or none where it must work them out itself.
    void timedHoursAsTheDatabaseGivesThem() {
        const Query query("SELECT " + TimedHoursSql +
                              " FROM (SELECT [a] AS Anfang, [e] AS Ende, [p] AS Pause)",
                          {"a", "e", "p"});
        const double d = engine::dayNumber(QDate(2024, 3, 4));
        const double second = 1.0 / 86400;
        const QVariant none;
        const QVariantList starts = {d + 0.25,      d + 22.0 / 24, d + 0.3 + 7 * second,
                                     qint64(45355), d + 0.5,       none};
        QVariantList spans = {0.0,
                              1.0,
                              0.3,
                              8.0 / 24,
                              1 - 0.5 * second,
                              1 + 0.49999 * second,
                              1 - 0.50001 * second,
                              2.0,
                              -0.25 - 13 * second,
                              1e-9,
                              41.0 / 1440,
                              qint64(1),
                              2958467.0,
                              none};
        for (int minute = 0; minute < 60; ++minute) // every minute, some hours, odd seconds
            spans << minute / 1440.0 + (minute % 7) * second
                  << (minute % 24) / 24.0 + minute / 1440.0 + (minute % 7) * second;
        const QVariantList pauses = {0.0, 0.25, qint64(1), -0.75, 1.0 / 3, none};
        int compared = 0;
        for (const QVariant& start : starts)
            for (const QVariant& span : spans)
                for (const QVariant& pause : pauses) {
                    QVariant end;
                    if (!start.isNull() && !span.isNull())
                        end = start.typeId() == QMetaType::LongLong &&
                                      span.typeId() == QMetaType::LongLong
                                  ? QVariant(start.toLongLong() + span.toLongLong())
                                  : QVariant(start.toDouble() + span.toDouble());
                    const auto number = [](const QVariant& v) {
                        return v.isNull() ? std::nullopt : std::optional(v.toDouble());
                    };
                    const auto mine = timedHours(number(start), number(end), number(pause));
                    try {
                        QueryRun run(env().Datenbank, query, {start, end, pause});
                        run.next();
                        QVERIFY(mine.has_value());
                        QCOMPARE(mine->has_value(), !run.isNull(0));
                        if (mine->has_value()) // to the last bit
                            QCOMPARE(QString::number(**mine, 'g', 17),
                                     QString::number(run.number(0), 'g', 17));
                        ++compared;
                    } catch (const engine::EngineError&) {
                        QVERIFY(!mine); // an overflow: the database reports it
                    }
                }
        QVERIFY(compared > 400);
    }

    void failureLeavesTheEmployeeAsHeWas() {
        const int a = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        const int b = addEmployee(env(), "Bert", QDate(2024, 1, 1));
        const int c = addEmployee(env(), "Carla", QDate(2024, 1, 1));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        // Bert worked in February, but writing his March row fails
        addDuty(env(), b, QDate(2024, 2, 6));
        for (const int ma : {a, b, c})
            setLastChange(env(), ma, QDate(2024, 1, 1));
        env().Datenbank.executeNative(
            QString("CREATE TRIGGER fail BEFORE UPDATE ON Statistik WHEN NEW.MaNr = %1 AND "
                    "NEW.Monat = 3 BEGIN SELECT RAISE(ABORT, 'Platte voll'); END")
                .arg(b));
        QCOMPARE(run(), StatisticsOutcome::Failed);
        QVERIFY(t->prompts.lastMessage().text.endsWith("Modul : berStatistik22"));
        QVERIFY(lastChange(env(), a).isNull());
        QCOMPARE(lastChange(env(), b), QDate(2024, 1, 1));
        QCOMPARE(lastChange(env(), c), QDate(2024, 1, 1));
        QCOMPARE(stat(env(), b, 2, 2024).ist, 0.0); // February rolled back
        env().Datenbank.executeNative("DROP TRIGGER fail");
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), b, 3, 2024).vormonat, 8.0 - 21 * 8.0 - 23 * 8.0);
        // a missing field means the database is not what the program needs
        env().Datenbank.execute("ALTER TABLE Mitarbeiter DROP COLUMN lastChange");
        QCOMPARE(run(), StatisticsOutcome::Fatal);
        QVERIFY(t->prompts.lastMessage().text.contains("Nummer : 3265"));
    }
};

QTEST_MAIN(TestStatistics)
#include "test_statistics.moc"
