#include "roster/WorkingTimeCheck.h"

#include "engine/DateValue.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/Query.h"
#include "roster/WorkingTimeLaw.h"

#include <algorithm>

namespace roster {

QString ruleName(Rule rule) {
    switch (rule) {
    case Rule::Rest:
        return QStringLiteral("Ruhezeit (§ 5 ArbZG)");
    case Rule::Compensation:
        return QStringLiteral("Ausgleich der Ruhezeit (§ 5 Abs. 2 ArbZG)");
    case Rule::DailyMaximum:
        return QStringLiteral("Höchstarbeitszeit (§ 3 ArbZG)");
    case Rule::Average:
        return QStringLiteral("Durchschnittliche Arbeitszeit (§ 3 ArbZG)");
    case Rule::Breaks:
        return QStringLiteral("Ruhepausen (§ 4 ArbZG)");
    case Rule::Sundays:
        return QStringLiteral("Freie Sonntage (§ 11 Abs. 1 ArbZG)");
    case Rule::SubstituteRestDay:
        return QStringLiteral("Ersatzruhetag (§ 11 Abs. 3 ArbZG)");
    case Rule::JoinedRest:
        return QStringLiteral("Sonntagsruhe mit Ruhezeit (§ 11 Abs. 4 ArbZG)");
    case Rule::WorkingDaysInRow:
        return QStringLiteral("Arbeitstage in Folge");
    }
    return QString();
}

std::vector<Finding> checkDuties(const std::vector<CheckedDuty>& duties, const QDate& first,
                                 const QDate& last, const data::WorkingTimeRules& rules,
                                 const std::vector<QDate>& holidays, const AverageCarry& carry) {
    const law::Timeline timeline = law::timelineOf(duties, holidays);
    law::Findings out{first, last, {}};
    law::checkTimedWork(timeline, rules, out);
    law::checkCompensation(timeline, rules, out);
    law::checkAverage(timeline, rules, carry, out);
    law::checkWorkingDays(timeline, rules, out);
    law::checkRestDays(timeline, rules, out);
    std::stable_sort(out.found.begin(), out.found.end(), [](const Finding& a, const Finding& b) {
        return a.day != b.day ? a.day < b.day : a.rule < b.rule;
    });
    return std::move(out.found);
}

std::vector<MemberFinding> checkGroupMonth(data::DataUmgebung& env, int group, const QDate& first,
                                           const QDate& last, const data::WorkingTimeRules& rules) {
    std::vector<MemberFinding> result;
    if (!rules.anyOn()) return result;
    static const Query members(
        QStringLiteral("SELECT GpZuordnung.MaNr, GpZuordnung.DienstPos, Mitarbeiter.PlanName "
                       "FROM GpZuordnung INNER JOIN Mitarbeiter ON GpZuordnung.MaNr = "
                       "Mitarbeiter.MaNr WHERE (GpZuordnung.GruppenNr = [parGruppe]) AND "
                       "(GpZuordnung.DienstPos > 0)"),
        {QStringLiteral("parGruppe")});
    // the weeks around the month that the rules reach to, and the Saturdays and Sundays of the
    // year before them (a Saturday night duty works on the Sunday); read through the index on
    // employee and day
    static const Query duties(
        QStringLiteral("SELECT Tag, Anfang, Ende, Pause, Normstunden, Kurzinfo FROM Dienstzeiten "
                       "WHERE (MaNr = [parMaNr]) AND (Tag >= [parAb]) AND (Tag <= [parBis]) AND "
                       "((Tag >= [parVon]) OR (CAST(Tag AS INTEGER) % 7 IN (0, 1))) ORDER BY Tag"),
        {QStringLiteral("parMaNr"), QStringLiteral("parAb"), QStringLiteral("parBis"),
         QStringLiteral("parVon")});
    static const Query fullHolidays(
        QStringLiteral("SELECT Tag FROM Feiertage WHERE (Tag >= [parVon]) AND (Tag <= [parBis]) "
                       "AND ((Prozent IS NULL) OR (Prozent >= 1)) ORDER BY Tag"),
        {QStringLiteral("parVon"), QStringLiteral("parBis")});
    // the sums of the average's period before the duties read one by one
    static const Query sums(
        QStringLiteral("SELECT Kurzinfo, ((Anfang IS NOT NULL) AND (Ende IS NOT NULL)) AS Zeit, "
                       "SUM(round((") +
            TimedHoursSql +
            QStringLiteral(") * 60)) AS Arbeit, SUM(CASE WHEN Normstunden > 0 THEN "
                           "round(Normstunden * 60) ELSE 0 END) AS Pauschal, "
                           "SUM(CAST(Tag AS INTEGER) % 7 <> 1) AS Werktage FROM Dienstzeiten "
                           "WHERE (MaNr = [parMaNr]) AND (Tag >= [parVon]) AND (Tag <= [parBis]) "
                           "GROUP BY Kurzinfo, Zeit"),
        {QStringLiteral("parMaNr"), QStringLiteral("parVon"), QStringLiteral("parBis")});
    const auto day = [](const QVariant& v) { return engine::dayNumber(v); };

    std::vector<QDate> holidays;
    QueryRun holiday(env.Datenbank, fullHolidays,
                     {first.addDays(-HolidayReachDays), last.addDays(HolidayReachDays)});
    bool holidayNear = false; // a holiday on a working day whose substitute day may fall in
    while (holiday.next()) {
        if (const auto tag = day(holiday.value(0))) {
            const QDate d = engine::dateOf(*tag);
            holidays.push_back(d);
            holidayNear = holidayNear || (d <= last && d.dayOfWeek() != Qt::Sunday);
        }
    }
    const QDate windowStart = first.addDays(-(holidayNear ? HolidayReachDays : LookBackDays));
    const QDate readTo = last.addDays(holidayNear ? HolidayReachDays : LookAheadDays);
    const QDate readFrom =
        rules.sundaysOn ? std::min(windowStart, QDate(last.year(), 1, 1).addDays(-1)) : windowStart;
    const QDate averageFrom = law::averagePeriodStart(rules, first, last);
    const bool carried = rules.averageOn && averageFrom < windowStart;
    const data::DutyKinds kinds = data::loadDutyKinds(env.Datenbank);
    QueryRun member(env.Datenbank, members, {group});
    std::vector<CheckedDuty> read;
    while (member.next()) {
        const int maNr = member.value(0).toInt();
        const int position = member.value(1).toInt();
        const QString name = member.value(2).toString();
        read.clear();
        QueryRun run(env.Datenbank, duties, {maNr, readFrom, readTo, windowStart});
        while (run.next()) {
            const auto tag = day(run.value(0));
            if (!tag) continue;
            CheckedDuty d;
            d.day = engine::dateOf(*tag);
            d.anfang = day(run.value(1));
            d.ende = day(run.value(2));
            d.pause = nullToDouble(run.value(3));
            d.flatHours = nullToDouble(run.value(4));
            d.kind = kinds.of(run.value(5).toString(), d.anfang && d.ende);
            read.push_back(std::move(d));
        }
        AverageCarry carry;
        if (carried) {
            carry.before = windowStart;
            QueryRun sum(env.Datenbank, sums, {maNr, averageFrom, windowStart.addDays(-1)});
            while (sum.next()) {
                const bool timed = sum.value(1).toLongLong() != 0;
                switch (kinds.of(sum.value(0).toString(), timed)) {
                case data::DutyKind::Work:
                    carry.workMinutes += (timed ? qint64(nullToDouble(sum.value(2))) : 0) +
                                         qint64(nullToDouble(sum.value(3)));
                    break;
                case data::DutyKind::Vacation:
                case data::DutyKind::Sick:
                    carry.absentWorkingDays += sum.value(4).toLongLong();
                    break;
                case data::DutyKind::Free:
                    break;
                }
            }
        }
        for (Finding& f : checkDuties(read, first, last, rules, holidays, carry))
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

const std::vector<MemberFinding>& WorkingTimeCache::month(data::DataUmgebung& env, int group,
                                                          const QDate& first, const QDate& last) {
    if (!valid_ || group != group_ || first != first_ || last != last_ ||
        env.Datenbank.changeCounter() != stamp_ || connection_ != env.Datenbank.handle()) {
        valid_ = false;
        found_ =
            checkGroupMonth(env, group, first, last, data::loadWorkingTimeRules(env.Datenbank));
        group_ = group;
        first_ = first;
        last_ = last;
        stamp_ = env.Datenbank.changeCounter();
        connection_ = env.Datenbank.handle();
        valid_ = true;
    }
    return found_;
}

} // namespace roster
