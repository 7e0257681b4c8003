#include "roster/WorkingTimeLaw.h"

#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/Konstanten.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace roster::law {

namespace {

// Statutory figures, in minutes where they are times.
constexpr qint64 MaxDailyWork = 10 * 60;        // § 3 Satz 1
constexpr qint64 AverageDailyWork = 8 * 60;     // § 3 Satz 2, on a working day (Mon to Sat)
constexpr qint64 WorkNeedingBreak = 6 * 60;     // § 4: more than 6 hours ...
constexpr qint64 ShortBreak = 30;               // ... at least 30 minutes
constexpr qint64 WorkNeedingLongBreak = 9 * 60; // more than 9 hours ...
constexpr qint64 LongBreak = 45;                // ... at least 45 minutes
constexpr qint64 LongestStretch = 6 * 60;       // no more than 6 hours without a break
constexpr qint64 FullRest = 11 * 60;            // § 5 Abs. 1
constexpr qint64 CompensatingRest = 12 * 60;    // § 5 Abs. 2
constexpr int CompensationDays = 4 * 7;         // ... within four weeks (or the month)
constexpr int FreeSundays = 15;                 // § 11 Abs. 1
constexpr int SubstituteAfterSunday = 2 * 7;    // § 11 Abs. 3
constexpr int SubstituteAfterHoliday = 8 * 7;

bool isTimed(const CheckedDuty& d) {
    return d.anfang && d.ende && d.kind == data::DutyKind::Work;
}

bool isWorkingDay(const CheckedDuty& d) {
    return d.kind == data::DutyKind::Work && ((d.anfang && d.ende) || d.flatHours > 0);
}

Work workOf(const CheckedDuty& d) {
    const QVariant anfang(*d.anfang);
    const QVariant ende(*d.ende);
    const QTime start = engine::timeOf(*d.anfang);
    Work w;
    w.day = d.day;
    w.start = d.day.toJulianDay() * MinutesPerDay + start.hour() * 60 + start.minute();
    // the duty hours rule: a night duty ends on the day after its start, a 24-hour duty a
    // day after its start
    w.end = w.start + minutes(dutyHours(anfang, ende, QVariant(), QVariant()));
    w.work = minutes(dutyHours(anfang, ende, d.pause, QVariant()));
    w.pause = minutes(d.pause);
    return w;
}

QDate dateOf(qint64 julianDay) {
    return QDate::fromJulianDay(julianDay);
}

qint64 dayOf(qint64 minute) {
    return minute >= 0 ? minute / MinutesPerDay : (minute - MinutesPerDay + 1) / MinutesPerDay;
}

bool isWeekday(qint64 julianDay) {
    return dateOf(julianDay).dayOfWeek() != Qt::Sunday;
}

// The rests between one duty's end and the next duty's start, in the order of the duties.
struct RestPeriod {
    qint64 from = 0;   // the end of the duty before
    qint64 length = 0; // minutes; negative when the next duty starts before
    const Work* before = nullptr;
    const Work* after = nullptr;
};

std::vector<RestPeriod> restPeriods(const std::vector<Work>& work) {
    std::vector<RestPeriod> rests;
    const Work* latest = nullptr; // the duty that ended last so far
    for (const Work& w : work) {
        if (latest) rests.push_back({latest->end, w.start - latest->end, latest, &w});
        if (!latest || w.end > latest->end) latest = &w;
    }
    return rests;
}

} // namespace

qint64 minutes(double hours) {
    return std::llround(hours * 60);
}

QString clock(qint64 mins) {
    const qint64 a = std::llabs(mins);
    return QStringLiteral("%1%2:%3")
        .arg(mins < 0 ? QStringLiteral("-") : QString())
        .arg(a / 60)
        .arg(a % 60, 2, 10, QLatin1Char('0'));
}

QString dayText(const QDate& day) {
    return day.toString(QStringLiteral("dd.MM."));
}

