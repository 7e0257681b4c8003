// The working-time check with figures worked out by hand, on each side of every limit: rest
// periods (also across midnight and the first of the month) and their compensation, the daily
// maximum and the six-month average, breaks, 24-hour duties, free Sundays counted from 0 to 24
// Uhr, substitute rest days, the Sunday rest joined to the daily rest, runs of working days, the
// kinds of duties; the rule settings; and the marks the roster painter sets.

#include "data/DutyKinds.h"
#include "data/WorkingTimeRules.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/GridPainter.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/MemoryGrid.h"
#include "roster/WorkingTimeCheck.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QtTest>

using roster::CheckedDuty;
using roster::Finding;
using roster::Rule;

namespace {

using data::DutyKind;

// A duty as the editors store it: the end on the next day when it lies before the start (or at
// it: a 24-hour duty). Half an hour of break unless said otherwise, so that only the rule under
// test speaks.
CheckedDuty duty(const QDate& day, const QTime& from, const QTime& to, double pause = 0.5,
                 DutyKind kind = DutyKind::Work) {
    CheckedDuty d;
    d.day = day;
    d.anfang = engine::dayNumber(from);
    d.ende = engine::dayNumber(to) + (to <= from ? 1 : 0);
    d.pause = pause;
    d.kind = kind;
    return d;
}

CheckedDuty label(const QDate& day, DutyKind kind, double flat) {
    CheckedDuty d;
    d.day = day;
    d.kind = kind;
    d.flatHours = flat;
    return d;
}

// The same duty on every day from first to last but the days skipped.
void daily(std::vector<CheckedDuty>& duties, const QDate& first, const QDate& last,
           const QTime& from, const QTime& to, const QList<QDate>& skipped = {}) {
    for (QDate d = first; d <= last; d = d.addDays(1)) {
        if (!skipped.contains(d)) duties.push_back(duty(d, from, to, 0.75));
    }
}

// The findings of a month: December 2026 unless another first day is given.
std::vector<Finding> check(const std::vector<CheckedDuty>& duties,
                           const data::WorkingTimeRules& rules = {},
                           const QDate& first = QDate(2026, 12, 1),
                           const std::vector<QDate>& holidays = {}) {
    return roster::checkDuties(
        duties, first, QDate(first.year(), first.month(), first.daysInMonth()), rules, holidays);
}

QStringList texts(const std::vector<Finding>& found, Rule rule) {
    QStringList list;
    for (const Finding& f : found) {
        if (f.rule == rule) list << f.day.toString(QStringLiteral("dd.MM.: ")) + f.text;
    }
    return list;
}

// Every rule off; the callers switch on the one under test.
data::WorkingTimeRules none() {
    data::WorkingTimeRules r;
    r.restOn = r.dailyOn = r.breaksOn = r.sundaysOn = r.runOn = false;
    r.compensationOn = r.averageOn = r.substituteOn = r.joinedRestOn = false;
    return r;
}

data::WorkingTimeRules onlyRest(double minRest = 11) {
    data::WorkingTimeRules r = none();
    r.restOn = true;
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
            QStringList(
                "04.12.: Ruhezeit 8:00 Std. (mindestens 11:00 Std.) nach dem Dienst am 03.12."));
        // 13:00 to 21:00, then 08:00: exactly 11 hours
        QVERIFY(check({duty(Dec(3), {13, 0}, {21, 0}), duty(Dec(4), {8, 0}, {16, 0})}).empty());
        // 21:00 followed by 07:00: 10 hours, which the hospital setting allows
        const std::vector<CheckedDuty> tenHours = {duty(Dec(3), {13, 0}, {21, 0}),
                                                   duty(Dec(4), {7, 0}, {15, 0})};
        QCOMPARE(
            texts(check(tenHours, onlyRest()), Rule::Rest),
            QStringList(
                "04.12.: Ruhezeit 10:00 Std. (mindestens 11:00 Std.) nach dem Dienst am 03.12."));
        QVERIFY(check(tenHours, onlyRest(10)).empty());
        // half hours: 21:30 to 07:00 is 9,5 hours
        QCOMPARE(
            texts(check({duty(Dec(4), {13, 30}, {21, 30}), duty(Dec(5), {7, 0}, {15, 0})}),
                  Rule::Rest),
            QStringList(
                "05.12.: Ruhezeit 9:30 Std. (mindestens 11:00 Std.) nach dem Dienst am 04.12."));
        // duties two days apart have all the rest they need
        QVERIFY(check({duty(Dec(3), {14, 0}, {22, 0}), duty(Dec(5), {6, 0}, {14, 0})}).empty());
    }

    void restPeriodAfterANightDuty() {
        // 22:00 to 06:00 ends on the 5th; a duty at 14:00 that day leaves 8 hours
        QCOMPARE(
            texts(check({duty(Dec(4), {22, 0}, {6, 0}), duty(Dec(5), {14, 0}, {22, 0})}),
                  Rule::Rest),
            QStringList(
                "05.12.: Ruhezeit 8:00 Std. (mindestens 11:00 Std.) nach dem Dienst am 04.12."));
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
                 QStringList("07.12.: Arbeitszeit 11:00 Std. (höchstens 10:00 Std.)"));
        QCOMPARE(
            texts(found, Rule::Breaks),
            QStringList("07.12.: Pause 30 Min. bei 11:00 Std. Arbeitszeit (mindestens 45 Min.)"));
        // 10 hours of work are allowed
        QVERIFY(check({duty(Dec(7), {6, 0}, {16, 45}, 0.75)}).empty());
        // 7 hours with a quarter of an hour of break, and with half an hour
        QCOMPARE(
            texts(check({duty(Dec(8), {8, 0}, {15, 0}, 0.25)}), Rule::Breaks),
            QStringList("08.12.: Pause 15 Min. bei 6:45 Std. Arbeitszeit (mindestens 30 Min.)"));
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
        week = {duty(Dec(1), {8, 0}, {14, 0}),          duty(Dec(2), {8, 0}, {14, 0}),
                label(Dec(3), DutyKind::Work, 8),       duty(Dec(4), {8, 0}, {14, 0}),
                duty(Dec(5), {8, 0}, {14, 0}),          duty(Dec(6), {8, 0}, {14, 0}),
                label(Dec(7), DutyKind::Vacation, 7.7), duty(Dec(8), {8, 0}, {14, 0})};
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
        sundays.back() = label(QDate(2026, 10, 4), DutyKind::Vacation, 7.7);
        QVERIFY(check(sundays, {}, QDate(2026, 10, 1)).empty());
    }

    void daysOffAreAPropertyOfTheDutyNotASubstring() {
        data::DutyKinds kinds;
        QCOMPARE(kinds.of(QStringLiteral("Urlaub"), false), DutyKind::Vacation);
        QCOMPARE(kinds.of(QStringLiteral("urlaub halbtags"), true), DutyKind::Vacation);
        QCOMPARE(kinds.of(QStringLiteral("Krank"), false), DutyKind::Sick);
        QCOMPARE(kinds.of(QStringLiteral("Frei"), false), DutyKind::Free);
        QCOMPARE(kinds.of(QStringLiteral("Freizeitausgleich"), false), DutyKind::Free);
        QCOMPARE(kinds.of(QStringLiteral("Freizeitbegleitung"), true), DutyKind::Work);
        QCOMPARE(kinds.of(QStringLiteral("Krankenhausbegl"), true), DutyKind::Work);
        QCOMPARE(kinds.of(QString(), false), DutyKind::Work);
        // a 12-hour hospital escort is work: too long, and too short a break
        const DutyKind escort = kinds.of(QStringLiteral("Krankenhausbegl"), true);
        const auto found = check({duty(Dec(10), {7, 0}, {19, 0}, 0.5, escort)});
        QCOMPARE(texts(found, Rule::DailyMaximum),
                 QStringList("10.12.: Arbeitszeit 11:30 Std. (höchstens 10:00 Std.)"));
        QCOMPARE(texts(found, Rule::Breaks).size(), 1);
        // the planner's choice holds over the word
        kinds.set(QStringLiteral(" krankenhausbegl "), DutyKind::Sick);
        QCOMPARE(kinds.of(QStringLiteral("Krankenhausbegl"), true), DutyKind::Sick);

        // days off and flat hours break no rule
        const std::vector<CheckedDuty> duties = {
            duty(Dec(3), {14, 0}, {22, 0}),
            label(Dec(4), DutyKind::Vacation, 7.7), // no work, so no short rest
            label(Dec(5), DutyKind::Work, 12),      // flat hours are no timed work
            duty(Dec(6), {6, 0}, {19, 0}, 0, DutyKind::Vacation),
            duty(Dec(7), {6, 0}, {19, 0}, 0, DutyKind::Sick),
            duty(Dec(8), {6, 0}, {19, 0}, 0, DutyKind::Free),
            label(Dec(9), DutyKind::Work, 0), // "berechne": nothing stored
        };
        QVERIFY(check(duties).empty());
        // an early duty after the late one, with the vacation day gone, is found
        QCOMPARE(texts(check({duties[0], duty(Dec(4), {6, 0}, {14, 0})}), Rule::Rest).size(), 1);
    }

    void twentyFourHourDuty() {
        // 07:00 to 07:00 with an hour of break: 23 hours of work, a day after its start
        const QVariant from(engine::dayNumber(QTime(7, 0)));
        QCOMPARE(roster::dutyHours(from, from.toDouble() + 1, 1.0, {}), 23.0);
        // what was stored before keeps its hours: an end equal to the start, a night duty
        QCOMPARE(roster::dutyHours(from, from, 1.0, {}), -1.0);
        QCOMPARE(roster::dutyHours(engine::dayNumber(QTime(22, 0)),
                                   engine::dayNumber(QTime(6, 0)) + 1, 0.5, {}),
                 7.5);
        const auto found =
            check({duty(Dec(7), {7, 0}, {7, 0}, 1.0), duty(Dec(8), {15, 0}, {21, 0})});
        QCOMPARE(texts(found, Rule::DailyMaximum),
                 QStringList("07.12.: Arbeitszeit 23:00 Std. (höchstens 10:00 Std.)"));
        QCOMPARE(texts(found, Rule::Breaks),
                 QStringList("07.12.: 23:00 Std. Arbeitszeit mit einer Pause: mehr als 6:00 Std. "
                             "ohne Pause"));
        QCOMPARE(texts(found, Rule::Rest),
                 QStringList("08.12.: Ruhezeit 8:00 Std. (mindestens 11:00 Std.) nach dem Dienst "
                             "am 07.12."));
    }

    void shortenedRestMadeUpWithinTheMonthOrFourWeeks() {
        data::WorkingTimeRules rules = onlyRest(10);
        rules.compensationOn = true;
        // 07:00 to 19:00 every day leaves 12 hours of rest; to 21:00 on the 3rd leaves 10
        std::vector<CheckedDuty> duties;
        daily(duties, Dec(1), QDate(2027, 1, 31), {7, 0}, {19, 0});
        const auto withEnd = [&duties](const QTime& end, const QDate& shortened,
                                       const QDate& off = {}) {
            std::vector<CheckedDuty> changed;
            for (CheckedDuty d : duties) {
                d.ende = engine::dayNumber(d.day == shortened ? QTime(21, 0) : end);
                if (d.day != off) changed.push_back(d);
            }
            return changed;
        };
        // made up: the next rest has 12 hours
        QVERIFY(check(withEnd({19, 0}, Dec(3)), rules).empty());
        // every other rest of 11:30: not made up in December nor by 31.12.
        QCOMPARE(texts(check(withEnd({19, 30}, Dec(3)), rules), Rule::Compensation),
                 QStringList("04.12.: Ruhezeit 10:00 Std. nach dem Dienst am 03.12. nicht "
                             "ausgeglichen: keine Ruhezeit von mindestens 12:00 Std. im Dezember "
                             "oder bis 31.12."));
        // a day off later in the month makes it up
        QVERIFY(check(withEnd({19, 30}, Dec(3), Dec(20)), rules).empty());
        // shortened on the 20th: a rest that begins within four weeks (17 January, 19:30) makes
        // it up, one that begins a day later does not
        QVERIFY(check(withEnd({19, 30}, Dec(20), QDate(2027, 1, 18)), rules).empty());
        QCOMPARE(
            texts(check(withEnd({19, 30}, Dec(20), QDate(2027, 1, 19)), rules), Rule::Compensation)
                .size(),
            1);
        // the rest rule at 11 hours finds the short rest itself; there is nothing to make up
        rules.minRest = 11;
        const auto found = check(withEnd({19, 30}, Dec(3)), rules);
        QCOMPARE(texts(found, Rule::Compensation), QStringList());
        QCOMPARE(texts(found, Rule::Rest).size(), 1);
    }

    void averageOfFortyEightHoursAWeekOverTwentyFourWeeks() {
        data::WorkingTimeRules rules = none();
        rules.averageOn = true;
        // the 24 weeks up to 31 December 2026 begin on 17 July; 120 Mondays to Fridays of
        // 9:48 hours are 49 hours a week, of 9:24 hours 47
        const auto weekdays = [](const QTime& end) {
            std::vector<CheckedDuty> duties;
            for (QDate d(2026, 7, 17); d <= Dec(31); d = d.addDays(1)) {
                if (d.dayOfWeek() <= 5) duties.push_back(duty(d, {7, 0}, end, 0));
            }
            return duties;
        };
        QCOMPARE(texts(check(weekdays({16, 48}), rules), Rule::Average),
                 QStringList("31.12.: Durchschnittlich 49:00 Std. je Woche in den 24 Wochen vom "
                             "17.07. bis 31.12. (höchstens 48:00 Std.)"));
        QVERIFY(check(weekdays({16, 24}), rules).empty());
        // over six calendar months (July to December) 47 hours a week stay within the limit
        rules.averageMonths = true;
        QVERIFY(check(weekdays({16, 24}), rules).empty());
    }

    void sundayWorkCountsFromMidnightAndWantsASubstituteDay() {
        data::WorkingTimeRules rules = none();
        rules.substituteOn = true;
        // Saturday 5 December 21:00 to Sunday 06:30 works on the Sunday; Monday to Saturday of
        // the next two weeks are all worked, so no substitute rest day is left
        std::vector<CheckedDuty> duties = {duty(Dec(5), {21, 0}, {6, 30})};
        daily(duties, Dec(8), Dec(19), {7, 0}, {15, 0}, {Dec(13)});
        duties.push_back(duty(Dec(7), {17, 0}, {22, 0}));
        QCOMPARE(texts(check(duties, rules), Rule::SubstituteRestDay),
                 QStringList("05.12.: Kein Ersatzruhetag binnen zwei Wochen nach der Arbeit am "
                             "Sonntag, 06.12. (bis 20.12.)"));
        // Wednesday 16 December free: the substitute rest day
        std::vector<CheckedDuty> withDayOff;
        for (const CheckedDuty& d : duties) {
            if (d.day != Dec(16)) withDayOff.push_back(d);
        }
        QVERIFY(check(withDayOff, rules).empty());
        // a holiday on a weekday wants one within eight weeks; a Saturday off gives it
        const std::vector<QDate> christmas = {Dec(25)};
        std::vector<CheckedDuty> holiday = {duty(Dec(25), {7, 0}, {15, 0})};
        QVERIFY(check(holiday, rules, Dec(1), christmas).empty());
        daily(holiday, Dec(26), QDate(2027, 2, 20), {7, 0}, {15, 0});
        QCOMPARE(texts(check(holiday, rules, Dec(1), christmas), Rule::SubstituteRestDay),
                 QStringList({"25.12.: Kein Ersatzruhetag binnen acht Wochen nach der Arbeit am "
                              "Feiertag, 25.12. (bis 19.02.)",
                              "27.12.: Kein Ersatzruhetag binnen zwei Wochen nach der Arbeit am "
                              "Sonntag, 27.12. (bis 10.01.)"}));

        // the free Sundays of the year count the Sunday of a Saturday night duty
        std::vector<CheckedDuty> sundays;
        for (QDate d(2026, 1, 4); sundays.size() < 37; d = d.addDays(7))
            sundays.push_back(duty(d, {8, 0}, {14, 0}));
        sundays.push_back(duty(QDate(2026, 9, 19), {21, 0}, {6, 30}));
        QCOMPARE(texts(check(sundays, {}, QDate(2026, 9, 1)), Rule::Sundays),
                 QStringList("19.09.: Arbeit am Sonntag, 20.09.: nur noch 14 freie Sonntage im "
                             "Jahr 2026 möglich (mindestens 15)"));
    }

    void sundayRestJoinedToTheDailyRest() {
        data::WorkingTimeRules rules = none();
        rules.joinedRestOn = true;
        // Saturday late duty to 22:00, Sunday free, Monday at 06:00: 32 hours of rest
        const std::vector<CheckedDuty> weekend = {duty(Dec(5), {14, 0}, {22, 0}),
                                                  duty(Dec(7), {6, 0}, {14, 0})};
        QCOMPARE(texts(check(weekend, rules), Rule::JoinedRest),
                 QStringList("07.12.: Sonntagsruhe am 06.12. mit 32:00 Std. Ruhe (mindestens "
                             "35:00 Std.: 24 Std. und die Ruhezeit)"));
        // Monday at 09:00: 35 hours; with the 10-hour rest, 34 hours are enough
        QVERIFY(check({weekend[0], duty(Dec(7), {9, 0}, {17, 0})}, rules).empty());
        rules.minRest = 10;
        QVERIFY(check({weekend[0], duty(Dec(7), {8, 0}, {16, 0})}, rules).empty());
        QCOMPARE(texts(check({weekend[0], duty(Dec(7), {7, 59}, {16, 0})}, rules), Rule::JoinedRest)
                     .size(),
                 1);
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
        QCOMPARE(lines, QStringList(
                            {"Anna & <Ünal> 2 06.12. Sonntagsdienst: nur noch 14 freie Sonntage "
                             "im Jahr 2026 möglich (mindestens 15)",
                             "Anna & <Ünal> 2 10.12. Arbeitszeit 11:00 Std. (höchstens 10:00 Std.)",
                             "Berta 1 01.12. Ruhezeit 8:00 Std. (mindestens 11:00 Std.) nach dem "
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
        QCOMPARE(
            grid.mark(2, 1),
            QStringLiteral("Ruhezeit 8:00 Std. (mindestens 11:00 Std.) nach dem Dienst am 30.11."));
        QCOMPARE(grid.mark(7, 2), QString()); // the Sundays are not checked
        QCOMPARE(grid.mark(11, 2), QStringLiteral("Arbeitszeit 11:00 Std. (höchstens 10:00 Std.)"));
        QCOMPARE(grid.mark(3, 1), QString());
        QVERIFY(t->prompts.messages().isEmpty());
    }

    // Read from the database, the weeks of the average before the duties read one by one are
    // summed up by the database: the same finding as from the duties themselves.
    void theAverageFromTheDatabase() {
        t = std::make_unique<testing::TestSession>(QDate(2026, 12, 6));
        t->createDatabase();
        data::DataUmgebung& env = t->env();
        env.Datenbank.execute(
            QStringLiteral("INSERT INTO Gruppen (Gruppenname) VALUES ('Station')"));
        const int anna = testing::addEmployee(env, QStringLiteral("Anna"), QDate(2020, 1, 1));
        env.Datenbank.execute(
            QStringLiteral("INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES (1, m, 1)"),
            {anna}, {QStringLiteral("m")});
        std::vector<CheckedDuty> duties;
        for (QDate d(2026, 7, 17); d <= Dec(31); d = d.addDays(1)) {
            if (d.dayOfWeek() > 5) continue;
            if (d == QDate(2026, 7, 20)) { // a day of vacation: neither work nor a day off
                testing::addLabel(env, anna, d, QStringLiteral("Urlaub"), 7.7);
                duties.push_back(label(d, DutyKind::Vacation, 7.7));
            } else {
                testing::addDuty(env, anna, d, {7, 0}, {16, 48}, 0);
                duties.push_back(duty(d, {7, 0}, {16, 48}, 0));
            }
        }
        data::WorkingTimeRules rules = none();
        rules.averageOn = true;
        const auto found = roster::checkGroupMonth(env, 1, Dec(1), Dec(31), rules);
        QCOMPARE(found.size(), size_t(1));
        // 119 days of 9:48 over 143 working days: 48:56 a week
        QCOMPARE(found[0].finding.text,
                 QStringLiteral("Durchschnittlich 48:56 Std. je Woche in den 24 Wochen vom 17.07. "
                                "bis 31.12. (höchstens 48:00 Std.)"));
        QCOMPARE(texts(check(duties, rules), Rule::Average),
                 QStringList(QStringLiteral("31.12.: ") + found[0].finding.text));
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
        // the nine tables of the design are untouched; the duty kinds have a table of their own
        QCOMPARE(db.tableNames().size(), 11);
        QVERIFY(db.tableExists(QStringLiteral("Dienstarten")));
    }

    void aTableOfAnEarlierVersionGetsTheLaterRules() {
        t = std::make_unique<testing::TestSession>();
        t->createDatabase();
        engine::Connection& db = t->env().Datenbank;
        db.execute(QStringLiteral(
            "CREATE TABLE Arbeitszeitregeln ([ID] int IDENTITY(1,1) NOT NULL,[RuhezeitPruefen] bit "
            "DEFAULT yes,[Ruhezeit] float DEFAULT 11 NOT NULL,[HoechstarbeitszeitPruefen] bit "
            "DEFAULT yes,[PausenPruefen] bit DEFAULT yes,[SonntagePruefen] bit DEFAULT yes,"
            "[ArbeitstagePruefen] bit DEFAULT yes,[Arbeitstage] int DEFAULT 6 NOT NULL,CONSTRAINT "
            "PrimaryKey PRIMARY KEY(ID) )"));
        db.execute(QStringLiteral("INSERT INTO Arbeitszeitregeln (Ruhezeit, PausenPruefen, "
                                  "Arbeitstage) VALUES (10, 0, 5)"));
        data::ensureWorkingTimeRulesTable(db);
        data::WorkingTimeRules expected;
        expected.minRest = 10;
        expected.breaksOn = false;
        expected.maxRun = 5;
        QCOMPARE(data::loadWorkingTimeRules(db), expected);
        expected.averageMonths = true;
        expected.joinedRestOn = false;
        data::saveWorkingTimeRules(db, expected);
        QCOMPARE(data::loadWorkingTimeRules(db), expected);

        // the duty kinds: the planner's choices are stored by short text, the rest preset
        db.execute(QStringLiteral("INSERT INTO Standarddienste (Taste, Anfang, Ende, Kurzinfo) "
                                  "VALUES ('K', 0.25, 0.75, 'Krankenhausbegl')"));
        db.execute(QStringLiteral("INSERT INTO Standarddienste (Taste, Kurzinfo, Pauschalstunden) "
                                  "VALUES ('U', 'Urlaub', 7.7)"));
        QList<data::StandardDutyKind> kinds = data::standardDutyKinds(db);
        QCOMPARE(kinds.size(), 2);
        QCOMPARE(kinds[0].kind, DutyKind::Work);
        QCOMPARE(kinds[1].kind, DutyKind::Vacation);
        kinds[0].kind = DutyKind::Free;
        data::saveDutyKinds(db, kinds);
        data::saveDutyKinds(db, kinds); // the same rows again
        QCOMPARE(data::standardDutyKinds(db)[0].kind, DutyKind::Free);
        QCOMPARE(data::loadDutyKinds(db).of(QStringLiteral("KRANKENHAUSBEGL"), true),
                 DutyKind::Free);
    }
};

QTEST_MAIN(TestWorkingTimeCheck)
#include "test_workingtimecheck.moc"
