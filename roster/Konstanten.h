#pragma once
// Hour arithmetic of duties, the text of a roster cell, free days and working days, and the
// null-safe conversions every roster, print and evaluation window uses.

#include "data/DataUmgebung.h"

#include <QDate>
#include <QFont>
#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

namespace roster {

// Copies name, size, bold and italic from src to dst.
void copyFont(const QFont& src, QFont& dst);

// "" for 0, else the number in the "Fixed" format (7,50).
QString fixedOrBlankLong(qint32 value);
// "" for null and for 0, else the value in the "Fixed" format.
QString fixedOrBlank(const QVariant& value);
// 0 for null (and for text that is no number), else the value rounded to a 32-bit integer.
qint32 nullToLong(const QVariant& value);
// 0.0 for null, the empty string and text that is no number, else the value as a double.
double nullToDouble(const QVariant& value);
// null for the empty string, else the value itself.
QVariant emptyToNull(const QVariant& value);

// The last day of the date's month.
QDate lastDayOfMonth(const QDate& date);

// The holidays of a range of days, read from the holiday table at once.
class Holidays {
public:
    Holidays() = default;
    Holidays(data::DataUmgebung& env, const QDate& first, const QDate& last);
    bool contains(const QDate& day) const;
    // The working share of the part holidays (a Prozent between 0 and 1: 0,5 is a half day) on
    // the weekdays from first to last: 1 - Prozent each. Every other holiday is a whole day.
    double partWorkDays(const QDate& first, const QDate& last) const;

private:
    std::vector<qint64> days_;                       // sorted Julian day numbers
    std::vector<std::pair<qint64, double>> partial_; // sorted: day, Prozent
};

// Saturday, Sunday, and every day listed in the holiday table.
bool isFreeDay(data::DataUmgebung& env, const QDate& day);
bool isFreeDay(const Holidays& holidays, const QDate& day);
// The days from first to last inclusive that are not free days.
int workDays(data::DataUmgebung& env, const QDate& first, const QDate& last);
int workDays(const Holidays& holidays, const QDate& first, const QDate& last);

// The hours of one duty: HOUR(Ende - Anfang) + MINUTE(Ende - Anfang) / 60 - Pause when both
// times are present, plus the flat hours. As the database sums do it, the break counts only
// with the times. Whole days of the difference are ignored (22:00 to 06:00 of the next day
// is 8 hours), except a difference of exactly one day: that is a 24-hour duty (07:00 to 07:00
// of the next day is 24 hours), which the editors store for an end equal to the start.
double dutyHours(const QVariant& anfang, const QVariant& ende, const QVariant& pause,
                 const QVariant& flatHours);
// True when a difference of day numbers is exactly one day (to the second).
bool isWholeDay(double span);

// The text of a roster cell: "hh:mm - hh:mm" and the first two letters of the short text;
// without a start time the short text, else the flat hours, else "berechne".
QString dutyText(const QVariant& anfang, const QVariant& ende, const QVariant& kurzinfo,
                 const QVariant& flatHours);

} // namespace roster