Timeline timelineOf(const std::vector<CheckedDuty>& duties, const std::vector<QDate>& holidays) {
    Timeline t;
    for (const QDate& h : holidays)
        t.holidays.insert(h.toJulianDay());
    for (const CheckedDuty& d : duties) {
        const qint64 day = d.day.toJulianDay();
        if (d.kind == data::DutyKind::Vacation || d.kind == data::DutyKind::Sick)
            t.absentDays.insert(day);
        if (isWorkingDay(d)) t.workingDays.push_back(d.day);
        if (isTimed(d)) t.work.push_back(workOf(d));
        if (d.kind == data::DutyKind::Work && d.flatHours > 0) {
            t.flatWork[day] += minutes(d.flatHours);
            if (!(d.anfang && d.ende)) t.busyDays.emplace(day, d.day);
        }
    }
    std::sort(t.work.begin(), t.work.end(),
              [](const Work& a, const Work& b) { return a.start < b.start; });
    for (const Work& w : t.work) {
        // every calendar day on which the duty works, from 0 to 24 Uhr
        // (the duty of the day itself names it, before a night duty of the day before)
        for (qint64 day = dayOf(w.start); day <= dayOf(w.end - 1); ++day) {
            if (day == w.day.toJulianDay())
                t.busyDays[day] = w.day;
            else
                t.busyDays.emplace(day, w.day);
        }
    }
    std::sort(t.workingDays.begin(), t.workingDays.end());
    t.workingDays.erase(std::unique(t.workingDays.begin(), t.workingDays.end()),
                        t.workingDays.end());
    return t;
}

void checkTimedWork(const Timeline& t, const data::WorkingTimeRules& rules, Findings& out) {
    if (rules.restOn) {
        for (const RestPeriod& r : restPeriods(t.work)) {
            if (r.length < 0)
                out.add(r.after->day, Rule::Rest,
                        QStringLiteral("Der Dienst beginnt vor dem Ende des Dienstes am %1")
                            .arg(dayText(r.before->day)));
            else if (r.length < minutes(rules.minRest))
                out.add(
                    r.after->day, Rule::Rest,
                    QStringLiteral("Ruhezeit %1 Std. (mindestens %2 Std.) nach dem Dienst am %3")
                        .arg(clock(r.length), clock(minutes(rules.minRest)),
                             dayText(r.before->day)));
        }
    }
    for (const Work& w : t.work) {
        if (rules.dailyOn && w.work > MaxDailyWork)
            out.add(w.day, Rule::DailyMaximum,
                    QStringLiteral("Arbeitszeit %1 Std. (höchstens %2 Std.)")
                        .arg(clock(w.work), clock(MaxDailyWork)));
        if (!rules.breaksOn) continue;
        const qint64 needed = w.work > WorkNeedingLongBreak ? LongBreak
                              : w.work > WorkNeedingBreak   ? ShortBreak
                                                            : 0;
        if (w.pause < needed)
            out.add(w.day, Rule::Breaks,
                    QStringLiteral("Pause %1 Min. bei %2 Std. Arbeitszeit (mindestens %3 Min.)")
                        .arg(w.pause)
                        .arg(clock(w.work))
                        .arg(needed));
        // a duty holds one break: more than twice six hours of work leave a longer stretch
        else if (w.work > 2 * LongestStretch)
            out.add(w.day, Rule::Breaks,
                    QStringLiteral("%1 Std. Arbeitszeit mit einer Pause: mehr als %2 Std. ohne "
                                   "Pause")
                        .arg(clock(w.work), clock(LongestStretch)));
    }
}

void checkWorkingDays(const Timeline& t, const data::WorkingTimeRules& rules, Findings& out) {
    if (rules.runOn) {
        int run = 0;
        QDate previous;
        for (const QDate& d : t.workingDays) {
            run = previous.isValid() && previous.addDays(1) == d ? run + 1 : 1;
            previous = d;
            if (run > rules.maxRun)
                out.add(d, Rule::WorkingDaysInRow,
                        QStringLiteral("%1. Arbeitstag in Folge (höchstens %2)")
                            .arg(run)
                            .arg(rules.maxRun));
        }
    }
    if (!rules.sundaysOn) return;
    const int year = out.last.year();
    int sundays = 0;
    for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
        if (d.dayOfWeek() == Qt::Sunday) ++sundays;
    }
    int sundaysOnDuty = 0;
    for (const auto& [day, dutyDay] : t.busyDays) {
        const QDate d = dateOf(day);
        if (d.year() != year || d.dayOfWeek() != Qt::Sunday) continue;
        const int possible = sundays - ++sundaysOnDuty;
        if (possible >= FreeSundays) continue;
        const QString rest = QStringLiteral("nur noch %1 freie Sonntage im Jahr %2 möglich "
                                            "(mindestens %3)")
                                 .arg(possible)
                                 .arg(year)
                                 .arg(FreeSundays);
        out.add(dutyDay, Rule::Sundays,
                dutyDay == d ? QStringLiteral("Sonntagsdienst: ") + rest
                             : QStringLiteral("Arbeit am Sonntag, %1: ").arg(dayText(d)) + rest);
    }
}

