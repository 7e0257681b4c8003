#include "roster/DutyBlockFormat.h"

#include "engine/DateValue.h"
#include "platform/Formats.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <charconv>
#include <cmath>
#include <limits>

namespace roster {

namespace {

const QChar Tab = QLatin1Char('\t');

// Appends a whole number of 0 to 10^width - 1 with leading zeros.
void appendDigits(QString& text, int value, int width) {
    char16_t digits[4];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[i] = char16_t(u'0' + value % 10);
    text.append(QStringView(digits, width));
}

QString dateText(double dayNumber) {
    // written by hand: a block of a month holds thousands of these, and Qt's date formatting goes
    // through the locale each time (years outside 1..9999 keep its form)
    const auto [d, t] = engine::dateAndTimeOf(dayNumber);
    QString text;
    text.reserve(19);
    // a time of day alone lies on the first day of the count, as the old engine showed it
    const bool dated = d != engine::epoch();
    if (dated) {
        if (d.year() >= 1 && d.year() <= 9999) {
            appendDigits(text, d.day(), 2);
            text += QLatin1Char('.');
            appendDigits(text, d.month(), 2);
            text += QLatin1Char('.');
            appendDigits(text, d.year(), 4);
        } else {
            text = d.toString(QStringLiteral("dd.MM.yyyy"));
        }
        if (t == QTime(0, 0)) return text;
        text += QLatin1Char(' ');
    }
    if (t.isValid()) {
        appendDigits(text, t.hour(), 2);
        text += QLatin1Char(':');
        appendDigits(text, t.minute(), 2);
        text += QLatin1Char(':');
        appendDigits(text, t.second(), 2);
    }
    return text;
}

// The parts of a date text; a part that is missing keeps its zeros.
struct DateParts {
    bool hasDate = false;
    bool hasTime = false;
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
};

// "dd.MM.yyyy", "HH:mm:ss" and "dd.MM.yyyy HH:mm:ss" in ASCII digits, the forms the block text
// writes, read without the pattern (a month's block holds thousands); no value for any other
// text. They read exactly as the pattern reads them.
std::optional<DateParts> writtenDateParts(QStringView text) {
    const auto number = [&text](qsizetype at, qsizetype width) {
        int value = 0;
        for (qsizetype i = at; i < at + width; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9') return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    const qsizetype size = text.size();
    if (size != 8 && size != 10 && size != 19) return std::nullopt;
    DateParts parts;
    qsizetype at = 0;
    if (size != 8) {
        if (text[2] != QLatin1Char('.') || text[5] != QLatin1Char('.')) return std::nullopt;
        parts = {true, false, number(0, 2), number(3, 2), number(6, 4)};
        if (parts.day < 0 || parts.month < 0 || parts.year < 0) return std::nullopt;
        if (size == 10) return parts;
        if (text[10] != QLatin1Char(' ')) return std::nullopt;
        at = 11;
    }
    if (text[at + 2] != QLatin1Char(':') || text[at + 5] != QLatin1Char(':')) return std::nullopt;
    parts.hasTime = true;
    parts.hour = number(at, 2);
    parts.minute = number(at + 3, 2);
    parts.second = number(at + 6, 2);
    if (parts.hour < 0 || parts.minute < 0 || parts.second < 0) return std::nullopt;
    return parts;
}

std::optional<DateParts> dateParts(const QString& text) {
    if (const auto written = writtenDateParts(text)) return written;
    static const QRegularExpression dateTime(QStringLiteral(
        R"(^(?:(\d{1,2})\.(\d{1,2})\.(\d{4}|\d{2}))?\s*(?:(\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"));
    const QRegularExpressionMatch m = dateTime.match(text);
    if (!m.hasMatch()) return std::nullopt;
    DateParts parts;
    parts.hasDate = m.capturedLength(1) > 0;
    parts.hasTime = m.capturedLength(4) > 0;
    if (parts.hasDate) {
        parts.day = m.captured(1).toInt();
        parts.month = m.captured(2).toInt();
        parts.year = m.captured(3).toInt();
        if (m.capturedLength(3) == 2) parts.year += parts.year < 30 ? 2000 : 1900;
    }
    if (parts.hasTime) {
        parts.hour = m.captured(4).toInt();
        parts.minute = m.captured(5).toInt();
        parts.second = m.captured(6).toInt();
    }
    return parts;
}

std::optional<double> dateValue(const QString& text) {
    const auto parts = dateParts(text);
    if (!parts || (!parts->hasDate && !parts->hasTime)) return std::nullopt;
    QDate date = engine::epoch();
    if (parts->hasDate) {
        date = QDate(parts->year, parts->month, parts->day);
        if (!date.isValid()) return std::nullopt;
    }
    QTime time(0, 0);
    if (parts->hasTime) {
        time = QTime(parts->hour, parts->minute, parts->second);
        if (!time.isValid()) return std::nullopt;
    }
    return engine::dayNumber(date, time);
}

QString numberText(double value, const QString& decimalPoint) {
    if (value == 0) value = 0; // no "-0"
    QString text;
    // Between a thousandth and ten thousand Qt's shortest form is the shortest fixed form, which
    // the standard library writes without going through the locale (hours and pauses all lie
    // there); beyond, Qt's own choice of an exponent holds.
    if (const double size = std::abs(value); size == 0 || (size >= 0.001 && size < 10000)) {
        char digits[32];
        const auto written =
            std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed);
        text = QString::fromLatin1(digits, written.ptr - digits);
    } else {
        text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    }
    return text.replace(QLatin1Char('.'), decimalPoint);
}

// A number in the plain form the block text writes, an optional minus, digits and at most one
// decimal separator between digits, read without Qt's general number reading (a block holds
// thousands). Both read such a text as its nearest double.
std::optional<double> plainNumberValue(QStringView text) {
    char digits[32];
    if (text.isEmpty() || text.size() >= qsizetype(sizeof digits)) return std::nullopt;
    qsizetype separator = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            digits[i] = char(c);
        } else if (c == u'-' && i == 0) {
            digits[i] = '-';
        } else if ((c == u',' || c == u'.') && separator < 0) {
            separator = i;
            digits[i] = '.';
        } else {
            return std::nullopt;
        }
    }
    const qsizetype first = digits[0] == '-' ? 1 : 0;
    // a digit on each side of the separator, and at least one digit
    if (separator == first || separator == text.size() - 1 || text.size() == first)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(digits, digits + text.size(), value);
    if (error != std::errc() || end != digits + text.size()) return std::nullopt;
    return value;
}

std::optional<double> numberValue(const QString& text) {
    const QStringView trimmed = QStringView(text).trimmed();
    if (const auto plain = plainNumberValue(trimmed); plain && std::isfinite(*plain)) return plain;
    // either decimal separator; group separators are never written
    bool ok = false;
    const double value =
        trimmed.toString().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<qint64> wholeNumberValue(const QString& text) {
    bool ok = false;
    const qint64 value = QStringView(text).trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<bool> booleanValue(const QString& text) {
    // the words the block text writes first
    if (text == QLatin1String("Wahr")) return true;
    if (text == QLatin1String("Falsch")) return false;
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("wahr") || t == QLatin1String("true") || t == QLatin1String("1") ||
        t == QLatin1String("-1"))
        return true;
    if (t == QLatin1String("falsch") || t == QLatin1String("false") || t == QLatin1String("0"))
        return false;
    return std::nullopt;
}

// The first line of a text without its line break.
QStringView firstLine(const QString& text) {
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    QStringView line = end < 0 ? QStringView(text) : QStringView(text).left(end);
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return line;
}

// An offset: a whole number from 0 on.
std::optional<int> offsetValue(QStringView text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0) return std::nullopt;
    return value;
}

// A spreadsheet puts a cell in quotes when it holds a quote or a separator; the quotes go, a
// doubled quote inside stands for one.
QString unquoted(QStringView cell) {
    if (cell.size() < 2 || !cell.startsWith(QLatin1Char('"')) || !cell.endsWith(QLatin1Char('"')))
        return cell.toString();
    return cell.mid(1, cell.size() - 2)
        .toString()
        .replace(QStringLiteral("\"\""), QStringLiteral("\""));
}

bool isField(const engine::FieldInfo& field, const char* name) {
    return field.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// Whether a value read for a field is one the program itself could have stored: hours within a
// month's hours, a colour of the colour range, start and end as times of day (an end after
// midnight on the day after), whole numbers of the database's range, texts without control
// characters and not wider than their column.
bool isPlausible(const engine::FieldInfo& field, const QVariant& value) {
    if (value.isNull()) return true;
    constexpr double MonthHours = 744.0;
    switch (field.kind) {
    case engine::FieldKind::Double:
        return std::abs(value.toDouble()) <= MonthHours;
    case engine::FieldKind::Integer: {
        const qint64 v = value.toLongLong();
        if (isField(field, "farbe")) return v >= 0 && v <= 0xFFFFFF;
        return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
    }
    case engine::FieldKind::Date: {
        const double day = value.toDouble();
        if (isField(field, "anfang")) return day >= 0.0 && day < 1.0;
        if (isField(field, "ende")) return day >= 0.0 && day < 2.0;
        return true;
    }
    case engine::FieldKind::Text:
    case engine::FieldKind::Other: {
        const QString text = value.toString();
        if (field.width > 0 && text.size() > field.width) return false;
        for (const QChar c : text) {
            if (c.category() == QChar::Other_Control) return false;
        }
        return true;
    }
    case engine::FieldKind::Boolean:
        break;
    }
    return true;
}

std::optional<BlockLine> readLine(QStringView line, const std::vector<engine::FieldInfo>& fields) {
    const QList<QStringView> parts = line.split(Tab);
    const size_t n = fields.size();
    if (parts.size() < 2) return std::nullopt;
    // "c<TAB>r<TAB>" for an empty cell, "c<TAB>r<TAB>v1<TAB>...vn<TAB>" for a duty; a
    // spreadsheet may drop the last tab
    size_t values = size_t(parts.size()) - 2;
    if ((values == 1 || values == n + 1) && parts.last().isEmpty()) --values;
    if (values != 0 && values != n) return std::nullopt;
    BlockLine result;
    const auto col = offsetValue(parts[0]);
    const auto row = offsetValue(parts[1]);
    if (!col || !row) return std::nullopt;
    result.colOffset = *col;
    result.rowOffset = *row;
    if (values == 0) return result;
    std::vector<QVariant> read;
    read.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const auto v = blockFieldValue(fields[i], unquoted(parts[qsizetype(i) + 2]));
        if (!v) return std::nullopt;
        read.push_back(*v);
    }
    // a line whose duty number is empty carries no duty
    if (!read.front().isNull()) result.values = std::move(read);
    return result;
}

} // namespace

