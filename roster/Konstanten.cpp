#include "roster/Konstanten.h"

#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/Query.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace roster {

namespace {

bool isNullValue(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

bool isEmptyText(const QVariant& value) {
    return value.typeId() == QMetaType::QString && value.toString().isEmpty();
}

// Time of day of a date/time value; invalid for null.
QTime timeOfDay(const QVariant& value) {
    const auto day = engine::dayNumber(value);
    return day ? engine::timeOf(*day) : QTime();
}

bool isWeekend(const QDate& day) {
    return day.dayOfWeek() == Qt::Saturday || day.dayOfWeek() == Qt::Sunday;
}

} // namespace

void copyFont(const QFont& src, QFont& dst) {
    dst.setFamily(src.family());
    dst.setPointSizeF(src.pointSizeF());
    dst.setBold(src.bold());
    dst.setItalic(src.italic());
}

QString fixedOrBlankLong(qint32 value) {
    return value == 0 ? QString() : platform::fixed(value);
}

QString fixedOrBlank(const QVariant& value) {
    const double number = nullToDouble(value);
    return number == 0.0 ? QString() : platform::fixed(number);
}

qint32 nullToLong(const QVariant& value) {
    if (isNullValue(value)) return 0;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number)) return 0;
    // Halves go to the even neighbour, as the conversion to a whole number always did.
    const double rounded = std::nearbyint(number);
    return qint32(std::clamp(rounded, double(std::numeric_limits<qint32>::min()),
                             double(std::numeric_limits<qint32>::max())));
}

double nullToDouble(const QVariant& value) {
    if (isNullValue(value) || isEmptyText(value)) return 0.0;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? number : 0.0;
}

QVariant emptyToNull(const QVariant& value) {
    return isEmptyText(value) ? QVariant() : value;
}

QDate lastDayOfMonth(const QDate& date) {
    return QDate(date.year(), date.month(), date.daysInMonth());
}

Holidays::Holidays(data::DataUmgebung& env, const QDate& first, const QDate& last) {
    static const Query query(QStringLiteral("SELECT Tag, Prozent FROM Feiertage WHERE "
                                            "(Tag >= [parVon]) AND (Tag < [parBis])"),
                             {QStringLiteral("parVon"), QStringLiteral("parBis")});
    QueryRun run(env.Datenbank, query, {first, last.addDays(1)});
    while (run.next()) {
        const auto day = engine::dayNumber(run.value(0));
        if (!day) continue;
        const qint64 julian = engine::dateOf(*day).toJulianDay();
        days_.push_back(julian);
        const QVariant prozent = run.value(1);
        if (!prozent.isNull() && prozent.toDouble() > 0.0 && prozent.toDouble() < 1.0)
            partial_.emplace_back(julian, prozent.toDouble());
    }
    std::sort(days_.begin(), days_.end());
    std::sort(partial_.begin(), partial_.end());
}

double Holidays::partWorkDays(const QDate& first, const QDate& last) const {
    double share = 0.0;
    for (const auto& [julian, prozent] : partial_) {
        const QDate day = QDate::fromJulianDay(julian);
        if (day >= first && day <= last && !isWeekend(day)) share += 1.0 - prozent;
    }
    return share;
}

bool Holidays::contains(const QDate& day) const {
    return std::binary_search(days_.begin(), days_.end(), day.toJulianDay());
}

bool isFreeDay(const Holidays& holidays, const QDate& day) {
    return isWeekend(day) || holidays.contains(day);
}

bool isFreeDay(data::DataUmgebung& env, const QDate& day) {
    return isWeekend(day) || Holidays(env, day, day).contains(day);
}

int workDays(const Holidays& holidays, const QDate& first, const QDate& last) {
    int n = 0;
    for (QDate d = first; d <= last; d = d.addDays(1)) {
        if (!isFreeDay(holidays, d)) ++n;
    }
    return n;
}

int workDays(data::DataUmgebung& env, const QDate& first, const QDate& last) {
    if (last < first) return 0;
    return workDays(Holidays(env, first, last), first, last);
}

bool isWholeDay(double span) {
    return std::llround(span * 86400.0) == 86400;
}

double dutyHours(const QVariant& anfang, const QVariant& ende, const QVariant& pause,
                 const QVariant& flatHours) {
    double timed = 0.0;
    const auto start = engine::dayNumber(anfang);
    const auto end = engine::dayNumber(ende);
    if (start && end) {
        const QTime span = engine::timeOf(*end - *start);
        timed = span.hour() + 1.0 / 60 * span.minute() - nullToDouble(pause);
        if (isWholeDay(*end - *start)) timed += 24;
    }
    return timed + nullToDouble(flatHours);
}

QString dutyText(const QVariant& anfang, const QVariant& ende, const QVariant& kurzinfo,
                 const QVariant& flatHours) {
    const QString shortText = isNullValue(kurzinfo) ? QString() : kurzinfo.toString();
    if (isNullValue(anfang) || isEmptyText(anfang)) {
        if (!shortText.isEmpty()) return shortText;
        if (isNullValue(flatHours)) return QStringLiteral("berechne");
        return platform::generalNumber(nullToDouble(flatHours));
    }
    const QTime start = timeOfDay(anfang);
    const QTime end = timeOfDay(ende);
    return (start.isValid() ? platform::timeText(start) : QString()) + QStringLiteral(" - ") +
           (end.isValid() ? platform::timeText(end) : QString()) + QLatin1Char(' ') +
           shortText.left(2);
}

} // namespace roster