void checkCompensation(const Timeline& t, const data::WorkingTimeRules& rules, Findings& out) {
    // only a rest allowed below 11 hours needs making up; below the minimum it is a finding
    // of the rest rule
    if (!rules.compensationOn || minutes(rules.minRest) >= FullRest) return;
    const std::vector<RestPeriod> rests = restPeriods(t.work);
    std::vector<const RestPeriod*> longRests;
    for (const RestPeriod& r : rests) {
        if (r.length >= CompensatingRest) longRests.push_back(&r);
    }
    std::vector<bool> used(longRests.size(), false);
    const qint64 lastEnd =
        t.work.empty()
            ? 0
            : std::max_element(t.work.begin(), t.work.end(), [](const Work& a, const Work& b) {
                  return a.end < b.end;
              })->end;
    for (const RestPeriod& r : rests) {
        if (r.length < minutes(rules.minRest) || r.length >= FullRest) continue;
        const QDate month = dateOf(dayOf(r.from));
        const qint64 until = r.from + CompensationDays * MinutesPerDay;
        const auto fits = [&](const RestPeriod* l) {
            const QDate d = dateOf(dayOf(l->from));
            return (d.year() == month.year() && d.month() == month.month()) ||
                   (l->from > r.from && l->from <= until);
        };
        bool madeUp = false;
        for (size_t i = 0; i < longRests.size() && !madeUp; ++i) {
            if (!used[i] && fits(longRests[i])) used[i] = madeUp = true;
        }
        // the rest after the last duty read is open: it may still be planned long enough
        if (madeUp || lastEnd <= until) continue;
        out.add(r.after->day, Rule::Compensation,
                QStringLiteral("Ruhezeit %1 Std. nach dem Dienst am %2 nicht ausgeglichen: keine "
                               "Ruhezeit von mindestens %3 Std. im %4 oder bis %5")
                    .arg(clock(r.length), dayText(r.before->day), clock(CompensatingRest),
                         platform::monthName(month.month()), dayText(dateOf(dayOf(until)))));
    }
}

QDate averagePeriodStart(const data::WorkingTimeRules& rules, const QDate& first,
                         const QDate& last) {
    return rules.averageMonths ? QDate(first.year(), first.month(), 1).addMonths(-5)
                               : last.addDays(-(24 * 7 - 1));
}

void checkAverage(const Timeline& t, const data::WorkingTimeRules& rules, const AverageCarry& carry,
                  Findings& out) {
    if (!rules.averageOn) return;
    const QDate from = averagePeriodStart(rules, out.first, out.last);
    const qint64 start = from.toJulianDay();
    // the days before the carry's end come from the carry, the others one by one
    const qint64 a = carry.before.isValid() ? std::max(start, carry.before.toJulianDay()) : start;
    const qint64 b = out.last.toJulianDay();
    qint64 worked = carry.workMinutes;
    for (const Work& w : t.work) {
        const qint64 day = w.day.toJulianDay();
        if (day >= a && day <= b) worked += w.work;
    }
    for (auto it = t.flatWork.lower_bound(a); it != t.flatWork.end() && it->first <= b; ++it)
        worked += it->second;
    // the working days of the period are Monday to Saturday; days of vacation and sickness
    // are neither work nor a day that makes up for it
    qint64 workingDays = -carry.absentWorkingDays;
    for (qint64 day = start; day <= b; ++day) {
        if (isWeekday(day) && (day < a || !t.absentDays.count(day))) ++workingDays;
    }
    if (worked <= AverageDailyWork * workingDays) return;
    // shown on the employee's last working day of the month
    QDate shown;
    for (auto it = t.workingDays.rbegin(); it != t.workingDays.rend() && !shown.isValid(); ++it) {
        if (out.inMonth(*it)) shown = *it;
    }
    if (!shown.isValid()) return;
    const qint64 weekly = workingDays ? std::llround(double(worked) * 6 / workingDays) : worked;
    const QString period =
        rules.averageMonths
            ? QStringLiteral("in den 6 Kalendermonaten %1 bis %2")
                  .arg(platform::monthName(from.month()), platform::monthYear(out.last))
            : QStringLiteral("in den 24 Wochen vom %1 bis %2")
                  .arg(dayText(from), dayText(out.last));
    out.add(shown, Rule::Average,
            QStringLiteral("Durchschnittlich %1 Std. je Woche %2 (höchstens %3 Std.)")
                .arg(clock(weekly), period, clock(AverageDailyWork * 6)));
}

