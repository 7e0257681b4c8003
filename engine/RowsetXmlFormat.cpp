#include "engine/RowsetXmlFormat.h"

#include "engine/DateValue.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <array>
#include <cmath>
#include <limits>

namespace engine::rowsetxml {

namespace {

constexpr qint64 intMin = std::numeric_limits<int>::min();
constexpr qint64 intMax = std::numeric_limits<int>::max();

struct NamedType {
    QStringView name;
    DataType type;
};

// The integer types all end up as int values; the narrower ones keep their own range.
const std::array<NamedType, 18> namedTypes{{
    {u"int", {ColumnType::Long, {intMin, intMax}}},
    {u"i4", {ColumnType::Long, {intMin, intMax}}},
    {u"i8", {ColumnType::Long, {intMin, intMax}}},
    {u"ui4", {ColumnType::Long, {0, intMax}}},
    {u"ui2", {ColumnType::Long, {0, 65535}}},
    {u"i2", {ColumnType::Integer, {-32768, 32767}}},
    {u"i1", {ColumnType::Integer, {-128, 127}}},
    {u"ui1", {ColumnType::Integer, {0, 255}}},
    {u"float", {ColumnType::Double, {}}},
    {u"r8", {ColumnType::Double, {}}},
    {u"number", {ColumnType::Double, {}}},
    {u"r4", {ColumnType::Single, {}}},
    {u"fixed.14.4", {ColumnType::Currency, {}}},
    {u"boolean", {ColumnType::Boolean, {}}},
    {u"dateTime", {ColumnType::DateTime, {}}},
    {u"dateTime.tz", {ColumnType::DateTime, {}}},
    {u"date", {ColumnType::DateTime, {}}},
    {u"string", {ColumnType::Text, {}}},
}};

bool inRange(qint64 value, IntegerRange range, QString* problem) {
    if (value >= range.min && value <= range.max) return true;
    *problem =
        QStringLiteral("liegt außerhalb des Bereichs von %1 bis %2").arg(range.min).arg(range.max);
    return false;
}

// yyyy-mm-dd, optionally followed by Thh:mm, :ss, fractional seconds and a zone offset.
const QRegularExpression& dateTimePattern() {
    static const QRegularExpression pattern(QStringLiteral(
        R"(^([0-9]{4})-([0-9]{2})-([0-9]{2})(?:[T ]([0-9]{2}):([0-9]{2})(?::([0-9]{2})(?:[.,]([0-9]+))?)?)?(?:Z|[+-][0-9]{2}:?[0-9]{2})?$)"));
    return pattern;
}

// The zone offset of dateTime.tz is dropped: dates are wall-clock values here, as the old
// engine kept them, and a conversion would shift days.
// "2002-09-29T00:00:00" or "2002-09-29", as files are written: the fields without the pattern.
bool plainDateTime(QStringView text, std::array<int, 6>& fields) {
    if (text.size() != 10 && text.size() != 19) return false;
    const auto number = [text](qsizetype from, qsizetype count, int& out) {
        out = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9') return false;
            out = out * 10 + (c - u'0');
        }
        return true;
    };
    fields = {};
    if (!number(0, 4, fields[0]) || text[4] != u'-' || !number(5, 2, fields[1]) ||
        text[7] != u'-' || !number(8, 2, fields[2]))
        return false;
    if (text.size() == 10) return true;
    return (text[10] == u'T' || text[10] == u' ') && number(11, 2, fields[3]) && text[13] == u':' &&
           number(14, 2, fields[4]) && text[16] == u':' && number(17, 2, fields[5]);
}

QVariant dateTimeFromText(QStringView text, QString* problem) {
    std::array<int, 6> fields;
    if (plainDateTime(text, fields)) {
        const QDate date(fields[0], fields[1], fields[2]);
        const QTime time(fields[3], fields[4], fields[5]);
        if (date.isValid() && time.isValid()) return QVariant(QDateTime(date, time, Qt::UTC));
        *problem = QStringLiteral("ist kein gültiges Datum");
        return {};
    }
    const QRegularExpressionMatch match = dateTimePattern().match(text.trimmed());
    const QDate date = match.hasMatch()
                           ? QDate(match.capturedView(1).toInt(), match.capturedView(2).toInt(),
                                   match.capturedView(3).toInt())
                           : QDate();
    const QTime time(match.capturedView(4).toInt(), match.capturedView(5).toInt(),
                     match.capturedView(6).toInt());
    if (!date.isValid() || !time.isValid()) {
        *problem = QStringLiteral("ist kein gültiges Datum");
        return {};
    }
    // Day numbers carry whole seconds; a fraction of one half or more rounds up.
    const QStringView fraction = match.capturedView(7);
    const bool roundUp = !fraction.isEmpty() && fraction.front() >= u'5';
    return QVariant(QDateTime(date, time, Qt::UTC).addSecs(roundUp ? 1 : 0));
}

QString integerText(const QVariant& value, IntegerRange range, QString* problem) {
    bool ok = false;
    qint64 number = 0;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        const double d = value.toDouble();
        ok = std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e18;
        number = ok ? static_cast<qint64>(d) : 0;
    } else {
        number = value.toLongLong(&ok);
    }
    if (!ok) {
        *problem = QStringLiteral("ist keine ganze Zahl");
        return {};
    }
    return inRange(number, range, problem) ? QString::number(number) : QString();
}

