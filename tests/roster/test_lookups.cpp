// The finders position the shared recordsets on the rows they find and leave them alone when
// nothing is found; the aggregates count and sum as the roster needs.

#include "roster/Lookups.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QTest>

using namespace roster;
using namespace testing;

class TestLookups : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestSession> t;
    int anna = 0, bert = 0;
    const int group = 1;

private slots:
    void init() {
        t = std::make_unique<TestSession>(QDate(2024, 3, 15));
        t->createDatabase();
        data::DataUmgebung& env = t->env();
        anna = addEmployee(env, "Anna", QDate(2024, 1, 1));
        bert = addEmployee(env, "Bert", QDate(2024, 1, 1));
        addRow(env.rsGruppen, {{"Gruppenname", "Station 1"}});
        addRow(env.rsGpZuordnung, {{"GruppenNr", group}, {"MaNr", anna}, {"DienstPos", 1}});
        addRow(env.rsGpZuordnung, {{"GruppenNr", group}, {"MaNr", bert}, {"DienstPos", 7}});
        addDuty(env, anna, QDate(2024, 4, 3));
        addDuty(env, bert, QDate(2024, 4, 3), QTime(22, 0), QTime(6, 0));
        addDuty(env, anna, QDate(2024, 3, 4));
    }
    void cleanup() { t.reset(); }

    void findersPositionTheSharedRecordsets() {
        data::DataUmgebung& env = t->env();
        engine::Recordset& rs = env.rsDienstzeiten;
        // the 3rd of April, never the 4th of March
        QVERIFY(findDuty(env, QDate(2024, 4, 3), anna));
        QCOMPARE(engine::toDate(rs.value("Tag")), QDate(2024, 4, 3));
        QVERIFY(findDutyAtPosition(env, QDate(2024, 4, 3), 7, group));
        QCOMPARE(rs.value("MaNr").toInt(), bert);
        const engine::Bookmark before = rs.bookmark();
        QVERIFY(!findDutyOfEmployee(env, QDate(2024, 4, 4), anna));
        QVERIFY(!findDutyAtPosition(env, QDate(2024, 4, 3), 2, group));
        QCOMPARE(rs.bookmark(), before);

        addRow(env.rsStatistik, {{"MaNr", bert}, {"Monat", 3}, {"Jahr", 2024}, {"IstStd", 17}});
        addRow(env.rsStatistik, {{"MaNr", anna}, {"Monat", 3}, {"Jahr", 2024}});
        QVERIFY(findStatRow(env, bert, 3, 2024));
        QCOMPARE(env.rsStatistik.value("IstStd").toDouble(), 17.0);
        QCOMPARE(employeeAtPosition(env, 7, group), bert);
        QCOMPARE(env.rsMitarbeiter.value("PlanName").toString(), QString("Bert"));
        QCOMPARE(employeeAtPosition(env, 3, group), 0);
        QCOMPARE(maxPosition(env, group), qint16(7));
        QCOMPARE(maxPosition(env, group + 1), qint16(0));
    }

    void datesAfter2029() {
        data::DataUmgebung& env = t->env();
        addDuty(env, anna, QDate(2030, 4, 3), QTime(8, 0), QTime(12, 0));
        QVERIFY(findDutyOfEmployee(env, QDate(2030, 4, 3), anna));
        QCOMPARE(sumHours(env, anna, QDate(2030, 4, 1), QDate(2030, 4, 30)), 4.0);
        QCOMPARE(lastDutyDay(t->session, anna), QDate(2030, 4, 3));
        QCOMPARE(lastDutyDay(t->session, 99), QDate(2024, 3, 15)); // none: today
    }

    void countsAndSums() {
        data::DataUmgebung& env = t->env();
        const int ma = addEmployee(env, "Carla", QDate(2024, 1, 1));
        // 20 duties in May: 2 vacation, 1 sick, 2 free days of two spellings
        const QStringList labels = {"Urlaub", "urlaub halbtags", "KRANK", "frei", "Freizeitausgl."};
        QDate d(2024, 5, 1);
        for (int i = 0; i < 20; ++i, d = d.addDays(1)) {
            if (i < labels.size())
                addLabel(env, ma, d, labels[i], 7.7);
            else
                addDuty(env, ma, d, QTime(6, 0), QTime(14, 0), 0.5);
        }
        const QDate first(2024, 5, 1), last(2024, 5, 31);
        QCOMPARE(countDutiesLike(env, ma, first, last, "Urlaub"), 2);
        QCOMPARE(countDutiesLike(env, ma, first, last, "Frei"), 2);
        QCOMPARE(countDutiesLike(env, ma, first, last, "O'Brien"), 0); // bound, not pasted
        QCOMPARE(countWorkingDuties(env, ma, first, last), 20 - 2 - 1 - 2);
        QCOMPARE(sumHours(env, ma, first, last), 15 * 7.5 + 5 * 7.7);
        QCOMPARE(sumHours(env, ma, first, QDate(2024, 5, 5)), 5 * 7.7); // no times at all
    }
};

QTEST_MAIN(TestLookups)
#include "test_lookups.moc"
