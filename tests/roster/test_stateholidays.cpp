// The holidays of the federal states against the published lists, and the target of a month
// with half holidays.

#include "data/ChangeHooks.h"
#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "roster/Lookups.h"
#include "roster/StateHolidays.h"
#include "roster/Statistics.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QTest>

using namespace roster;
using namespace testing;

namespace {

// The movable feasts of 2025 to 2030 as the calendars print them: Karfreitag, Ostermontag,
// Christi Himmelfahrt, Pfingstmontag, Fronleichnam ("d.m"), and Buß- und Bettag.
struct Movable {
    int year;
    const char *karfreitag, *ostermontag, *himmelfahrt, *pfingstmontag, *fronleichnam, *bettag;
};
const Movable movable[] = {
    {2025, "18.4", "21.4", "29.5", "9.6", "19.6", "19.11"},
    {2026, "3.4", "6.4", "14.5", "25.5", "4.6", "18.11"},
    {2027, "26.3", "29.3", "6.5", "17.5", "27.5", "17.11"},
    {2028, "14.4", "17.4", "25.5", "5.6", "15.6", "22.11"},
    {2029, "30.3", "2.4", "10.5", "21.5", "31.5", "21.11"},
    {2030, "19.4", "22.4", "30.5", "10.6", "20.6", "20.11"},
};

QStringList days(FederalState state, int year, bool halfDays = false) {
    QStringList list;
    for (const StateHoliday& h : stateHolidays(state, year, halfDays))
        list << h.day.toString(QStringLiteral("d.M"));
    return list;
}

double soll(data::DataUmgebung& env, int maNr, int month, int year) {
    return findStatRow(env, maNr, month, year) ? env.rsStatistik.value("Soll").toDouble() : -1;
}

} // namespace

class TestStateHolidays : public QObject {
    Q_OBJECT

private slots:
    void publishedListsOfBayernSachsenBerlin() {
        for (const Movable& m : movable) {
            const QString y = QString::number(m.year);
            QCOMPARE(days(FederalState::Bayern, m.year),
                     QStringList({"1.1", "6.1", m.karfreitag, m.ostermontag, "1.5", m.himmelfahrt,
                                  m.pfingstmontag, m.fronleichnam, "15.8", "3.10", "1.11", "25.12",
                                  "26.12"}));
            QCOMPARE(days(FederalState::Sachsen, m.year),
                     QStringList({"1.1", m.karfreitag, m.ostermontag, "1.5", m.himmelfahrt,
                                  m.pfingstmontag, "3.10", "31.10", m.bettag, "25.12", "26.12"}));
            QStringList berlin{"1.1", "8.3", m.karfreitag, m.ostermontag, "1.5"};
            if (m.year == 2025) berlin << "8.5"; // 80 years after the end of the war
            berlin << m.himmelfahrt << m.pfingstmontag << "3.10"
                   << "25.12"
                   << "26.12";
            QCOMPARE(days(FederalState::Berlin, m.year), berlin);
        }
        // Augsburg adds its Friedensfest; half days only when asked, at Prozent 0,5
        QVERIFY(days(FederalState::Augsburg, 2026).contains("8.8"));
        QVERIFY(!days(FederalState::Bayern, 2026).contains("8.8"));
        const auto withHalves = stateHolidays(FederalState::Berlin, 2026, true);
        QCOMPARE(withHalves.size(), std::size_t(12));
        QCOMPARE(withHalves.back().day, QDate(2026, 12, 31));
        QCOMPARE(withHalves.back().prozent, 0.5);
        QCOMPARE(withHalves.back().name, QStringLiteral("Silvester"));
        // 1 May 2008 was Christi Himmelfahrt as well: one row with both names
        const auto y2008 = stateHolidays(FederalState::Hessen, 2008, false);
        QCOMPARE(std::count_if(y2008.begin(), y2008.end(),
                               [](const StateHoliday& h) { return h.day == QDate(2008, 5, 1); }),
                 1);
    }

    void halfHolidaysTakeHalfADayOffTheTarget() {
        TestSession t(QDate(2025, 12, 15));
        t.createDatabase();
        data::attachChangeHooks(t.session);
        data::DataUmgebung& env = t.env();
        const int ma = addEmployee(env, "Anna", QDate(2025, 11, 1));
        const int flat = addEmployee(env, "Berta", QDate(2025, 11, 1), 8.0, 150.0);
        addDuty(env, ma, QDate(2025, 12, 2));
        // a holiday the user entered before stays as it is
        addRow(env.rsFeiertage,
               {{"Tag", engine::dateVariant(QDate(2025, 12, 26))}, {"Name", "Stephanstag"}});
        QCOMPARE(berStatistik2(t.session), StatisticsOutcome::Ok);
        QCOMPARE(soll(env, ma, 12, 2025), 22 * 8.0);

        const EnteredHolidays entered =
            enterStateHolidays(env, FederalState::Sachsen, 2025, 2025, true);
        QCOMPARE(entered.added, 12);
        QCOMPARE(entered.kept, 1);
        engine::Recordset kept;
        kept.openSql(env.Datenbank, "SELECT Name FROM Feiertage WHERE Tag = [d]",
                     {engine::dateVariant(QDate(2025, 12, 26))}, {"d"});
        QCOMPARE(kept.value(0), QVariant("Stephanstag"));
        // the account of the screen agrees with what the run stores
        const TargetBasis basis{ma, QDate(2025, 11, 1), 0.0, 8.0};
        QCOMPARE(accountWithoutRow(env, basis, QDate(2025, 12, 1)).target, 20 * 8.0);
        QCOMPARE(berStatistik2(t.session), StatisticsOutcome::Ok);
        // December 2025: 23 weekdays, 25 and 26 off, 24 and 31 (Wednesdays) half: 20 days
        QCOMPARE(soll(env, ma, 12, 2025), 20 * 8.0);
        QCOMPARE(soll(env, ma, 11, 2025), 19 * 8.0); // Buß- und Bettag
        QCOMPARE(soll(env, flat, 12, 2025), 150.0);
        // whole days as before: Prozent 1, and a value the old program never used (null)
        env.Datenbank.execute("UPDATE Feiertage SET Prozent = 1 WHERE Name = 'Heiligabend'");
        env.Datenbank.execute("UPDATE Feiertage SET Prozent = NULL WHERE Name = 'Silvester'");
        setLastChange(env, ma, QDate(2025, 12, 2));
        QCOMPARE(berStatistik2(t.session), StatisticsOutcome::Ok);
        QCOMPARE(soll(env, ma, 12, 2025), 19 * 8.0);
    }
};

QTEST_GUILESS_MAIN(TestStateHolidays)
#include "test_stateholidays.moc"