QString doubleText(const QVariant& value, QString* problem) {
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        *problem = QStringLiteral("ist keine Zahl");
        return {};
    }
    // The shortest text that reads back as the same double: 15 significant digits or fewer
    // where they suffice, up to 17 where they do not (0.1 + 0.2 is 0.30000000000000004).
    return QString::number(number, 'g', QLocale::FloatingPointShortest);
}

QString booleanText(const QVariant& value, QString* problem) {
    std::optional<bool> flag;
    if (value.typeId() == QMetaType::QString) {
        flag = booleanOf(value.toString());
    } else {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok) flag = number != 0;
    }
    if (!flag) {
        *problem = QStringLiteral("ist kein Ja/Nein-Wert");
        return {};
    }
    return *flag ? QStringLiteral("True") : QStringLiteral("False");
}

QString dateTimeText(const QVariant& value, QString* problem) {
    const QDateTime dateTime = toDateTime(value);
    const QDate date = dateTime.date();
    if (!dateTime.isValid() || date.year() < 1 || date.year() > 9999) {
        *problem = QStringLiteral("ist kein gültiges Datum");
        return {};
    }
    const QTime time = dateTime.time();
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d", date.year(), date.month(), date.day(),
                             time.hour(), time.minute(), time.second());
}

} // namespace

DataType dataTypeNamed(QStringView name) {
    for (const NamedType& named : namedTypes) {
        if (named.name.compare(name, Qt::CaseInsensitive) == 0) return named.type;
    }
    return {};
}

IntegerRange integerRange(ColumnType type) {
    return type == ColumnType::Integer ? IntegerRange{-32768, 32767} : IntegerRange{intMin, intMax};
}

std::optional<bool> booleanOf(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.compare(u"true", Qt::CaseInsensitive) == 0 || trimmed == u"1" || trimmed == u"-1")
        return true;
    if (trimmed.compare(u"false", Qt::CaseInsensitive) == 0 || trimmed == u"0") return false;
    return std::nullopt;
}

QVariant valueFromText(QStringView text, ColumnType type, IntegerRange range, QString* problem) {
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        return QVariant(text.toString());
    case ColumnType::AutoNumber:
    case ColumnType::Long:
    case ColumnType::Integer: {
        bool ok = false;
        const qint64 number = text.toLongLong(&ok);
        if (!ok) {
            *problem = QStringLiteral("ist keine ganze Zahl");
            return {};
        }
        return inRange(number, range, problem) ? QVariant(static_cast<int>(number)) : QVariant();
    }
    case ColumnType::Double:
    case ColumnType::Single:
    case ColumnType::Currency: {
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (!ok || !std::isfinite(number)) {
            *problem = QStringLiteral("ist keine Zahl");
            return {};
        }
        return QVariant(number);
    }
    case ColumnType::Boolean: {
        const std::optional<bool> flag = booleanOf(text);
        if (!flag) {
            *problem = QStringLiteral("ist kein Ja/Nein-Wert");
            return {};
        }
        return QVariant(*flag);
    }
    case ColumnType::DateTime:
        return dateTimeFromText(text, problem);
    }
    return {};
}

QString textFromValue(const QVariant& value, ColumnType type, QString* problem) {
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        if (!value.canConvert<QString>()) {
            *problem = QStringLiteral("ist kein Text");
            return {};
        }
        return value.toString();
    case ColumnType::AutoNumber:
    case ColumnType::Long:
    case ColumnType::Integer:
        return integerText(value, integerRange(type), problem);
    case ColumnType::Double:
    case ColumnType::Single:
    case ColumnType::Currency:
        return doubleText(value, problem);
    case ColumnType::Boolean:
        return booleanText(value, problem);
    case ColumnType::DateTime:
        return dateTimeText(value, problem);
    }
    return {};
}

QString repeatedColumnName(const QList<RowsetColumn>& columns) {
    QSet<QString> names;
    for (const RowsetColumn& column : columns) {
        const QString folded = column.name.toCaseFolded();
        if (names.contains(folded)) return column.name;
        names.insert(folded);
    }
    return {};
}

QString quoted(QStringView text) {
    constexpr qsizetype shown = 40;
    const QString start = text.left(shown).toString();
    return QStringLiteral("„%1%2“").arg(start,
                                        text.size() > shown ? QStringLiteral("…") : QString());
}

} // namespace engine::rowsetxml
