// The finders position the shared recordsets on the rows they find and leave them alone when
// nothing is found; the aggregates count and sum as the roster needs.

#include "roster/Lookups.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QTest>

using namespace roster;
using namespace testing;

namespace {

int addGroup(data::DataUmgebung& env, const QString& name) {
    engine::Recordset& rs = env.rsGruppen;
    rs.addNew();
    rs.setValue("Gruppenname", name);
    rs.update();
    return rs.value("GruppenNr").toInt();
}

void assign(data::DataUmgebung& env, int group, int maNr, int position) {
    engine::Recordset& rs = env.rsGpZuordnung;
    rs.addNew();
    rs.setValue("GruppenNr", group);
    rs.setValue("MaNr", maNr);
    rs.setValue("DienstPos", position);
    rs.update();
}

void addStatRow(data::DataUmgebung& env, int maNr, int month, int year, double vormonat,
                double soll, double ist) {
    engine::Recordset& rs = env.rsStatistik;
    rs.addNew();
    rs.setValue("MaNr", maNr);
    rs.setValue("Monat", month);
    rs.setValue("Jahr", year);
    rs.setValue("SumVormonat", vormonat);
    rs.setValue("Soll", soll);
    rs.setValue("IstStd", ist);
    rs.update();
}

QDate day(const engine::Recordset& rs) {
    return engine::toDate(rs.value("Tag"));
}

} // namespace

class TestLookups : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestSession> t;
    int anna = 0, bert = 0, group = 0;

