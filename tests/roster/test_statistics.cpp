// The monthly statistics: where a run starts and ends, targets, carry-over, vacation and sick
// days, agreement with the lookups, and what a failure leaves behind.

#include "data/ChangeHooks.h"
#include "engine/Sqlite.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/Statistics.h"
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
    Stat s;
    if (!findStatRow(env, maNr, month, year)) return s;
    const engine::Recordset& rs = env.rsStatistik;
    s.exists = true;
    s.soll = rs.value("Soll").toDouble();
    s.ist = rs.value("IstStd").toDouble();
    s.vormonat = rs.value("SumVormonat").toDouble();
    s.urlaub = rs.value("Urlaubstage").toInt();
    s.krank = rs.value("Kranktage").toInt();
    return s;
}

void setLastChange(data::DataUmgebung& env, int maNr, const QDate& day) {
    env.Datenbank.execute("UPDATE Mitarbeiter SET lastChange = [d] WHERE MaNr = [m]",
                          {engine::dateVariant(day), maNr}, {"d", "m"});
}

QVariant lastChange(data::DataUmgebung& env, int maNr) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank, "SELECT lastChange FROM Mitarbeiter WHERE MaNr = [m]", {maNr}, {"m"});
    return rs.value(0);
}

int statRows(data::DataUmgebung& env, int maNr) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank, "SELECT count(*) FROM Statistik WHERE MaNr = [m]", {maNr}, {"m"});
    return rs.value(0).toInt();
}

// An eight-hour duty.
void work(data::DataUmgebung& env, int maNr, const QDate& day) {
    addDuty(env, maNr, day, QTime(6, 0), QTime(14, 0));
}

