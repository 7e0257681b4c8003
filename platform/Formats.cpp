#include "platform/Formats.h"

#include <cmath>
#include <optional>

namespace platform {

namespace {

std::optional<QLocale>& overrideLocale() {
    static std::optional<QLocale> locale;
    return locale;
}

// The program's locale for numbers it writes: never with group separators.
QLocale numberLocale() {
    QLocale result = locale();
    result.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return result;
}

// A value that rounds to zero in the shown precision is shown without a minus sign.
double withoutNegativeZero(double value, double unit) {
    return std::abs(value) < unit / 2 || value == 0.0 ? 0.0 : value;
}

QString withoutTrailingStop(QString text) {
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

} // namespace

QLocale locale() {
    if (overrideLocale()) return *overrideLocale();
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C || system.name() == QLatin1String("POSIX"))
        return QLocale(QLocale::German, QLocale::Germany);
    return system;
}

void setLocale(const QLocale& locale) {
    if (locale == QLocale::system()) {
        resetLocale();
        return;
    }
    overrideLocale() = locale;
}

void resetLocale() {
    overrideLocale().reset();
}

QString fixed(double value) {
    return numberLocale().toString(withoutNegativeZero(value, 0.01), 'f', 2);
}

QString sumText(double value) {
    return fixed(value) + QStringLiteral("   ");
}

QString generalNumber(double value) {
    return numberLocale().toString(withoutNegativeZero(value, 0.0), 'g', 15);
}

QString currency(double value) {
    return locale().toCurrencyString(value);
}

QString dayLabel(const QDate& date) {
    const QLocale loc = locale();
    return loc.toString(date, QStringLiteral("dd")) + QLatin1Char('.') +
           withoutTrailingStop(loc.standaloneDayName(date.dayOfWeek(), QLocale::ShortFormat));
}

QString monthName(int month) {
    return locale().standaloneMonthName(month, QLocale::LongFormat);
}

QString monthTitle(const QDate& date) {
    return monthName(date.month()) + QLatin1Char('.') +
           locale().toString(date, QStringLiteral("yy"));
}

QString monthYear(const QDate& date) {
    return monthName(date.month()) + QLatin1Char(' ') +
           locale().toString(date, QStringLiteral("yyyy"));
}

QString shortDate(const QDate& date) {
    return locale().toString(date, QLocale::ShortFormat);
}

QString shortDatePattern() {
    return locale().dateFormat(QLocale::ShortFormat);
}

QString dateSeparator() {
    for (const QChar c : shortDatePattern()) {
        if (!c.isLetter()) return QString(c);
    }
    return QStringLiteral(".");
}

QString timeText(const QTime& time) {
    return time.toString(QStringLiteral("hh:mm"));
}

QString sqlDate(const QDate& date) {
    return QStringLiteral("%1/%2/%3")
        .arg(date.month())
        .arg(date.day())
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString sqlDateLiteral(const QDate& date) {
    return QLatin1Char('#') + sqlDate(date) + QLatin1Char('#');
}

double parseNumber(const QString& text, bool* ok) {
    // Group separators are refused: the program never shows them, and in German a full stop
    // typed by the user is meant as the decimal separator (7.5 is 7,5, not 75).
    const QString trimmed = text.trimmed();
    bool parsed = false;
    double value = 0.0;
    if (!trimmed.isEmpty()) {
        value = numberLocale().toDouble(trimmed, &parsed);
        if (!parsed) {
            QLocale c = QLocale::c();
            c.setNumberOptions(QLocale::RejectGroupSeparator);
            value = c.toDouble(trimmed, &parsed);
        }
    }
    if (ok) *ok = parsed;
    return parsed ? value : 0.0;
}

} // namespace platform
