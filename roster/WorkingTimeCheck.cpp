#include "roster/WorkingTimeCheck.h"

#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/Query.h"

#include <algorithm>
#include <cmath>

namespace roster {

namespace {

// Statutory figures, in minutes where they are times.
constexpr int MaxDailyWork = 10 * 60;        // § 3
constexpr int WorkNeedingBreak = 6 * 60;     // § 4: more than 6 hours ...
constexpr int ShortBreak = 30;               // ... at least 30 minutes
constexpr int WorkNeedingLongBreak = 9 * 60; // more than 9 hours ...
constexpr int LongBreak = 45;                // ... at least 45 minutes
constexpr int FreeSundays = 15;              // § 11 Abs. 1

// A duty of timed work, its times in minutes counted on one line across the days.
struct Work {
    QDate day;
    qint64 start = 0;
    qint64 end = 0;
    qint64 work = 0;  // minutes of work: the duty hours without flat hours
    qint64 pause = 0; // minutes of break
};

bool isTimed(const CheckedDuty& d) {
    return d.anfang && d.ende && !isAbsence(d.kurzinfo);
}

bool isWorkingDay(const CheckedDuty& d) {
    return !isAbsence(d.kurzinfo) && ((d.anfang && d.ende) || d.flatHours > 0);
}

qint64 minutes(double hours) {
    return std::llround(hours * 60);
}

Work workOf(const CheckedDuty& d) {
    const QVariant anfang(*d.anfang);
    const QVariant ende(*d.ende);
    const QTime start = engine::timeOf(*d.anfang);
    Work w;
    w.day = d.day;
    w.start = d.day.toJulianDay() * 24 * 60 + start.hour() * 60 + start.minute();
    // the duty hours rule: whole days of Ende - Anfang are ignored, so a night duty ends on
    // the day after its start
    w.end = w.start + minutes(dutyHours(anfang, ende, QVariant(), QVariant()));
    w.work = minutes(dutyHours(anfang, ende, d.pause, QVariant()));
    w.pause = minutes(d.pause);
    return w;
}

// Hours with at most two decimals: 9,5; 8,33.
QString hoursText(qint64 mins) {
    return platform::generalNumber(std::round(mins / 60.0 * 100) / 100);
}

QString dayText(const QDate& day) {
    return day.toString(QStringLiteral("dd.MM."));
}

int sundaysOfYear(int year) {
    int n = 0;
    for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
        if (d.dayOfWeek() == Qt::Sunday) ++n;
    }
    return n;
}

struct Checker {
    const QDate& first;
    const QDate& last;
    const data::WorkingTimeRules& rules;
    std::vector<Finding> found;

    bool inMonth(const QDate& d) const { return d >= first && d <= last; }
    void add(const QDate& day, Rule rule, const QString& text) {
        if (inMonth(day)) found.push_back({day, rule, text});
    }

    void timedWork(const std::vector<Work>& work) {
        const Work* latest = nullptr; // the duty that ended last so far
        for (const Work& w : work) {
            if (rules.restOn && latest) {
                const qint64 rest = w.start - latest->end;
                if (rest < 0)
                    add(w.day, Rule::Rest,
                        QStringLiteral("Der Dienst beginnt vor dem Ende des Dienstes am %1")
                            .arg(dayText(latest->day)));
                else if (rest < minutes(rules.minRest))
                    add(w.day, Rule::Rest,
                        QStringLiteral(
                            "Ruhezeit %1 Std. (mindestens %2 Std.) nach dem Dienst am %3")
                            .arg(hoursText(rest), hoursText(minutes(rules.minRest)),
                                 dayText(latest->day)));
            }
            if (!latest || w.end > latest->end) latest = &w;
            if (rules.dailyOn && w.work > MaxDailyWork)
                add(w.day, Rule::DailyMaximum,
                    QStringLiteral("Arbeitszeit %1 Std. (höchstens %2 Std.)")
                        .arg(hoursText(w.work), hoursText(MaxDailyWork)));
            const qint64 needed = w.work > WorkNeedingLongBreak ? LongBreak
                                  : w.work > WorkNeedingBreak   ? ShortBreak
                                                                : 0;
            if (rules.breaksOn && w.pause < needed)
                add(w.day, Rule::Breaks,
                    QStringLiteral("Pause %1 Min. bei %2 Std. Arbeitszeit (mindestens %3 Min.)")
                        .arg(w.pause)
                        .arg(hoursText(w.work))
                        .arg(needed));
        }
    }

    void workingDays(const std::vector<QDate>& days) {
        const int year = last.year();
        const int sundays = sundaysOfYear(year);
        int sundaysOnDuty = 0;
        int run = 0;
        QDate previous;
        for (const QDate& d : days) {
            run = previous.isValid() && previous.addDays(1) == d ? run + 1 : 1;
            previous = d;
            if (rules.runOn && run > rules.maxRun)
                add(d, Rule::WorkingDaysInRow,
                    QStringLiteral("%1. Arbeitstag in Folge (höchstens %2)")
                        .arg(run)
                        .arg(rules.maxRun));
            if (d.year() != year || d.dayOfWeek() != Qt::Sunday) continue;
            ++sundaysOnDuty;
            const int possible = sundays - sundaysOnDuty;
            if (rules.sundaysOn && possible < FreeSundays)
                add(d, Rule::Sundays,
                    QStringLiteral("Sonntagsdienst: nur noch %1 freie Sonntage im Jahr %2 möglich "
                                   "(mindestens %3)")
                        .arg(possible)
                        .arg(year)
                        .arg(FreeSundays));
        }
    }
};

} // namespace

