// The working-time check with figures worked out by hand: rest periods (also across midnight
// and across the first of the month), the daily maximum, breaks, free Sundays, runs of working
// days, days off and flat hours; the rule settings; and the marks the roster painter sets.

#include "data/WorkingTimeRules.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/GridPainter.h"
#include "roster/MemoryGrid.h"
#include "roster/WorkingTimeCheck.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QtTest>

using roster::CheckedDuty;
using roster::Finding;
using roster::Rule;

namespace {

// A duty as the editors store it: the end on the next day when it lies before the start. Half
// an hour of break unless said otherwise, so that only the rule under test speaks.
CheckedDuty duty(const QDate& day, const QTime& from, const QTime& to, double pause = 0.5,
                 const QString& kurz = {}) {
    CheckedDuty d;
    d.day = day;
    d.anfang = engine::dayNumber(from);
    d.ende = engine::dayNumber(to) + (to < from ? 1 : 0);
    d.pause = pause;
    d.kurzinfo = kurz;
    return d;
}

CheckedDuty label(const QDate& day, const QString& kurz, double flat) {
    CheckedDuty d;
    d.day = day;
    d.kurzinfo = kurz;
    d.flatHours = flat;
    return d;
}

// The findings of a month: December 2026 unless another first day is given.
std::vector<Finding> check(const std::vector<CheckedDuty>& duties,
                           const data::WorkingTimeRules& rules = {},
                           const QDate& first = QDate(2026, 12, 1)) {
    return roster::checkDuties(duties, first,
                               QDate(first.year(), first.month(), first.daysInMonth()), rules);
}

QStringList texts(const std::vector<Finding>& found, Rule rule) {
    QStringList list;
    for (const Finding& f : found) {
        if (f.rule == rule) list << f.day.toString(QStringLiteral("dd.MM.: ")) + f.text;
    }
    return list;
}

data::WorkingTimeRules onlyRest(double minRest = 11) {
    data::WorkingTimeRules r;
    r.dailyOn = r.breaksOn = r.sundaysOn = r.runOn = false;
    r.minRest = minRest;
    return r;
}

QDate Dec(int day) {
    return QDate(2026, 12, day);
}

} // namespace

