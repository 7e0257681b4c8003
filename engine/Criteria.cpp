#include "engine/Criteria.h"

#include "engine/SqlDialect.h"
#include "engine/TextCompare.h"

#include <QRegularExpression>

namespace engine::detail {

namespace {

[[noreturn]] void malformed(const QString& text) {
    throw EngineError(err::CommandError,
                      QStringLiteral("Das Suchkriterium '%1' ist ungültig.").arg(text));
}

struct Scanner {
    const QString& text;
    int pos = 0;

    void skipBlanks() {
        while (pos < text.size() && (text.at(pos).isSpace() || text.at(pos) == QLatin1Char('(') ||
                                     text.at(pos) == QLatin1Char(')')))
            ++pos;
    }
    bool atEnd() {
        skipBlanks();
        return pos >= text.size();
    }
    QString word() {
        skipBlanks();
        const int start = pos;
        if (pos < text.size() && text.at(pos) == QLatin1Char('[')) {
            const int close = text.indexOf(QLatin1Char(']'), pos);
            if (close < 0)
                malformed(text);
            pos = close + 1;
            return text.mid(start + 1, close - start - 1);
        }
        while (pos < text.size() && (text.at(pos).isLetterOrNumber() ||
                                     text.at(pos) == QLatin1Char('_') ||
                                     text.at(pos) == QLatin1Char('.')))
            ++pos;
        return text.mid(start, pos - start);
    }
    QString op() {
        skipBlanks();
        static const char* ops[] = {"<=", ">=", "<>", "=", "<", ">"};
        for (const char* o : ops) {
            const QLatin1String l(o);
            if (text.mid(pos, l.size()) == l) {
                pos += int(l.size());
                return QString(l);
            }
        }
        const int save = pos;
        QString w = word().toUpper();
        if (w == QLatin1String("LIKE"))
            return w;
        if (w == QLatin1String("IS")) {
            const int save2 = pos;
            const QString n = word().toUpper();
            if (n == QLatin1String("NOT"))
                return QStringLiteral("IS NOT");
            pos = save2;
            return QStringLiteral("IS");
        }
        pos = save;
        malformed(text);
    }
};

QVariant storedLiteral(Scanner& s, const FieldInfo& field) {
    s.skipBlanks();
    const QString& t = s.text;
    if (s.pos >= t.size())
        malformed(t);
    const QChar c = t.at(s.pos);
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        QString value;
        ++s.pos;
        while (true) {
            if (s.pos >= t.size())
                malformed(t);
            if (t.at(s.pos) == c) {
                if (s.pos + 1 < t.size() && t.at(s.pos + 1) == c) {
                    value += c;
                    s.pos += 2;
                    continue;
                }
                ++s.pos;
                break;
            }
            value += t.at(s.pos++);
        }
        if (field.kind == FieldKind::Date) {
            double d = 0;
            if (parseDateLiteral(value, &d))
                return d;
        }
        return value;
    }
    if (c == QLatin1Char('#')) {
        const int close = t.indexOf(QLatin1Char('#'), s.pos + 1);
        if (close < 0)
            malformed(t);
        double d = 0;
        if (!parseDateLiteral(t.mid(s.pos + 1, close - s.pos - 1).trimmed(), &d))
            malformed(t);
        s.pos = close + 1;
        return d;
    }
    const int start = s.pos;
    while (s.pos < t.size() && !t.at(s.pos).isSpace() && t.at(s.pos) != QLatin1Char(')'))
        ++s.pos;
    const QString word = t.mid(start, s.pos - start);
    if (word.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0)
        return QVariant();
    if (word.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return qint64(1);
    if (word.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return qint64(0);
    bool ok = false;
    const qint64 i = word.toLongLong(&ok);
    if (ok)
        return field.kind == FieldKind::Boolean ? qint64(i != 0) : i;
    const double d = word.toDouble(&ok);
    if (ok)
        return d;
    malformed(t);
}

} // namespace

Criteria parseCriteria(const QString& text, const std::vector<FieldInfo>& fields) {
    Criteria result;
    Scanner s{text};
    bool orNext = false;
    while (!s.atEnd()) {
        Condition c;
        c.orWithPrevious = orNext;
        const QString name = s.word();
        if (name.isEmpty())
            malformed(text);
        for (int i = 0; i < int(fields.size()); ++i) {
            if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0 ||
                fields[i].name.compare(name.section(QLatin1Char('.'), -1), Qt::CaseInsensitive) ==
                    0) {
                c.column = i;
                break;
            }
        }
        if (c.column < 0)
            throw EngineError(err::ItemNotFound,
                              QStringLiteral("Das Element '%1' wurde in der Auflistung nicht "
                                             "gefunden.")
                                  .arg(name));
        c.op = s.op();
        if (c.op.startsWith(QLatin1String("IS"))) {
            const QString n = s.word();
            if (n.compare(QLatin1String("null"), Qt::CaseInsensitive) != 0)
                malformed(text);
            c.op = c.op == QLatin1String("IS") ? QStringLiteral("=") : QStringLiteral("<>");
            c.value = QVariant();
        } else {
            c.value = storedLiteral(s, fields[c.column]);
        }
        result.push_back(c);
        if (s.atEnd())
            break;
        const QString joiner = s.word().toUpper();
        if (joiner == QLatin1String("AND"))
            orNext = false;
        else if (joiner == QLatin1String("OR"))
            orNext = true;
        else
            malformed(text);
    }
    if (result.empty())
        malformed(text);
    return result;
}

QString criteriaSql(const Criteria& criteria, const std::vector<FieldInfo>& fields,
                    QVariantList& binds) {
    QString sql = QStringLiteral("(");
    for (size_t i = 0; i < criteria.size(); ++i) {
        const Condition& c = criteria[i];
        if (i > 0)
            sql += c.orWithPrevious ? QStringLiteral(" OR ") : QStringLiteral(" AND ");
        const QString col = QLatin1Char('"') + fields[c.column].name + QLatin1Char('"');
        if (c.value.isNull()) {
            sql += col + (c.op == QLatin1String("<>") ? QStringLiteral(" IS NOT NULL")
                                                      : QStringLiteral(" IS NULL"));
            continue;
        }
        if (c.op == QLatin1String("LIKE")) {
            QString pattern = c.value.toString();
            pattern.replace(QLatin1Char('*'), QLatin1Char('%')).replace(QLatin1Char('?'), QLatin1Char('_'));
            binds << pattern;
            sql += col + QStringLiteral(" LIKE ?");
        } else {
            binds << c.value;
            sql += col + QLatin1Char(' ') + c.op + QStringLiteral(" ?");
        }
    }
    return sql + QLatin1Char(')');
}

int compareStored(const QVariant& a, const QVariant& b) {
    const bool an = a.isNull() || !a.isValid();
    const bool bn = b.isNull() || !b.isValid();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    const bool aText = a.typeId() == QMetaType::QString;
    const bool bText = b.typeId() == QMetaType::QString;
    if (aText && bText)
        return compareText(a.toString(), b.toString());
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA);
    const double y = b.toDouble(&okB);
    if (okA && okB)
        return x < y ? -1 : (x > y ? 1 : 0);
    return compareText(a.toString(), b.toString());
}