QString blockHeader(const QStringList& fieldNames) {
    QString header = QStringLiteral("Zeile\tSpalte");
    for (const QString& name : fieldNames)
        header += Tab + name;
    return header;
}

QString blockHeader(const engine::Recordset& duties) {
    return blockHeader(duties.fieldNames());
}

BlockValueWriter::BlockValueWriter() : decimalPoint_(platform::locale().decimalPoint()) {}

QString BlockValueWriter::text(engine::FieldKind kind, const QVariant& stored) const {
    if (!stored.isValid() || stored.isNull()) return QString();
    switch (kind) {
    case engine::FieldKind::Date:
        if (const auto d = engine::dayNumber(stored)) return dateText(*d);
        return QString();
    case engine::FieldKind::Boolean:
        return stored.toDouble() != 0 || stored.toBool() ? QStringLiteral("Wahr")
                                                         : QStringLiteral("Falsch");
    case engine::FieldKind::Integer:
        if (stored.typeId() == QMetaType::Double)
            return numberText(stored.toDouble(), decimalPoint_);
        return QString::number(stored.toLongLong());
    case engine::FieldKind::Double:
        return numberText(stored.toDouble(), decimalPoint_);
    case engine::FieldKind::Text:
    case engine::FieldKind::Other:
        break;
    }
    QString text = stored.toString();
    for (QChar& c : text) {
        if (c == Tab || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    }
    return text;
}

QString blockValueText(engine::FieldKind kind, const QVariant& stored) {
    return BlockValueWriter().text(kind, stored);
}

std::optional<QVariant> blockValue(engine::FieldKind kind, const QString& text) {
    if (text.isEmpty()) return QVariant();
    switch (kind) {
    case engine::FieldKind::Date:
        if (const auto d = dateValue(text.trimmed())) return QVariant(*d);
        return std::nullopt;
    case engine::FieldKind::Boolean:
        if (const auto b = booleanValue(text)) return QVariant(*b);
        return std::nullopt;
    case engine::FieldKind::Integer:
        if (const auto i = wholeNumberValue(text)) return QVariant(*i);
        // a whole number written as a number with decimals
        if (const auto d = numberValue(text); d && std::trunc(*d) == *d && std::abs(*d) < 9e15)
            return QVariant(qint64(*d));
        return std::nullopt;
    case engine::FieldKind::Double:
        if (const auto d = numberValue(text)) return QVariant(*d);
        return std::nullopt;
    case engine::FieldKind::Text:
    case engine::FieldKind::Other:
        break;
    }
    return QVariant(text);
}

std::optional<QVariant> blockFieldValue(const engine::FieldInfo& field, const QString& text) {
    auto value = blockValue(field.kind, text);
    if (value && !isPlausible(field, *value)) return std::nullopt;
    return value;
}

bool hasBlockHeader(const QString& text, const QString& header) {
    return !text.isEmpty() && firstLine(text) == header;
}

std::optional<std::vector<BlockLine>> readBlockText(const QString& text,
                                                    const std::vector<engine::FieldInfo>& fields) {
    if (text.size() > MaxBlockTextSize || fields.empty()) return std::nullopt;
    QStringList names;
    for (const engine::FieldInfo& f : fields)
        names << f.name;
    if (!hasBlockHeader(text, blockHeader(names))) return std::nullopt;
    std::vector<BlockLine> lines;
    const QList<QStringView> all = QStringView(text).split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < all.size(); ++i) {
        QStringView line = all[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.isEmpty()) continue; // the end of the text, or a blank line
        auto read = readLine(line, fields);
        if (!read) return std::nullopt;
        lines.push_back(std::move(*read));
    }
    return lines;
}

QByteArray blockFileContent(const QString& blockText) {
    return (blockText + BlockLineBreak).toUtf8();
}

std::optional<QString> blockTextOfFile(const QByteArray& content) {
    if (content.size() > MaxBlockTextSize) return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(content);
    if (utf8.hasError()) text = QString::fromLatin1(content);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
        if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
    }
    return text;
}

} // namespace roster
