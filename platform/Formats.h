#pragma once
// Number and date texts in the one locale of the program: the user's (QLocale::system()), or
// German (Germany) when that is the C/POSIX locale. The old Windows format names map here.

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace platform {

QLocale locale();
// Tests set the locale explicitly; an invalid/default QLocale() argument restores the rule above.
void setLocale(const QLocale& locale);
void resetLocale();

QString fixed(double value);         // "Fixed": at least one digit, two decimals: 7,50
QString sumText(double value);       // "0.00   ": two decimals and three blanks: 7,50
QString generalNumber(double value); // ordinary text: up to 15 significant digits: 7,5
QString currency(double value);      // the locale's currency format
QString dayLabel(const QDate& date); // "dd.ddd": 05.Di (abbreviated weekday, no full stop)
QString monthName(int month);        // "mmmm": März
QString monthTitle(const QDate& date); // "mmmm.yy": Dezember.26
QString monthYear(const QDate& date);  // "mmmm yyyy": Dezember 2026
QString shortDate(const QDate& date);  // the locale's short date (dd.MM.yy in German)
QString shortDatePattern();            // the locale's short date pattern (dd.MM.yy)
QString dateSeparator();               // "." in German, "/" in the United States
QString timeText(const QTime& time);   // "hh:mm"
QString sqlDate(const QDate& date);    // SQL date literal body m/d/yyyy (no leading zeros)
QString sqlDateLiteral(const QDate& date); // "#m/d/yyyy#"
// A date typed by the user in the order of the locale's short date pattern (day.month.year in
// German), with two- or four-digit years (00 to 29 are 2000 to 2029); invalid when it is none.
QDate parseDate(const QString& text);
// "hh:mm" or "h:mm[:ss]"; invalid when it is no time of day (25:00).
QTime parseTime(const QString& text);
// The input mask of a date box built from the short date pattern and its separator:
// "d.M.yyyy" and "dd.MM.yyyy" give "##.##.####" (# a digit).
QString dateInputMask();
// The pattern dates are shown in within such a box: "dd.MM.yyyy".
QString dateDisplayPattern();
// A number typed by the user in the locale (decimal comma in German); also accepts a full
// stop as decimal separator. ok is false for text that is not a number.
double parseNumber(const QString& text, bool* ok = nullptr);

} // namespace platform