class RecordingProgress final : public data::ProgressSink {
public:
    void status(const QString&) override {}
    void setMaximum(int maximum) override { maxima << maximum; }
    void setValue(int value) override { values << value; }
    int value() const override { return values.isEmpty() ? 0 : values.last(); }
    QList<int> maxima, values;
};

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
        work(env(), ma, QDate(2024, 3, 18));
        work(env(), ma, QDate(2024, 4, 10));
        work(env(), ma, QDate(2024, 5, 2));
        setLastChange(env(), ma, QDate(2024, 3, 15));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QVERIFY(lastChange(env(), ma).isNull());
        QCOMPARE(statRows(env(), ma), 4); // March to June
        QVERIFY(!stat(env(), ma, 7, 2024).exists);
        // March counts the work days from the 15th on: 11 of them
        QCOMPARE(stat(env(), ma, 3, 2024).soll, 88.0);
        QCOMPARE(stat(env(), ma, 3, 2024).vormonat, 0.0);
        QCOMPARE(stat(env(), ma, 4, 2024).vormonat, 8.0 - 88.0);
        QCOMPARE(stat(env(), ma, 4, 2024).soll, 22 * 8.0);
        QCOMPARE(stat(env(), ma, 6, 2024).ist, 0.0);

        // a later change in the first month leaves that month counted from the first working
        // day: the target does not depend on which day was edited
        env().Datenbank.execute("UPDATE Statistik SET Soll = 1");
        setLastChange(env(), ma, QDate(2024, 3, 20));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 3, 2024).soll, 88.0);
        QCOMPARE(stat(env(), ma, 3, 2024).ist, 8.0);
        QCOMPARE(stat(env(), ma, 3, 2024).vormonat, 0.0);
    }

    void runStartsWithTheMonthOfTheDayBeforeTheChange() {
        const int ma = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        for (int month = 3; month <= 6; ++month)
            work(env(), ma, QDate(2024, month, 12));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 7, 2024).exists, true);

        const auto spoil = [this] { env().Datenbank.execute("UPDATE Statistik SET IstStd = 99"); };
        spoil();
        setLastChange(env(), ma, QDate(2024, 5, 10));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 4, 2024).ist, 99.0);
        QCOMPARE(stat(env(), ma, 5, 2024).ist, 8.0);
        QCOMPARE(stat(env(), ma, 7, 2024).ist, 0.0);

        // a change on the 1st recomputes the previous month as well
        spoil();
        setLastChange(env(), ma, QDate(2024, 5, 1));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 3, 2024).ist, 99.0);
        QCOMPARE(stat(env(), ma, 4, 2024).ist, 8.0);
        QCOMPARE(stat(env(), ma, 5, 2024).ist, 8.0);
    }

    void targets() {
        const int daily = addEmployee(env(), "Anna", QDate(2024, 1, 1), 8.0, 0.0);
        const int flat = addEmployee(env(), "Bert", QDate(2024, 1, 1), 8.0, 150.0);
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), daily, 3, 2024).soll, 168.0); // 21 work days in March 2024
        QCOMPARE(stat(env(), flat, 3, 2024).soll, 150.0);

        // a target entered by hand for the employee with a flat target stays
        QVERIFY(findStatRow(env(), flat, 3, 2024));
        env().rsStatistik.setValue("Soll", 140.0);
        env().rsStatistik.update();
        QVERIFY(!lastChange(env(), flat).isNull()); // the hook asks for a new run
        work(env(), flat, QDate(2024, 3, 4));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), flat, 3, 2024).soll, 140.0);
        QCOMPARE(stat(env(), flat, 3, 2024).ist, 8.0);
        QCOMPARE(stat(env(), flat, 4, 2024).vormonat,
                 8.0 - 140.0 + stat(env(), flat, 3, 2024).vormonat);

        // the month row update used by the target-hours window
        monthRowUpdate(env(), flat, 150.0, 8.0, 9, 2024, 21);
        QVERIFY(env().rsStatistik.isEditing());
        QCOMPARE(env().rsStatistik.value("Soll").toDouble(), 150.0);
        env().rsStatistik.update();
        monthRowUpdate(env(), daily, 0.0, 8.0, 3, 2024, 20);
        QCOMPARE(env().rsStatistik.value("Soll").toDouble(), 160.0);
        env().rsStatistik.cancelUpdate();
    }

    void carryOver() {
        const int ma = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        engine::Recordset& rs = env().rsStatistik;
        rs.addNew();
        rs.setValue("MaNr", ma);
        rs.setValue("Jahr", 2024);
        rs.setValue("Monat", 2);
        rs.setValue("SumVormonat", 5.0);
        rs.setValue("IstStd", 170.0);
        rs.setValue("Soll", 168.0);
        rs.update();
        setLastChange(env(), ma, QDate(2024, 3, 2));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 3, 2024).vormonat, 7.0);
        QCOMPARE(stat(env(), ma, 2, 2024).ist, 170.0);
    }

    void vacationAndSickDays() {
        const int ma = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        addLabel(env(), ma, QDate(2024, 3, 4), "Urlaub", 8.0);
        addLabel(env(), ma, QDate(2024, 3, 5), "Urlaub", 8.0);
        addLabel(env(), ma, QDate(2024, 3, 6), "urlaub halbtags", 4.0);
        addLabel(env(), ma, QDate(2024, 3, 7), "krank", 8.0);
        addLabel(env(), ma, QDate(2024, 3, 8), "frei");
        QCOMPARE(run(), StatisticsOutcome::Ok);
        const Stat march = stat(env(), ma, 3, 2024);
        QCOMPARE(march.urlaub, 3);
        QCOMPARE(march.krank, 1);
        QCOMPARE(march.ist, 28.0);
    }

    void withoutDutiesUpToTheMonthAfterToday() {
        const int ma = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(statRows(env(), ma), 4);
        QVERIFY(stat(env(), ma, 4, 2024).exists);
        QCOMPARE(stat(env(), ma, 4, 2024).vormonat, -(23 + 21 + 21) * 8.0);
    }

    void deletedLastDutyLeavesNoStaleMonth() {
        const int ma = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        work(env(), ma, QDate(2024, 3, 4));
        work(env(), ma, QDate(2024, 5, 6));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 5, 2024).ist, 8.0);
        QVERIFY(findDutyOfEmployee(env(), QDate(2024, 5, 6), ma));
        env().rsDienstzeiten.deleteCurrent();
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), ma, 5, 2024).ist, 0.0);
        const Stat may = stat(env(), ma, 5, 2024);
        QCOMPARE(stat(env(), ma, 6, 2024).vormonat, may.vormonat - may.soll);
    }

    // The month figures agree exactly with the lookups over the same month.
    void figuresAgreeWithTheLookups() {
        addHoliday(env(), QDate(2024, 4, 1));
        addHoliday(env(), QDate(2024, 5, 1));
        const int a = addEmployee(env(), "Anna", QDate(2024, 2, 14), 7.7);
        const int b = addEmployee(env(), "Bert", QDate(2023, 11, 1), 6.5, 120.0);
        const QList<QTime> starts = {QTime(6, 0), QTime(13, 45), QTime(21, 50), QTime(7, 10)};
        const QList<QTime> ends = {QTime(14, 20), QTime(22, 5), QTime(6, 15), QTime(7, 10)};
        engine::Transaction writing(env().Datenbank);
        int i = 0;
        for (QDate d(2024, 1, 1); d <= QDate(2024, 6, 30); d = d.addDays(1), ++i) {
            const int ma = i % 3 ? a : b;
            if (i % 7 == 0)
                addLabel(env(), ma, d, i % 2 ? "Urlaub" : "Krank", 7.7);
            else if (i % 11 == 0)
                addLabel(env(), ma, d, "", 3.3);
            else
                addDuty(env(), ma, d, starts[i % 4], ends[i % 4], 0.25 * (i % 3), "D",
                        0.1 * (i % 5));
        }
        writing.commit();
        QCOMPARE(run(), StatisticsOutcome::Ok);
        for (const int ma : {a, b}) {
            double carry = 0.0;
            const QDate firstDay = ma == a ? QDate(2024, 2, 14) : QDate(2023, 11, 1);
            for (QDate d(firstDay.year(), firstDay.month(), 1); d <= QDate(2024, 7, 1);
                 d = d.addMonths(1)) {
                const QDate first = std::max(d, firstDay);
                const QDate last = lastDayOfMonth(d);
                const Stat s = stat(env(), ma, d.month(), d.year());
                QVERIFY(s.exists);
                // exactly, not only within rounding
                const double hours = sumHours(env(), ma, first, last);
                QVERIFY2(s.ist == hours, qPrintable(QString::number(s.ist - hours)));
                QCOMPARE(s.urlaub, countDutiesLike(env(), ma, first, last, "Urlaub"));
                QCOMPARE(s.krank, countDutiesLike(env(), ma, first, last, "Krank"));
                QCOMPARE(s.soll, ma == a ? workDays(env(), first, last) * 7.7 : 120.0);
                QVERIFY(s.vormonat == carry);
                carry = s.vormonat + (s.ist - s.soll);
            }
        }
    }

    void failureLeavesTheEmployeeAsHeWas() {
        const int a = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        const int b = addEmployee(env(), "Bert", QDate(2024, 1, 1));
        const int c = addEmployee(env(), "Carla", QDate(2024, 1, 1));
        for (const int ma : {a, b, c})
            work(env(), ma, QDate(2024, 2, 5));
        QCOMPARE(run(), StatisticsOutcome::Ok);
        const Stat bertFeb = stat(env(), b, 2, 2024);

        // Bert worked more in February, but writing his March row fails
        work(env(), b, QDate(2024, 2, 6));
        for (const int ma : {a, b, c})
            setLastChange(env(), ma, QDate(2024, 1, 1));
        env().Datenbank.executeNative(
            QString("CREATE TRIGGER fail BEFORE UPDATE ON Statistik WHEN NEW.MaNr = %1 AND "
                    "NEW.Monat = 3 BEGIN SELECT RAISE(ABORT, 'Platte voll'); END")
                .arg(b));
        QCOMPARE(run(), StatisticsOutcome::Failed);
        QCOMPARE(t->prompts.shown.size(), 1);
        QVERIFY(t->prompts.lastMessage().text.endsWith("Modul : berStatistik22"));
        QVERIFY(lastChange(env(), a).isNull());
        QCOMPARE(engine::toDate(lastChange(env(), b)), QDate(2024, 1, 1));
        QCOMPARE(engine::toDate(lastChange(env(), c)), QDate(2024, 1, 1));
        QCOMPARE(stat(env(), b, 2, 2024).ist, bertFeb.ist); // February was rolled back

        env().Datenbank.executeNative("DROP TRIGGER fail");
        QCOMPARE(run(), StatisticsOutcome::Ok);
        QCOMPARE(stat(env(), b, 2, 2024).ist, 16.0);
        QCOMPARE(stat(env(), b, 3, 2024).vormonat, bertFeb.vormonat + 16.0 - bertFeb.soll);
        QVERIFY(lastChange(env(), c).isNull());
    }

    void missingFieldEndsTheProgram() {
        addEmployee(env(), "Anna", QDate(2024, 1, 1));
        env().Datenbank.execute("ALTER TABLE Mitarbeiter DROP COLUMN lastChange");
        QCOMPARE(run(), StatisticsOutcome::Fatal);
        QVERIFY(t->prompts.lastMessage().text.contains("Nummer : 3265"));
        QVERIFY(t->prompts.lastMessage().text.endsWith("Modul : berStatistik21"));
    }

    void progressPerEmployee() {
        for (const char* name : {"Anna", "Bert", "Carla"})
            addEmployee(env(), name, QDate(2024, 1, 1));
        RecordingProgress progress;
        t->session.progress = &progress;
        QCOMPARE(run(), StatisticsOutcome::Ok);
        t->session.progress = &t->session.noProgress;
        QCOMPARE(progress.maxima, QList<int>{3});
        QCOMPARE(progress.values, (QList<int>{1, 2, 3, 0}));
    }
};

QTEST_MAIN(TestStatistics)
#include "test_statistics.moc"