QString ruleName(Rule rule) {
    switch (rule) {
    case Rule::Rest:
        return QStringLiteral("Ruhezeit (§ 5 ArbZG)");
    case Rule::DailyMaximum:
        return QStringLiteral("Höchstarbeitszeit (§ 3 ArbZG)");
    case Rule::Breaks:
        return QStringLiteral("Ruhepausen (§ 4 ArbZG)");
    case Rule::Sundays:
        return QStringLiteral("Freie Sonntage (§ 11 ArbZG)");
    case Rule::WorkingDaysInRow:
        return QStringLiteral("Arbeitstage in Folge");
    }
    return QString();
}

std::vector<Finding> checkDuties(const std::vector<CheckedDuty>& duties, const QDate& first,
                                 const QDate& last, const data::WorkingTimeRules& rules) {
    std::vector<Work> work;
    std::vector<QDate> days;
    for (const CheckedDuty& d : duties) {
        if (d.day > last) continue;
        if (isTimed(d)) work.push_back(workOf(d));
        if (isWorkingDay(d) && (days.empty() || days.back() != d.day)) days.push_back(d.day);
    }
    std::sort(work.begin(), work.end(),
              [](const Work& a, const Work& b) { return a.start < b.start; });
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    Checker checker{first, last, rules, {}};
    checker.timedWork(work);
    checker.workingDays(days);
    std::stable_sort(checker.found.begin(), checker.found.end(),
                     [](const Finding& a, const Finding& b) {
                         return a.day != b.day ? a.day < b.day : a.rule < b.rule;
                     });
    return std::move(checker.found);
}

std::vector<MemberFinding> checkGroupMonth(data::DataUmgebung& env, int group, const QDate& first,
                                           const QDate& last, const data::WorkingTimeRules& rules) {
    std::vector<MemberFinding> result;
    if (!rules.restOn && !rules.dailyOn && !rules.breaksOn && !rules.sundaysOn && !rules.runOn)
        return result;
    static const Query members(
        QStringLiteral("SELECT GpZuordnung.MaNr, GpZuordnung.DienstPos, Mitarbeiter.PlanName "
                       "FROM GpZuordnung INNER JOIN Mitarbeiter ON GpZuordnung.MaNr = "
                       "Mitarbeiter.MaNr WHERE (GpZuordnung.GruppenNr = [parGruppe]) AND "
                       "(GpZuordnung.DienstPos > 0)"),
        {QStringLiteral("parGruppe")});
    // the days before the month that rest periods and runs reach back to, and the Sundays of
    // the year before them (read through the index on employee and day)
    static const Query duties(
        QStringLiteral("SELECT Tag, Anfang, Ende, Pause, Normstunden, Kurzinfo FROM Dienstzeiten "
                       "WHERE (MaNr = [parMaNr]) AND (Tag >= [parAb]) AND (Tag <= [parBis]) AND "
                       "((Tag >= [parVon]) OR (CAST(Tag AS INTEGER) % 7 = 1)) ORDER BY Tag"),
        {QStringLiteral("parMaNr"), QStringLiteral("parAb"), QStringLiteral("parBis"),
         QStringLiteral("parVon")});
    const QDate windowStart = first.addDays(-LookBackDays);
    const QDate readFrom =
        rules.sundaysOn ? std::min(windowStart, QDate(last.year(), 1, 1)) : windowStart;
    const auto day = [](const QVariant& v) { return engine::dayNumber(v); };

    QueryRun member(env.Datenbank, members, {group});
    std::vector<CheckedDuty> read;
    while (member.next()) {
        const int maNr = member.value(0).toInt();
        const int position = member.value(1).toInt();
        const QString name = member.value(2).toString();
        read.clear();
        QueryRun run(env.Datenbank, duties, {maNr, readFrom, last, windowStart});
        while (run.next()) {
            const auto tag = day(run.value(0));
            if (!tag) continue;
            CheckedDuty d;
            d.day = engine::dateOf(*tag);
            d.anfang = day(run.value(1));
            d.ende = day(run.value(2));
            d.pause = nullToDouble(run.value(3));
            d.flatHours = nullToDouble(run.value(4));
            d.kurzinfo = run.value(5).toString();
            read.push_back(std::move(d));
        }
        for (Finding& f : checkDuties(read, first, last, rules))
            result.push_back({maNr, position, name, std::move(f)});
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const MemberFinding& a, const MemberFinding& b) {
                         if (const int c = QString::localeAwareCompare(a.planName, b.planName))
                             return c < 0;
                         if (a.position != b.position) return a.position < b.position;
                         return a.finding.day < b.finding.day;
                     });
    return result;
}

} // namespace roster