bool likeMatch(const QString& text, const QString& pattern) {
    QString rx;
    rx.reserve(pattern.size() * 2 + 4);
    for (const QChar ch : pattern) {
        if (ch == QLatin1Char('%') || ch == QLatin1Char('*'))
            rx += QStringLiteral(".*");
        else if (ch == QLatin1Char('_') || ch == QLatin1Char('?'))
            rx += QLatin1Char('.');
        else
            rx += QRegularExpression::escape(QString(ch));
    }
    const QRegularExpression re(QRegularExpression::anchoredPattern(rx),
                                QRegularExpression::CaseInsensitiveOption |
                                    QRegularExpression::DotMatchesEverythingOption |
                                    QRegularExpression::UseUnicodePropertiesOption);
    return re.match(text).hasMatch();
}

bool matches(const Criteria& criteria, const std::vector<QVariant>& values) {
    bool result = true;
    for (size_t i = 0; i < criteria.size(); ++i) {
        const Condition& c = criteria[i];
        const QVariant& v = values[c.column];
        bool m = false;
        if (c.value.isNull()) {
            const bool isNull = v.isNull() || !v.isValid();
            m = c.op == QLatin1String("<>") ? !isNull : isNull;
        } else if (v.isNull() || !v.isValid()) {
            m = false;
        } else if (c.op == QLatin1String("LIKE")) {
            m = likeMatch(v.toString(), c.value.toString());
        } else {
            const int cmp = compareStored(v, c.value);
            if (c.op == QLatin1String("="))
                m = cmp == 0;
            else if (c.op == QLatin1String("<>"))
                m = cmp != 0;
            else if (c.op == QLatin1String("<"))
                m = cmp < 0;
            else if (c.op == QLatin1String(">"))
                m = cmp > 0;
            else if (c.op == QLatin1String("<="))
                m = cmp <= 0;
            else
                m = cmp >= 0;
        }
        if (i == 0)
            result = m;
        else if (c.orWithPrevious)
            result = result || m;
        else
            result = result && m;
    }
    return result;
}

} // namespace engine::detail