void checkRestDays(const Timeline& t, const data::WorkingTimeRules& rules, Findings& out) {
    if (!rules.substituteOn && !rules.joinedRestOn) return;
    // days of rest whose rest must be joined to the daily rest: free Sundays, free holidays,
    // and the substitute rest days given for work on them
    std::set<qint64> restDays;
    std::set<qint64> given;
    const auto freeWeekday = [&](qint64 day) {
        return isWeekday(day) && !t.holidays.count(day) && !t.busy(day) &&
               !t.absentDays.count(day) && !given.count(day);
    };
    for (const auto& [day, dutyDay] : t.busyDays) {
        const bool sunday = !isWeekday(day);
        if (!sunday && !t.holidays.count(day)) continue;
        const int within = sunday ? SubstituteAfterSunday : SubstituteAfterHoliday;
        qint64 substitute = 0;
        for (qint64 d = day + 1; d <= day + within && !substitute; ++d) {
            if (freeWeekday(d)) substitute = d;
        }
        if (substitute) {
            given.insert(substitute);
            restDays.insert(substitute);
        } else if (rules.substituteOn) {
            out.add(dutyDay, Rule::SubstituteRestDay,
                    QStringLiteral("Kein Ersatzruhetag %1 nach der Arbeit am %2, %3 (bis %4)")
                        .arg(sunday ? QStringLiteral("binnen zwei Wochen")
                                    : QStringLiteral("binnen acht Wochen"),
                             sunday ? QStringLiteral("Sonntag") : QStringLiteral("Feiertag"),
                             dayText(dateOf(day)), dayText(dateOf(day + within))));
        }
    }
    if (!rules.joinedRestOn || t.work.empty()) return;
    const qint64 firstDay = dayOf(t.work.front().start);
    const qint64 lastDay = out.last.toJulianDay() + 1;
    for (qint64 day = firstDay; day <= lastDay; ++day) {
        if ((!isWeekday(day) || t.holidays.count(day)) && !t.busy(day)) restDays.insert(day);
    }
    // the latest end among the duties that start before each duty
    std::vector<qint64> endBefore(t.work.size());
    qint64 latest = std::numeric_limits<qint64>::min();
    for (size_t i = 0; i < t.work.size(); ++i) {
        endBefore[i] = latest;
        latest = std::max(latest, t.work[i].end);
    }
    const qint64 needed = MinutesPerDay + minutes(rules.minRest);
    for (const qint64 day : restDays) {
        const auto next =
            std::lower_bound(t.work.begin(), t.work.end(), (day + 1) * MinutesPerDay,
                             [](const Work& w, qint64 minute) { return w.start < minute; });
        if (next == t.work.end()) continue;
        const qint64 before = endBefore[size_t(next - t.work.begin())];
        if (before == std::numeric_limits<qint64>::min() || next->start - before >= needed)
            continue;
        const QDate d = dateOf(day);
        const QString what = given.count(day) ? QStringLiteral("Ersatzruhetag")
                             : isWeekday(day) ? QStringLiteral("Feiertagsruhe")
                                              : QStringLiteral("Sonntagsruhe");
        out.add(next->day, Rule::JoinedRest,
                QStringLiteral("%1 am %2 mit %3 Std. Ruhe (mindestens %4 Std.: 24 Std. und die "
                               "Ruhezeit)")
                    .arg(what, dayText(d), clock(next->start - before), clock(needed)));
    }
}

} // namespace roster::law
