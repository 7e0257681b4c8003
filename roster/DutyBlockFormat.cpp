#include "roster/DutyBlockFormat.h"

#include "engine/DateValue.h"
#include "platform/Formats.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <cmath>
#include <limits>

namespace roster {

namespace {

const QChar Tab = QLatin1Char('\t');

QString dateText(double dayNumber) {
    // written by hand: a block of a month holds thousands of these, and Qt's date formatting goes
    // through the locale each time (years outside 1..9999 keep its form)
    const QDateTime at = engine::dateTimeOf(dayNumber);
    const QTime t = at.time();
    const QString time = t.isValid()
                             ? QString::asprintf("%02d:%02d:%02d", t.hour(), t.minute(), t.second())
                             : QString();
    // a time of day alone lies on the first day of the count, as the old engine showed it
    if (at.date() == engine::epoch()) return time;
    const QDate d = at.date();
    const QString date = d.year() >= 1 && d.year() <= 9999
                             ? QString::asprintf("%02d.%02d.%04d", d.day(), d.month(), d.year())
                             : d.toString(QStringLiteral("dd.MM.yyyy"));
    return at.time() == QTime(0, 0) ? date : date + QLatin1Char(' ') + time;
}

std::optional<double> dateValue(const QString& text) {
    static const QRegularExpression dateTime(QStringLiteral(
        R"(^(?:(\d{1,2})\.(\d{1,2})\.(\d{4}|\d{2}))?\s*(?:(\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"));
    const QRegularExpressionMatch m = dateTime.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const bool hasDate = m.capturedLength(1) > 0;
    const bool hasTime = m.capturedLength(4) > 0;
    if (!hasDate && !hasTime) return std::nullopt;
    QDate date = engine::epoch();
    if (hasDate) {
        int year = m.captured(3).toInt();
        if (m.capturedLength(3) == 2) year += year < 30 ? 2000 : 1900;
        date = QDate(year, m.captured(2).toInt(), m.captured(1).toInt());
        if (!date.isValid()) return std::nullopt;
    }
    QTime time(0, 0);
    if (hasTime) {
        time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
        if (!time.isValid()) return std::nullopt;
    }
    return engine::dayNumber(QDateTime(date, time, Qt::UTC));
}

QString numberText(double value) {
    if (value == 0) value = 0; // no "-0"
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    return text.replace(QLatin1Char('.'), platform::locale().decimalPoint());
}

std::optional<double> numberValue(QString text) {
    // either decimal separator; group separators are never written
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<qint64> wholeNumberValue(const QString& text) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<bool> booleanValue(const QString& text) {
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
        const auto v = blockValue(fields[i].kind, unquoted(parts[qsizetype(i) + 2]));
        if (!v || !isPlausible(fields[i], *v)) return std::nullopt;
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

QString blockValueText(engine::FieldKind kind, const QVariant& stored) {
    if (!stored.isValid() || stored.isNull()) return QString();
    switch (kind) {
    case engine::FieldKind::Date:
        if (const auto d = engine::dayNumber(stored)) return dateText(*d);
        return QString();
    case engine::FieldKind::Boolean:
        return stored.toDouble() != 0 || stored.toBool() ? QStringLiteral("Wahr")
                                                         : QStringLiteral("Falsch");
    case engine::FieldKind::Integer:
        if (stored.typeId() == QMetaType::Double) return numberText(stored.toDouble());
        return QString::number(stored.toLongLong());
    case engine::FieldKind::Double:
        return numberText(stored.toDouble());
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