private slots:
    void init() {
        t = std::make_unique<TestSession>(QDate(2024, 3, 15));
        t->createDatabase();
        data::DataUmgebung& env = t->env();
        anna = addEmployee(env, "Anna", QDate(2024, 1, 1));
        bert = addEmployee(env, "Bert", QDate(2024, 1, 1));
        group = addGroup(env, "Station 1");
        assign(env, group, anna, 1);
        assign(env, group, bert, 7);
        addDuty(env, anna, QDate(2024, 4, 3), QTime(6, 0), QTime(14, 0), 0.5, "Früh");
        addDuty(env, bert, QDate(2024, 4, 3), QTime(22, 0), QTime(6, 0), 0.0, "Nacht");
        addDuty(env, anna, QDate(2024, 3, 4), QTime(6, 0), QTime(14, 0), 0.5, "Früh");
    }
    void cleanup() { t.reset(); }

    void dutyFindersPositionTheDutyRecordset() {
        data::DataUmgebung& env = t->env();
        engine::Recordset& rs = env.rsDienstzeiten;
        QVERIFY(findDutyOfEmployee(env, QDate(2024, 4, 3), bert));
        QCOMPARE(rs.value("MaNr").toInt(), bert);
        QCOMPARE(day(rs), QDate(2024, 4, 3));

        // 3 April is sent as the 3rd of April, never as 4 March
        QVERIFY(findDuty(env, QDate(2024, 4, 3), anna));
        QCOMPARE(day(rs), QDate(2024, 4, 3));
        QCOMPARE(rs.value("MaNr").toInt(), anna);

        QVERIFY(findDutyAtPosition(env, QDate(2024, 4, 3), 7, group));
        QCOMPARE(rs.value("MaNr").toInt(), bert);
        QVERIFY(!findDutyAtPosition(env, QDate(2024, 4, 3), 2, group));

        // nothing found: the recordset stays on the row it was on
        QVERIFY(findDutyOfEmployee(env, QDate(2024, 3, 4), anna));
        const engine::Bookmark before = rs.bookmark();
        QVERIFY(!findDutyOfEmployee(env, QDate(2024, 4, 4), anna));
        QVERIFY(!findDuty(env, QDate(2024, 4, 3), 999));
        QCOMPARE(rs.bookmark(), before);
    }

    void datesAfter2029() {
        data::DataUmgebung& env = t->env();
        addDuty(env, anna, QDate(2030, 4, 3), QTime(8, 0), QTime(12, 0));
        QVERIFY(findDutyOfEmployee(env, QDate(2030, 4, 3), anna));
        QCOMPARE(day(env.rsDienstzeiten), QDate(2030, 4, 3));
        QCOMPARE(sumHours(env, anna, QDate(2030, 4, 1), QDate(2030, 4, 30)), 4.0);
        QCOMPARE(lastDutyDay(t->session, anna), QDate(2030, 4, 3));
    }

    void statisticsAndAssignmentFinders() {
        data::DataUmgebung& env = t->env();
        addStatRow(env, anna, 3, 2024, 5, 168, 170);
        addStatRow(env, bert, 3, 2024, 0, 168, 160);
        QVERIFY(findStatRow(env, anna, 3, 2024));
        QCOMPARE(env.rsStatistik.value("IstStd").toDouble(), 170.0);
        QVERIFY(!findStatRow(env, anna, 4, 2024));
        QCOMPARE(env.rsStatistik.value("MaNr").toInt(), anna);

        QVERIFY(findAssignment(env, bert, group));
        QCOMPARE(env.rsGpZuordnung.value("DienstPos").toInt(), 7);
        QVERIFY(findAssignmentAtPosition(env, 1, group));
        QCOMPARE(env.rsGpZuordnung.value("MaNr").toInt(), anna);
        QVERIFY(!findAssignment(env, anna, group + 1));

        QCOMPARE(employeeAtPosition(env, 7, group), bert);
        QCOMPARE(env.rsMitarbeiter.value("PlanName").toString(), QString("Bert"));
        QCOMPARE(employeeAtPosition(env, 3, group), 0);
        QCOMPARE(env.rsMitarbeiter.value("PlanName").toString(), QString("Bert"));
    }

    void positionsAndBalances() {
        data::DataUmgebung& env = t->env();
        QCOMPARE(maxPosition(env, group), qint16(7));
        QCOMPARE(maxPosition(env, addGroup(env, "leer")), qint16(0));

        // the year's last month counts, whatever order the rows were written in
        addStatRow(env, anna, 2, 2024, -10, 150, 155); // -5
        addStatRow(env, anna, 1, 2024, 0, 160, 150);   // -10
        addStatRow(env, anna, 1, 2025, -5, 100, 100);
        QCOMPARE(lastBalance(env, anna, 2024), -5.0);
        QCOMPARE(lastBalance(env, bert, 2024), 0.0);

        QCOMPARE(lastDutyDay(t->session, anna), QDate(2024, 4, 3));
        QCOMPARE(lastDutyDay(t->session, addEmployee(env, "Neu", QDate(2024, 3, 1))),
                 QDate(2024, 3, 15)); // today
    }

    void countsAndSums() {
        data::DataUmgebung& env = t->env();
        const int ma = addEmployee(env, "Carla", QDate(2024, 1, 1));
        // 20 duties in May: 2 vacation, 1 sick, 2 free days of two spellings
        QDate d(2024, 5, 1);
        const QStringList labels = {"Urlaub", "urlaub halbtags", "KRANK", "frei", "Freizeitausgl."};
        for (int i = 0; i < 20; ++i, d = d.addDays(1)) {
            if (i < labels.size())
                addLabel(env, ma, d, labels[i], 7.7);
            else
                addDuty(env, ma, d, QTime(6, 0), QTime(14, 0), 0.5, i % 2 ? QVariant() : "F", 0.0);
        }
        const QDate first(2024, 5, 1), last(2024, 5, 31);
        QCOMPARE(countDutiesLike(env, ma, first, last, "Urlaub"), 2);
        QCOMPARE(countDutiesLike(env, ma, first, last, "krank"), 1);
        QCOMPARE(countDutiesLike(env, ma, first, last, "Frei"), 2);
        QCOMPARE(countDutiesLike(env, ma, first, last, "O'Brien"), 0); // bound, not pasted
        QCOMPARE(countWorkingDuties(env, ma, first, last), 20 - 2 - 1 - 2);
        QCOMPARE(countWorkingDuties(env, ma, QDate(2024, 6, 1), QDate(2024, 6, 30)), 0);
        // 15 timed duties of 7.5 hours, 5 labels of 7.7 flat hours
        QCOMPARE(sumHours(env, ma, first, last), 15 * 7.5 + 5 * 7.7);
        QCOMPARE(sumHours(env, ma, first, QDate(2024, 5, 5)), 5 * 7.7); // no times at all
        QCOMPARE(sumHours(env, ma, QDate(2024, 6, 1), QDate(2024, 6, 30)), 0.0);
    }

    void extraCounters() {
        data::DataUmgebung& env = t->env();
        engine::Recordset& rs = env.rsDienstzeiten;
        QVERIFY(findDutyOfEmployee(env, QDate(2024, 4, 3), anna));
        rs.setValue("S1", 1.5);
        rs.setValue("S2", 2.0);
        rs.update();
        QVariant s1, s2;
        sumExtraCounters(env, anna, QDate(2024, 3, 1), QDate(2024, 4, 30), s1, s2);
        QCOMPARE(s1.toDouble(), 1.5);
        QCOMPARE(s2.toDouble(), 2.0);
        QVariant u = "unverändert", v = 9;
        sumExtraCounters(env, anna, QDate(2024, 6, 1), QDate(2024, 6, 30), u, v);
        QCOMPARE(u, QVariant("unverändert"));
        QCOMPARE(v, QVariant(9));
    }
};

QTEST_MAIN(TestLookups)
#include "test_lookups.moc"
