#include "roster/StaffingCheck.h"

#include "engine/DateValue.h"
#include "engine/Sqlite.h"
#include "engine/TextCompare.h"
#include "roster/GridSurface.h"
#include "roster/Konstanten.h"

#include <QLocale>

#include <cmath>

namespace roster {

namespace {

double timeOfDay(double dayNumber) {
    return dayNumber - std::floor(dayNumber);
}

// The part of a duty (from its start's time of day, ending on the next day when its end's time
// is not later) that falls into the window [from, to) of the same day (to past midnight when
// not later than from), in days.
double overlap(double start, double end, double from, double to) {
    if (end <= start) end += 1;
    if (to <= from) to += 1;
    return qMax(0.0, qMin(end, to) - qMax(start, from));
}

bool sameTime(const std::optional<double>& a, const std::optional<double>& b) {
    if (!a || !b) return !a && !b;
    return std::lround(timeOfDay(*a) * 86400) % 86400 == std::lround(timeOfDay(*b) * 86400) % 86400;
}

bool inShift(const StaffedDuty& duty, const data::StaffingRequirement& r,
             const StaffingRules& rules) {
    if (duty.kind != data::DutyKind::Work) return false;
    if (!r.key.isEmpty()) {
        const auto it = rules.standardDuties.constFind(r.key.toUpper());
        if (it == rules.standardDuties.cend()) return false;
        if (!it->kurzinfo.trimmed().isEmpty())
            return engine::sameText(duty.kurzinfo.trimmed(), it->kurzinfo.trimmed());
        return (it->anfang || it->ende) && sameTime(duty.anfang, it->anfang) &&
               sameTime(duty.ende, it->ende);
    }
    if (!r.from.isValid() || !r.to.isValid() || !duty.anfang || !duty.ende) return false;
    const double from = engine::dayNumber(r.from);
    double to = engine::dayNumber(r.to);
    const double length = (to <= from ? to + 1 : to) - from;
    return overlap(timeOfDay(*duty.anfang), timeOfDay(*duty.ende), from, to) * 2 >= length - 1e-9;
}

bool carries(const StaffingRules& rules, int maNr, int qualNr) {
    const QSet<int> held = rules.qualifications.value(maNr);
    if (qualNr != data::AnySkilled) return held.contains(qualNr);
    for (const data::Qualification& q : rules.qualificationList)
        if (q.skilled && held.contains(q.qualNr)) return true;
    return false;
}

QString percent(double value) {
    return QLocale(QLocale::German).toString(value, 'f', 0) + QStringLiteral(" %");
}

// What one requirement misses on a day: the parts of the text and the kinds.
int judge(const data::StaffingRequirement& r, int count, int qualified, const QString& qualName,
          QStringList& parts) {
    int kinds = 0;
    if (count < r.minimum) {
        kinds |= UnderStaffed;
        parts << QStringLiteral("%1 von %2").arg(count).arg(r.minimum);
    }
    if (r.maximum && count > *r.maximum) {
        kinds |= OverStaffed;
        parts << QStringLiteral("%1 von höchstens %2").arg(count).arg(*r.maximum);
    }
    if (r.qualNr == data::NoQualification || qualName.isEmpty()) return kinds;
    if (qualified < r.qualMinimum) {
        kinds |= QualificationMissing;
        parts << (qualified == 0 ? QStringLiteral("keine %1").arg(qualName)
                                 : QStringLiteral("nur %1 %2 (mindestens %3)")
                                       .arg(qualified)
                                       .arg(qualName)
                                       .arg(r.qualMinimum));
    }
    if (r.qualShare && count > 0 && qualified * 100.0 < *r.qualShare * count - 1e-9) {
        kinds |= QualificationMissing;
        parts << QStringLiteral("Anteil %3 %1 von %2 (%4, mindestens %5)")
                     .arg(qualified)
                     .arg(count)
                     .arg(qualName, percent(qualified * 100.0 / count), percent(*r.qualShare));
    }
    return kinds;
}

} // namespace

int dayKindBit(const QDate& day, const QSet<QDate>& holidays) {
    if (holidays.contains(day)) return data::HolidayBit;
    switch (day.dayOfWeek()) {
    case Qt::Saturday:
        return data::SaturdayBit;
    case Qt::Sunday:
        return data::SundayBit;
    default:
        return data::WeekdayBit;
    }
}

int StaffingMonth::kindsOn(const QDate& day) const {
    int kinds = 0;
    for (const StaffingGap& g : gaps)
        if (g.day == day) kinds |= g.kinds;
    return kinds;
}

QString StaffingMonth::tipOn(const QDate& day) const {
    QStringList lines;
    for (const StaffingGap& g : gaps)
        if (g.day == day) lines << g.text;
    return lines.join(QLatin1Char('\n'));
}

StaffingMonth checkStaffing(const QDate& first, const QDate& last,
                            const std::vector<StaffedDuty>& duties, const StaffingRules& rules) {
    StaffingMonth month;
    month.first = first;
    month.last = last;
    for (const data::StaffingRequirement& r : rules.requirements)
        if (!month.shifts.contains(r.shift)) month.shifts << r.shift;
    const int dayCount = int(first.daysTo(last)) + 1;
    month.days.resize(size_t(qMax(0, dayCount)));
    if (dayCount <= 0) return month;

    // the duties of each day, and per requirement who is on its shift
    std::vector<std::vector<const StaffedDuty*>> byDay(static_cast<size_t>(dayCount));
    for (const StaffedDuty& d : duties) {
        const qint64 index = first.daysTo(d.day);
        if (index >= 0 && index < dayCount) byDay[size_t(index)].push_back(&d);
    }
    for (int i = 0; i < dayCount; ++i) {
        const QDate day = first.addDays(i);
        const int kind = dayKindBit(day, rules.holidays);
        QHash<QString, QSet<int>> onShift;
        QHash<QString, QStringList> parts;
        QHash<QString, int> kinds;
        for (const data::StaffingRequirement& r : rules.requirements) {
            QSet<int> staff;
            for (const StaffedDuty* d : byDay[size_t(i)])
                if (inShift(*d, r, rules)) staff.insert(d->maNr);
            onShift[r.shift].unite(staff);
            if (!(r.days & kind)) continue;
            int qualified = 0;
            if (r.qualNr != data::NoQualification)
                for (const int maNr : std::as_const(staff))
                    qualified += carries(rules, maNr, r.qualNr) ? 1 : 0;
            kinds[r.shift] |=
                judge(r, int(staff.size()), qualified,
                      data::qualificationName(rules.qualificationList, r.qualNr), parts[r.shift]);
        }
        for (const QString& shift : std::as_const(month.shifts)) {
            month.days[size_t(i)].append({shift, int(onShift.value(shift).size())});
            if (kinds.value(shift) == 0) continue;
            QStringList p = parts.value(shift);
            p.removeDuplicates();
            month.gaps.append(
                {day, shift, kinds.value(shift), shift + QStringLiteral(": ") + p.join(", ")});
        }
    }
    return month;
}

StaffingMonth checkGroupStaffing(data::DataUmgebung& env, int groupNr, const QDate& first,
                                 const QDate& last) {
    engine::Connection& db = env.Datenbank;
    StaffingRules rules;
    rules.requirements = data::loadRequirements(db, groupNr);
    if (rules.requirements.isEmpty()) return checkStaffing(first, last, {}, rules);
    rules.qualificationList = data::loadQualifications(db);
    rules.qualifications = data::loadEmployeeQualifications(db);
    {
        engine::Statement st(db, QStringLiteral("SELECT Taste, Kurzinfo, Anfang, Ende FROM "
                                                "Standarddienste"));
        while (st.step())
            rules.standardDuties.insert(st.value(0).toString().toUpper(),
                                        {st.value(1).toString(), engine::dayNumber(st.value(2)),
                                         engine::dayNumber(st.value(3))});
    }
    {
        engine::Statement st(db, QStringLiteral("SELECT Tag FROM Feiertage WHERE Tag >= ?1 AND "
                                                "Tag < ?2"));
        st.bindAll({first, last.addDays(1)});
        while (st.step())
            if (const auto day = engine::dayNumber(st.value(0)))
                rules.holidays.insert(engine::dateOf(*day));
    }
    const data::DutyKinds kinds = data::loadDutyKinds(db);
    std::vector<StaffedDuty> duties;
    engine::Statement st(db, QStringLiteral("SELECT d.Tag, d.MaNr, d.Kurzinfo, d.Anfang, d.Ende "
                                            "FROM GpZuordnung g JOIN Dienstzeiten d ON d.MaNr = "
                                            "g.MaNr WHERE g.GruppenNr = ?1 AND g.DienstPos > 0 "
                                            "AND d.Tag >= ?2 AND d.Tag < ?3"));
    st.bindAll({groupNr, first, last.addDays(1)});
    while (st.step()) {
        StaffedDuty d;
        d.day = engine::dateOf(*engine::dayNumber(st.value(0)));
        d.maNr = int(st.int64(1));
        d.kurzinfo = st.value(2).toString();
        d.anfang = engine::dayNumber(st.value(3));
        d.ende = engine::dayNumber(st.value(4));
        d.kind = kinds.of(d.kurzinfo, d.anfang && d.ende);
        duties.push_back(std::move(d));
    }
    return checkStaffing(first, last, duties, rules);
}

QStringList staffingLines(const StaffingMonth& month) {
    QStringList lines;
    for (int s = 0; s < month.shifts.size(); ++s) {
        const QString& shift = month.shifts.at(s);
        QStringList counts;
        for (size_t d = 0; d < month.days.size(); ++d) {
            const QDate day = month.first.addDays(qint64(d));
            bool gap = false;
            for (const StaffingGap& g : month.gaps)
                gap = gap || (g.day == day && g.shift == shift);
            counts << QString::number(month.days[d].value(s).count) +
                          (gap ? QStringLiteral("!") : QString());
        }
        lines << shift + QStringLiteral(": ") + counts.join(QLatin1Char(' '));
    }
    if (!lines.isEmpty())
        lines << QStringLiteral("Anzahl je Tag vom 1. an; ! die Besetzung ist nicht erfüllt");
    return lines;
}

void markStaffing(GridSurface& grid, const StaffingMonth& month) {
    QHash<int, QPair<int, QStringList>> byRow;
    for (const StaffingGap& g : month.gaps) {
        auto& mark = byRow[g.day.day() + 1];
        mark.first |= g.kinds;
        mark.second << g.text;
    }
    for (auto it = byRow.cbegin(); it != byRow.cend(); ++it)
        if (it.key() < grid.rows())
            grid.setDayMark(it.key(), it->first, it->second.join(QLatin1Char('\n')));
}

const StaffingMonth& StaffingCache::month(data::DataUmgebung& env, int groupNr, const QDate& first,
                                          const QDate& last) {
    const quint64 stamp = env.Datenbank.changeCounter();
    if (!valid_ || groupNr != groupNr_ || first != first_ || month_.last != last ||
        stamp != stamp_ || connection_ != env.Datenbank.handle()) {
        valid_ = false;
        month_ = checkGroupStaffing(env, groupNr, first, last);
        groupNr_ = groupNr;
        first_ = first;
        stamp_ = stamp;
        connection_ = env.Datenbank.handle();
        valid_ = true;
    }
    return month_;
}

} // namespace roster
