#include "engine/DateValue.h"

#include <cmath>

namespace engine {

QDate epoch() {
    return QDate(1899, 12, 30);
}

double dayNumber(const QDate& date) {
    return static_cast<double>(epoch().daysTo(date));
}

double dayNumber(const QTime& time) {
    return time.msecsSinceStartOfDay() / 86400000.0;
}

double dayNumber(const QDateTime& dateTime) {
    const QDateTime utc = dateTime.timeSpec() == Qt::UTC
                              ? dateTime
                              : QDateTime(dateTime.date(), dateTime.time(), Qt::UTC);
    return dayNumber(utc.date(), utc.time());
}

double dayNumber(const QDate& date, const QTime& time) {
    const double days = dayNumber(date);
    const double fraction = QTime(0, 0).secsTo(time) / 86400.0;
    // The old engine stored times before 1899 as negative days with a positive fraction;
    // we never write such values, so the plain sum is used.
    return days + fraction;
}

std::optional<double> dayNumber(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::QDate:
        return dayNumber(value.toDate());
    case QMetaType::QDateTime:
        return dayNumber(value.toDateTime());
    case QMetaType::QTime:
        return dayNumber(value.toTime());
    case QMetaType::QString: {
        const QString s = value.toString().trimmed();
        if (s.isEmpty()) return std::nullopt;
        bool ok = false;
        const double d = s.toDouble(&ok);
        if (ok) return d;
        QDateTime dt = QDateTime::fromString(s, Qt::ISODate);
        if (dt.isValid()) return dayNumber(dt);
        return std::nullopt;
    }
    default: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (ok) return d;
        return std::nullopt;
    }
    }
}

std::pair<QDate, QTime> dateAndTimeOf(double dayNumber) {
    // Round to the second first, so that 0.999999 days is the next midnight, not 23:59:59.
    const double seconds = std::round(dayNumber * 86400.0);
    const double wholeDays = std::floor(seconds / 86400.0);
    const qint64 secOfDay = static_cast<qint64>(seconds - wholeDays * 86400.0);
    const QDate date = epoch().addDays(static_cast<qint64>(wholeDays));
    return {date, QTime(0, 0).addSecs(static_cast<int>(secOfDay))};
}

QDateTime dateTimeOf(double dayNumber) {
    const auto [date, time] = dateAndTimeOf(dayNumber);
    return QDateTime(date, time, Qt::UTC);
}

QDate dateOf(double dayNumber) {
    return dateTimeOf(dayNumber).date();
}

QTime timeOf(double dayNumber) {
    // as dateTimeOf(|dayNumber|).time(), without building the date (HOUR and MINUTE run this
    // for every row they read)
    const double seconds = std::round(std::fabs(dayNumber) * 86400.0);
    const double secOfDay = seconds - std::floor(seconds / 86400.0) * 86400.0;
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(secOfDay) * 1000);
}

QDateTime toDateTime(const QVariant& value) {
    const auto d = dayNumber(value);
    return d ? dateTimeOf(*d) : QDateTime();
}

QDate toDate(const QVariant& value) {
    const auto d = dayNumber(value);
    return d ? dateOf(*d) : QDate();
}

QVariant dateVariant(const QDate& date) {
    return date.isValid() ? QVariant(QDateTime(date, QTime(0, 0), Qt::UTC)) : QVariant();
}

QVariant dateVariant(const QDateTime& dateTime) {
    return dateTime.isValid() ? QVariant(dateTimeOf(dayNumber(dateTime))) : QVariant();
}

QVariant dateVariant(double dayNumber) {
    return QVariant(dateTimeOf(dayNumber));
}

} // namespace engine
