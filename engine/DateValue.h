#pragma once
// Dates and times are day numbers counted from 30 December 1899, the time of day as the
// fraction (2 January 2002 is 37258). This is the one place where day numbers meet QDate,
// QTime and QDateTime. No time zone takes part: QDateTime values are always Qt::UTC.

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QVariant>

#include <optional>
#include <utility>

namespace engine {

QDate epoch(); // 30 December 1899

double dayNumber(const QDate& date);
double dayNumber(const QDateTime& dateTime);            // date and time of day, to the second
double dayNumber(const QTime& time);                    // the fraction of one day only
double dayNumber(const QDate& date, const QTime& time); // as of QDateTime(date, time, Qt::UTC)
// A date, a date/time, a time, or a number: the day number; null gives no value.
std::optional<double> dayNumber(const QVariant& value);

QDateTime dateTimeOf(double dayNumber); // rounded to the second, Qt::UTC
// The date and the time of day of dateTimeOf, without building the QDateTime.
std::pair<QDate, QTime> dateAndTimeOf(double dayNumber);
QDate dateOf(double dayNumber); // whole days; the time of day is dropped
QTime timeOf(double dayNumber); // time of day of the value, rounded to the second

// A value as a date/time (QDateTime, QDate or day number); an invalid QDateTime for null.
QDateTime toDateTime(const QVariant& value);
// The calendar day of a value (date part only).
QDate toDate(const QVariant& value);
// A QVariant carrying a date/time as the engine hands it out (QDateTime in UTC).
QVariant dateVariant(const QDate& date);
QVariant dateVariant(const QDateTime& dateTime);
QVariant dateVariant(double dayNumber);

} // namespace engine
