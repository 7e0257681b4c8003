// Groups and positions: the all-employees group, closing up the positions of every group,
// removing from a group past gaps, hiding, showing and deleting employees (all or nothing),
// and the status-bar summary of a selection. Adding and deleting groups are tested through
// the groups window.

#include "platform/Formats.h"
#include "roster/Groups.h"
#include "roster/SelectionSummary.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/TestSession.h"

#include <QtTest>

using namespace testing;

class TestGroups : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSession> t;
    data::DataUmgebung& env() { return t->env(); }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void init() {
        t = std::make_unique<TestSession>(QDate(2024, 3, 15));
        t->createDatabase();
    }
    void cleanup() { t.reset(); }

    void defaultGroupOnlyWhenThereIsNone() {
        roster::defaultGroup(env());
        roster::defaultGroup(env());
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Gruppen")), 1);
        QCOMPARE(scalar(env(), QStringLiteral("SELECT GruppenNr FROM Gruppen WHERE Gruppenname "
                                              "= 'Alle Ma.'")),
                 1);
    }

    void everyEmployeeJoinsGroupOneAndHiddenOnesStayHidden() {
        group(env(), QStringLiteral("Alle Ma."));
        const int anna = employee(env(), QStringLiteral("Anna"), 1);
        const int ben = employee(env(), QStringLiteral("Ben"), 2);
        const int neu = employee(env(), QStringLiteral("Neu"), QVariant());
        const int weg = employee(env(), QStringLiteral("Weg"), -1);
        member(env(), 1, anna, 1);
        roster::allEmployeesGroup(env());
        const QMap<int, int> own = employeePositions(env());
        QCOMPARE(own.value(neu), 3); // the next position after the highest
        QCOMPARE(own.value(weg), -1);
        const QMap<int, int> inGroup = groupPositions(env(), 1);
        QCOMPARE(inGroup.size(), 4);
        QCOMPARE(inGroup.value(anna), 1);
        QCOMPARE(inGroup.value(ben), 2);
        QCOMPARE(inGroup.value(neu), 3);
        QCOMPARE(inGroup.value(weg), 0); // a member no roster shows
        roster::allEmployeesGroup(env()); // nothing more to do
        QCOMPARE(groupPositions(env(), 1), inGroup);
    }

    void renumberingClosesGapsInEveryGroupKeepingTheOrder() {
        group(env(), QStringLiteral("Alle Ma."));
        const int night = group(env(), QStringLiteral("Nacht"));
        const int a = employee(env(), QStringLiteral("A"), 1);
        const int b = employee(env(), QStringLiteral("B"), 2);
        const int c = employee(env(), QStringLiteral("C"), 3);
        member(env(), 1, a, 2);
        member(env(), 1, b, 5);
        member(env(), 1, c, 5); // the same position: the earlier member first
        member(env(), night, c, 9);
        member(env(), night, a, 4);
        roster::renumberPositions(env(), night);
        QCOMPARE(groupPositions(env(), 1), (QMap<int, int>{{a, 1}, {b, 2}, {c, 3}}));
        QCOMPARE(groupPositions(env(), night), (QMap<int, int>{{a, 1}, {c, 2}}));
        // the shown group's members are read again
        QCOMPARE(env().rsMaNachGrp.recordCount(), 2);
    }

    void removingClosesUpAndPassesOverGaps() {
        const int g = group(env(), QStringLiteral("Spät"));
        QList<int> m;
        for (int i = 1; i <= 5; ++i)
            m << employee(env(), QStringLiteral("M%1").arg(i), i);
        // positions 1, 2, 4, 6, 7: gaps at 3 and 5, as an import may leave them
        const int positions[] = {1, 2, 4, 6, 7};
        for (int i = 0; i < 5; ++i)
            member(env(), g, m[i], positions[i]);
        QVERIFY(roster::removeMember(env(), m[1], g));
        QCOMPARE(groupPositions(env(), g),
                 (QMap<int, int>{{m[0], 1}, {m[2], 2}, {m[3], 3}, {m[4], 4}}));
        QVERIFY(!roster::removeMember(env(), m[1], g));
        // the member at position 2 of 4 without gaps
        QVERIFY(roster::removeMember(env(), m[2], g));
        QCOMPARE(groupPositions(env(), g), (QMap<int, int>{{m[0], 1}, {m[3], 2}, {m[4], 3}}));
    }

    void hidingAndShowingEmployees() {
        QList<int> m;
        for (int i = 1; i <= 5; ++i)
            m << employee(env(), QStringLiteral("M%1").arg(i), i);
        QVERIFY(roster::hideEmployee(env(), m[2]));
        QCOMPARE(employeePositions(env()),
                 (QMap<int, int>{{m[0], 1}, {m[1], 2}, {m[2], 0}, {m[3], 3}, {m[4], 4}}));
        QVERIFY(!roster::hideEmployee(env(), m[2])); // already hidden
        QVERIFY(roster::hideEmployee(env(), m[0]));  // below the lowest hidden one
        QCOMPARE(employeePositions(env()),
                 (QMap<int, int>{{m[0], -1}, {m[1], 1}, {m[2], 0}, {m[3], 2}, {m[4], 3}}));
        QVERIFY(roster::showEmployee(env(), m[2])); // behind the last shown one
        QCOMPARE(employeePositions(env()),
                 (QMap<int, int>{{m[0], -1}, {m[1], 1}, {m[2], 4}, {m[3], 2}, {m[4], 3}}));
        QVERIFY(!roster::showEmployee(env(), m[2]));
        QCOMPARE(roster::nextEmployeePosition(env()), 5);
    }

    void deletingAnEmployeeTakesAllThatIsHis() {
        group(env(), QStringLiteral("Alle Ma."));
        const int g = group(env(), QStringLiteral("Nacht"));
        QList<int> m;
        for (int i = 1; i <= 3; ++i) {
            m << employee(env(), QStringLiteral("M%1").arg(i), i);
            member(env(), 1, m.last(), i);
            duty(env(), m.last(), QDate(2024, 3, 4), QTime(8, 0), QTime(16, 0));
            statRow(env(), m.last(), 2024, 3);
        }
        member(env(), g, m[1], 1);
        member(env(), g, m[2], 2);
        roster::deleteEmployee(env(), m[1]);
        QCOMPARE(employeePositions(env()), (QMap<int, int>{{m[0], 1}, {m[2], 2}}));
        QCOMPARE(groupPositions(env(), 1), (QMap<int, int>{{m[0], 1}, {m[2], 2}}));
        QCOMPARE(groupPositions(env(), g), (QMap<int, int>{{m[2], 1}}));
        for (const char* table : {"Dienstzeiten", "Statistik", "GpZuordnung"}) {
            QCOMPARE(count(env(), QLatin1String(table), m[1]), 0);
            QCOMPARE(count(env(), QLatin1String(table), m[0]), 1);
        }
    }

    void aFailedDeletionLeavesTheEmployeeWhole() {
        group(env(), QStringLiteral("Alle Ma."));
        const int a = employee(env(), QStringLiteral("A"), 1);
        const int b = employee(env(), QStringLiteral("B"), 2);
        member(env(), 1, a, 1);
        member(env(), 1, b, 2);
        duty(env(), a, QDate(2024, 3, 4), QTime(8, 0), QTime(16, 0));
        statRow(env(), a, 2024, 3);
        // the last of the steps fails
        env().Datenbank.executeNative(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE DELETE ON Statistik BEGIN SELECT RAISE(ABORT, "
            "'refused'); END"));
        QVERIFY_THROWS_EXCEPTION(std::exception, roster::deleteEmployee(env(), a));
        QCOMPARE(count(env(), QStringLiteral("Mitarbeiter"), a), 1);
        QCOMPARE(count(env(), QStringLiteral("Dienstzeiten"), a), 1);
        QCOMPARE(count(env(), QStringLiteral("GpZuordnung"), a), 1);
        QCOMPARE(count(env(), QStringLiteral("Statistik"), a), 1);
        QCOMPARE(employeePositions(env()).value(b), 2);
    }

    void summaryOfSelectedDaysOfOneColumn() {
        group(env(), QStringLiteral("Alle Ma."));
        const int anna = employee(env(), QStringLiteral("Anna"), 1, 12.5);
        const int ben = employee(env(), QStringLiteral("Ben"), 2, 20);
        member(env(), 1, anna, 1);
        member(env(), 1, ben, 2);
        duty(env(), anna, QDate(2024, 3, 3), QTime(8, 0), QTime(16, 30), 0.5, 0, 1, 0, "Früh");
        duty(env(), anna, QDate(2024, 3, 5), QTime(22, 0), QTime(6, 0), 0, 0, 0, 2, "Nacht");
        duty(env(), anna, QDate(2024, 3, 7), QTime(), QTime(), 0, 7.7, 0, 0, "Urlaub");
        duty(env(), anna, QDate(2024, 3, 8), QTime(8, 0), QTime(16, 0)); // not selected
        duty(env(), ben, QDate(2024, 3, 4), QTime(8, 0), QTime(16, 0));  // another column
        roster::MonthState month;
        month.firstDay = QDate(2024, 3, 1);
        month.groupNumber = 1;
        roster::changedate(month);
        env().MaNachGrp(1);

        // days 3 to 7 are the rows 4 to 8, selected from either end
        const auto panels = roster::selectionSummary(env(), month, 8, 4, 1);
        QVERIFY(panels);
        const double hours = 8.0 + 8.0 + 7.7; // 8:00-16:30 less the break, the night, the flat
        QCOMPARE(*panels, (QStringList{QStringLiteral("3. - 7."), QStringLiteral("Anna"),
                                       QStringLiteral("23,70"), QStringLiteral("0,50"),
                                       QStringLiteral("7,70"), QStringLiteral("1,00"),
                                       QStringLiteral("2,00"), QStringLiteral("Urlaub"),
                                       platform::currency(hours * 12.5)}));
        QVERIFY(panels->at(8).contains(QStringLiteral("296,25")));
        // one day shows its date; a day without duty sums nothing
        const auto one = roster::selectionSummary(env(), month, 5, 5, 2);
        QCOMPARE(one->at(0), platform::shortDate(QDate(2024, 3, 4)));
        QCOMPARE(one->at(1), QStringLiteral("Ben"));
        QCOMPARE(one->at(2), QStringLiteral("8,00"));
        QCOMPARE(roster::selectionSummary(env(), month, 6, 6, 2)->at(2), QStringLiteral("0,00"));
        // not for the name and target rows, the sums, or while painting
        QVERIFY(!roster::selectionSummary(env(), month, 1, 4, 1));
        QVERIFY(!roster::selectionSummary(env(), month, 4, month.days + 2, 1));
        month.painting = true;
        QVERIFY(!roster::selectionSummary(env(), month, 4, 8, 1));
    }
};

QTEST_GUILESS_MAIN(TestGroups)
#include "test_groups.moc"
