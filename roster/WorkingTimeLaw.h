#pragma once
// The rules of the working-time check, on one employee's duties laid out on a line of minutes.
// roster/WorkingTimeCheck reads the duties and calls these; they are plain code on plain values.

#include "data/WorkingTimeRules.h"
#include "roster/WorkingTimeCheck.h"

#include <QDate>
#include <QString>

#include <map>
#include <set>
#include <vector>

namespace roster::law {

// A duty of timed work, its times in minutes counted on one line across the days.
struct Work {
    QDate day;        // the duty's day in the roster
    qint64 start = 0; // minutes since the start of the Julian day count
    qint64 end = 0;
    qint64 work = 0;  // minutes of work: the duty hours without flat hours
    qint64 pause = 0; // minutes of break
};

// One employee's duties as the rules see them.
struct Timeline {
    std::vector<Work> work;            // sorted by start
    std::vector<QDate> workingDays;    // days with a duty of work, sorted (runs of days)
    std::map<qint64, QDate> busyDays;  // Julian days with work from 0 to 24 Uhr -> the day of
                                       // the first duty that works on it
    std::set<qint64> absentDays;       // days of vacation or sickness
    std::set<qint64> holidays;         // full public holidays
    std::map<qint64, qint64> flatWork; // Julian day -> minutes of flat hours of work

    bool busy(qint64 day) const { return busyDays.count(day) != 0; }
};

Timeline timelineOf(const std::vector<CheckedDuty>& duties, const std::vector<QDate>& holidays);

constexpr qint64 MinutesPerDay = 24 * 60;
qint64 minutes(double hours);
// Minutes as hours and minutes: 9:59, 24:00.
QString clock(qint64 minutes);
// "04.12."
QString dayText(const QDate& day);

// Collects the findings of the days first to last.
struct Findings {
    QDate first;
    QDate last;
    std::vector<Finding> found;

    bool inMonth(const QDate& d) const { return d >= first && d <= last; }
    void add(const QDate& day, Rule rule, const QString& text) {
        if (inMonth(day)) found.push_back({day, rule, text});
    }
};

// Rest periods (§ 5 Abs. 1), the daily maximum (§ 3) and breaks (§ 4), duty by duty.
void checkTimedWork(const Timeline& t, const data::WorkingTimeRules& rules, Findings& out);
// Free Sundays of the year (§ 11 Abs. 1) and runs of working days.
void checkWorkingDays(const Timeline& t, const data::WorkingTimeRules& rules, Findings& out);
// Rests shortened to 10 hours, made up within the calendar month or four weeks (§ 5 Abs. 2).
void checkCompensation(const Timeline& t, const data::WorkingTimeRules& rules, Findings& out);
// At most 8 hours a working day on average over 24 weeks or 6 calendar months (§ 3 Satz 2); the
// days before carry.before are taken from the carry.
void checkAverage(const Timeline& t, const data::WorkingTimeRules& rules, const AverageCarry& carry,
                  Findings& out);
// The first day of the average's period that ends on last.
QDate averagePeriodStart(const data::WorkingTimeRules& rules, const QDate& first,
                         const QDate& last);
// Substitute rest days (§ 11 Abs. 3) and the Sunday rest joined to the daily rest (§ 11 Abs. 4).
void checkRestDays(const Timeline& t, const data::WorkingTimeRules& rules, Findings& out);

} // namespace roster::law