class TestWorkingTimeCheck : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::TestSession> t;

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { t.reset(); }

    void restPeriodBetweenTwoDuties() {
        // late duty 14:00 to 22:00, early duty 06:00: 8 hours of rest
        QCOMPARE(
            texts(check({duty(Dec(3), {14, 0}, {22, 0}), duty(Dec(4), {6, 0}, {14, 0})}),
                  Rule::Rest),
            QStringList("04.12.: Ruhezeit 8 Std. (mindestens 11 Std.) nach dem Dienst am 03.12."));
        // 13:00 to 21:00, then 08:00: exactly 11 hours
        QVERIFY(check({duty(Dec(3), {13, 0}, {21, 0}), duty(Dec(4), {8, 0}, {16, 0})}).empty());
        // 21:00 followed by 07:00: 10 hours, which the hospital setting allows
        const std::vector<CheckedDuty> tenHours = {duty(Dec(3), {13, 0}, {21, 0}),
                                                   duty(Dec(4), {7, 0}, {15, 0})};
        QCOMPARE(
            texts(check(tenHours, onlyRest()), Rule::Rest),
            QStringList("04.12.: Ruhezeit 10 Std. (mindestens 11 Std.) nach dem Dienst am 03.12."));
        QVERIFY(check(tenHours, onlyRest(10)).empty());
        // half hours: 21:30 to 07:00 is 9,5 hours
        QCOMPARE(texts(check({duty(Dec(4), {13, 30}, {21, 30}), duty(Dec(5), {7, 0}, {15, 0})}),
                       Rule::Rest),
                 QStringList(
                     "05.12.: Ruhezeit 9,5 Std. (mindestens 11 Std.) nach dem Dienst am 04.12."));
        // duties two days apart have all the rest they need
        QVERIFY(check({duty(Dec(3), {14, 0}, {22, 0}), duty(Dec(5), {6, 0}, {14, 0})}).empty());
    }

    void restPeriodAfterANightDuty() {
        // 22:00 to 06:00 ends on the 5th; a duty at 14:00 that day leaves 8 hours
        QCOMPARE(
            texts(check({duty(Dec(4), {22, 0}, {6, 0}), duty(Dec(5), {14, 0}, {22, 0})}),
                  Rule::Rest),
            QStringList("05.12.: Ruhezeit 8 Std. (mindestens 11 Std.) nach dem Dienst am 04.12."));
        // at 17:00 it leaves 11
        QVERIFY(check({duty(Dec(4), {22, 0}, {6, 0}), duty(Dec(5), {17, 0}, {23, 0})}).empty());
        // a duty that starts before the night duty has ended
        QCOMPARE(
            texts(check({duty(Dec(4), {22, 0}, {6, 0}), duty(Dec(5), {5, 0}, {9, 0})}), Rule::Rest),
            QStringList("05.12.: Der Dienst beginnt vor dem Ende des Dienstes am 04.12."));
    }

    void dailyMaximumAndBreaks() {
        // 06:00 to 17:30 with half an hour of break: 11 hours of work, and 45 minutes were due
        const auto found = check({duty(Dec(7), {6, 0}, {17, 30}, 0.5)});
        QCOMPARE(texts(found, Rule::DailyMaximum),
                 QStringList("07.12.: Arbeitszeit 11 Std. (höchstens 10 Std.)"));
        QCOMPARE(texts(found, Rule::Breaks),
                 QStringList("07.12.: Pause 30 Min. bei 11 Std. Arbeitszeit (mindestens 45 Min.)"));
        // 10 hours of work are allowed
        QVERIFY(check({duty(Dec(7), {6, 0}, {16, 45}, 0.75)}).empty());
        // 7 hours with a quarter of an hour of break, and with half an hour
        QCOMPARE(
            texts(check({duty(Dec(8), {8, 0}, {15, 0}, 0.25)}), Rule::Breaks),
            QStringList("08.12.: Pause 15 Min. bei 6,75 Std. Arbeitszeit (mindestens 30 Min.)"));
        QVERIFY(check({duty(Dec(8), {8, 0}, {15, 0}, 0.5)}).empty());
        // six hours need no break; a night duty of 8 hours needs one
        QVERIFY(check({duty(Dec(9), {8, 0}, {14, 0})}).empty());
        QCOMPARE(texts(check({duty(Dec(9), {22, 0}, {6, 0}, 0)}), Rule::Breaks).size(), 1);
        // switched off, the rules are silent
        data::WorkingTimeRules off;
        off.dailyOn = off.breaksOn = false;
        QVERIFY(check({duty(Dec(7), {6, 0}, {17, 30}, 0.5)}, off).empty());
    }

    void runOfWorkingDays() {
        std::vector<CheckedDuty> week;
        for (int d = 1; d <= 8; ++d)
            week.push_back(duty(Dec(d), {8, 0}, {14, 0}));
        QCOMPARE(texts(check(week), Rule::WorkingDaysInRow),
                 QStringList({"07.12.: 7. Arbeitstag in Folge (höchstens 6)",
                              "08.12.: 8. Arbeitstag in Folge (höchstens 6)"}));
        week.pop_back();
        week.pop_back();
        QVERIFY(check(week).empty()); // six days
        data::WorkingTimeRules five;
        five.maxRun = 5;
        QCOMPARE(texts(check(week, five), Rule::WorkingDaysInRow),
                 QStringList("06.12.: 6. Arbeitstag in Folge (höchstens 5)"));
        five.runOn = false;
        QVERIFY(check(week, five).empty());
        // a day off in the middle ends the run; a flat-hour duty is a working day
        week = {duty(Dec(1), {8, 0}, {14, 0}),   duty(Dec(2), {8, 0}, {14, 0}),
                label(Dec(3), "Fortbildung", 8), duty(Dec(4), {8, 0}, {14, 0}),
                duty(Dec(5), {8, 0}, {14, 0}),   duty(Dec(6), {8, 0}, {14, 0}),
                label(Dec(7), "Urlaub", 7.7),    duty(Dec(8), {8, 0}, {14, 0})};
        QVERIFY(check(week).empty());
        week.insert(week.begin() + 6, duty(Dec(7), {8, 0}, {14, 0}));
        week.erase(week.begin() + 7);
        QCOMPARE(texts(check(week), Rule::WorkingDaysInRow).size(), 2);
    }

    void freeSundaysOfTheYear() {
        // 2026 has 52 Sundays; duties on the first 38 of them leave 14 that can still be free.
        // The 38th is 20 September.
        std::vector<CheckedDuty> sundays;
        for (QDate d(2026, 1, 4); sundays.size() < 38; d = d.addDays(7))
            sundays.push_back(duty(d, {8, 0}, {14, 0}));
        QCOMPARE(sundays.back().day, QDate(2026, 9, 20));
        QVERIFY(texts(check(sundays, {}, QDate(2026, 8, 1)), Rule::Sundays).isEmpty());
        QCOMPARE(texts(check(sundays, {}, QDate(2026, 9, 1)), Rule::Sundays),
                 QStringList("20.09.: Sonntagsdienst: nur noch 14 freie Sonntage im Jahr 2026 "
                             "möglich (mindestens 15)"));
        // a further Sunday on duty later in the year warns again
        sundays.push_back(duty(QDate(2026, 10, 4), {8, 0}, {14, 0}));
        QCOMPARE(texts(check(sundays, {}, QDate(2026, 10, 1)), Rule::Sundays),
                 QStringList("04.10.: Sonntagsdienst: nur noch 13 freie Sonntage im Jahr 2026 "
                             "möglich (mindestens 15)"));
        // a Sunday of vacation is a free one
        sundays.back() = label(QDate(2026, 10, 4), "Urlaub", 7.7);
        QVERIFY(check(sundays, {}, QDate(2026, 10, 1)).empty());
    }

    void daysOffAndFlatHoursBreakNoRule() {
        const std::vector<CheckedDuty> duties = {
            duty(Dec(3), {14, 0}, {22, 0}),
            label(Dec(4), "Urlaub", 7.7),               // no work, so no short rest
            label(Dec(5), "Fortbildung", 12),           // flat hours are no timed work
            duty(Dec(6), {6, 0}, {19, 0}, 0, "urlaub"), // any case
            duty(Dec(7), {6, 0}, {19, 0}, 0, "Krank"),
            duty(Dec(8), {6, 0}, {19, 0}, 0, "Freizeitausgleich"),
            label(Dec(9), "", 0), // "berechne": nothing stored
        };
        QVERIFY(check(duties).empty());
        // an early duty after the late one, with the vacation day gone, is found
        QCOMPARE(texts(check({duties[0], duty(Dec(4), {6, 0}, {14, 0})}), Rule::Rest).size(), 1);
    }

    // Through the database: the group's members, the previous month's last duty, the Sundays
    // before the month, the stored settings, and the marks of the roster painter.
    void groupMonthFromTheDatabase() {
        t = std::make_unique<testing::TestSession>(QDate(2026, 12, 6));
        t->createDatabase();
        data::DataUmgebung& env = t->env();
        env.Datenbank.execute(
            QStringLiteral("INSERT INTO Gruppen (Gruppenname) VALUES ('Station')"));
        const int berta = testing::addEmployee(env, QStringLiteral("Berta"), QDate(2020, 1, 1));
        const int anna =
            testing::addEmployee(env, QStringLiteral("Anna & <Ünal>"), QDate(2020, 1, 1));
        const int hidden =
            testing::addEmployee(env, QStringLiteral("Position null"), QDate(2020, 1, 1));
        for (const auto& [maNr, pos] : {std::pair{berta, 1}, {anna, 2}, {hidden, 0}})
            env.Datenbank.execute(
                QStringLiteral(
                    "INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES (1, m, p)"),
                {maNr, pos}, {QStringLiteral("m"), QStringLiteral("p")});
        // Berta: late duty on 30 November, early duty on 1 December
        testing::addDuty(env, berta, QDate(2026, 11, 30), {14, 0}, {22, 0}, 0.5);
        testing::addDuty(env, berta, Dec(1), {6, 0}, {14, 0}, 0.5);
        // Anna: 11 hours on the 10th, and 38 Sundays on duty up to 6 December (the 49th Sunday)
        testing::addDuty(env, anna, Dec(10), {6, 0}, {17, 45}, 0.75);
        int onDuty = 0;
        for (QDate d(2026, 12, 6); onDuty < 38; d = d.addDays(-7), ++onDuty)
            testing::addDuty(env, anna, d, {8, 0}, {14, 0});
        testing::addDuty(env, hidden, Dec(2), {6, 0}, {20, 0});

        const auto found = roster::checkGroupMonth(env, 1, Dec(1), Dec(31), {});
        QStringList lines;
        for (const roster::MemberFinding& f : found)
            lines << QStringLiteral("%1 %2 %3 %4")
                         .arg(f.planName)
                         .arg(f.position)
                         .arg(f.finding.day.toString(QStringLiteral("dd.MM.")))
                         .arg(f.finding.text);
        QCOMPARE(lines,
                 QStringList({"Anna & <Ünal> 2 06.12. Sonntagsdienst: nur noch 14 freie Sonntage "
                              "im Jahr 2026 möglich (mindestens 15)",
                              "Anna & <Ünal> 2 10.12. Arbeitszeit 11 Std. (höchstens 10 Std.)",
                              "Berta 1 01.12. Ruhezeit 8 Std. (mindestens 11 Std.) nach dem "
                              "Dienst am 30.11."}));

        // the stored settings hold for the roster's marks, on the painted grid only
        data::WorkingTimeRules rules;
        rules.sundaysOn = false;
        data::saveWorkingTimeRules(env.Datenbank, rules);
        roster::MonthState month;
        month.firstDay = Dec(1);
        month.groupNumber = 1;
        roster::changedate(month);
        roster::MemoryGrid grid;
        roster::GridPainter painter(t->session, month, grid);
        painter.gridrepaint();
        QCOMPARE(grid.mark(2, 1), QString()); // the print and export painters show no marks
        painter.showMarks = true;
        painter.gridrepaint();
        QCOMPARE(grid.mark(2, 1),
                 QStringLiteral("Ruhezeit 8 Std. (mindestens 11 Std.) nach dem Dienst am 30.11."));
        QCOMPARE(grid.mark(7, 2), QString()); // the Sundays are not checked
        QCOMPARE(grid.mark(11, 2), QStringLiteral("Arbeitszeit 11 Std. (höchstens 10 Std.)"));
        QCOMPARE(grid.mark(3, 1), QString());
        QVERIFY(t->prompts.messages().isEmpty());
    }

    void settingsOfTheRules() {
        t = std::make_unique<testing::TestSession>();
        t->createDatabase();
        engine::Connection& db = t->env().Datenbank;
        // a database without the table checks with the defaults
        QVERIFY(!db.tableExists(QStringLiteral("Arbeitszeitregeln")));
        QCOMPARE(data::loadWorkingTimeRules(db), data::WorkingTimeRules());
        data::WorkingTimeRules rules;
        rules.minRest = 10;
        rules.breaksOn = false;
        rules.maxRun = 12;
        data::saveWorkingTimeRules(db, rules); // creates the table and its row
        QCOMPARE(data::loadWorkingTimeRules(db), rules);
        rules.restOn = false;
        data::saveWorkingTimeRules(db, rules); // the same row again
        QCOMPARE(data::loadWorkingTimeRules(db), rules);
        engine::Recordset count;
        count.openSql(db, QStringLiteral("SELECT COUNT(*) FROM Arbeitszeitregeln"));
        QCOMPARE(count.value(0).toInt(), 1);
        // values nobody could have entered read as the defaults
        db.execute(QStringLiteral("UPDATE Arbeitszeitregeln SET Ruhezeit = 3, Arbeitstage = 400"));
        const data::WorkingTimeRules read = data::loadWorkingTimeRules(db);
        QCOMPARE(read.minRest, 11.0);
        QCOMPARE(read.maxRun, 6);
        // the nine tables of the design are untouched
        QCOMPARE(db.tableNames().size(), 10);
    }
};

QTEST_MAIN(TestWorkingTimeCheck)
#include "test_workingtimecheck.moc"
