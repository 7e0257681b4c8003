#include "platform/Formats.h"

#include <QRegularExpression>

#include <algorithm>

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
    // "hh:mm" written directly: the grid shows two of these per duty, and QTime::toString goes
    // through the locale's general date formatting each time
    if (!time.isValid()) return QString();
    const auto digit = [](int n) { return QChar(u'0' + n); };
    const QChar text[5] = {digit(time.hour() / 10), digit(time.hour() % 10), u':',
                           digit(time.minute() / 10), digit(time.minute() % 10)};
    return QString(text, 5);
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

namespace platform {

QDate parseDate(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return QDate();
    // The order of day, month and year comes from the locale's short date pattern; the
    // separator may be any of . / - and the year may have two or four digits.
    const QString pattern = shortDatePattern().toLower();
    const int d = int(pattern.indexOf(QLatin1Char('d')));
    const int m = int(pattern.indexOf(QLatin1Char('m')));
    const int y = int(pattern.indexOf(QLatin1Char('y')));
    const QStringList parts =
        t.split(QRegularExpression(QStringLiteral("[./\\-\\s]+")), Qt::SkipEmptyParts);
    if (parts.size() != 3 || d < 0 || m < 0 || y < 0) return QDate();
    QList<QPair<int, char>> order = {{d, 'd'}, {m, 'm'}, {y, 'y'}};
    std::sort(order.begin(), order.end());
    int day = 0, month = 0, year = 0;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int v = parts.at(i).toInt(&ok);
        if (!ok) return QDate();
        switch (order.at(i).second) {
        case 'd':
            day = v;
            break;
        case 'm':
            month = v;
            break;
        default:
            year = v;
            if (parts.at(i).size() <= 2) year += year < 30 ? 2000 : 1900;
            break;
        }
    }
    return QDate(year, month, day); // invalid for 31 February
}

QTime parseTime(const QString& text) {
    const QString t = text.trimmed();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^(\\d{1,2})[:.](\\d{1,2})(?:[:.](\\d{1,2}))?$"))
            .match(t);
    if (!m.hasMatch()) return QTime();
    return QTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QString dateInputMask() {
    // the display pattern with a digit place for every letter
    QString mask = dateDisplayPattern();
    for (QChar& c : mask) {
        if (c.isLetter()) c = QLatin1Char('#');
    }
    return mask;
}

QString dateDisplayPattern() {
    // two places for day and month, the year as the pattern writes it
    QString result;
    const QString p = shortDatePattern();
    for (int i = 0; i < p.size();) {
        const QChar c = p.at(i);
        int run = 1;
        while (i + run < p.size() && p.at(i + run) == c)
            ++run;
        if (c == QLatin1Char('d'))
            result += QStringLiteral("dd");
        else if (c == QLatin1Char('M'))
            result += QStringLiteral("MM");
        else if (c == QLatin1Char('y'))
            result += run >= 4 ? QStringLiteral("yyyy") : QStringLiteral("yy");
        else
            result += QString(run, c);
        i += run;
    }
    return result;
}

} // namespace platform
