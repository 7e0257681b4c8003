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
// A number typed by the user in the locale (decimal comma in German); also accepts a full
// stop as decimal separator. ok is false for text that is not a number.
double parseNumber(const QString& text, bool* ok = nullptr);

} // namespace platform
