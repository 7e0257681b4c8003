// Translation of query, UPDATE, DELETE and INSERT texts, and the date literals of the dialect.
// The CREATE TABLE translation is in SqlCreateTable.cpp.

#include "engine/SqlDialect.h"

#include "engine/DateValue.h"
#include "engine/EngineError.h"
#include "engine/SqlTokenizer.h"

#include <QRegularExpression>

#include <unordered_map>

namespace engine {

using sql::Token;
using sql::TokenKind;
using sql::Tokens;

namespace {

// Two-digit years follow the old engine's century window.
int expandYear(const QString& digits) {
    const int year = digits.toInt();
    if (digits.size() > 2)
        return year >= 100 ? year : 0; // the old engine's dates begin with the year 100
    return year < 30 ? 2000 + year : 1900 + year;
}

bool parseTime(const QRegularExpressionMatch& m, QTime* time) {
    if (!m.hasCaptured(u"h")) return true; // no time part: midnight
    int hour = m.captured(u"h").toInt();
    const int minute = m.captured(u"min").toInt();
    const int second = m.hasCaptured(u"s") ? m.captured(u"s").toInt() : 0;
    const QString half = m.captured(u"ampm").toLower();
    if (!half.isEmpty()) {
        if (hour < 1 || hour > 12) return false;
        hour = (hour % 12) + (half == QLatin1String("pm") ? 12 : 0);
    }
    *time = QTime(hour, minute, second);
    return time->isValid();
}

// "DELETE T.col FROM T ..." and "DELETE * FROM T ...": the old engine deletes whole rows, so
// everything between DELETE and FROM goes.
void dropDeleteTarget(Tokens& tokens, qsizetype deleteAt) {
    const qsizetype next = sql::nextSignificant(tokens, deleteAt + 1);
    if (next >= tokens.size() || tokens[next].isWord("FROM")) return;
    int depth = 0;
    for (qsizetype i = next; i < tokens.size(); ++i) {
        if (tokens[i].isSymbol("("))
            ++depth;
        else if (tokens[i].isSymbol(")"))
            --depth;
        else if (depth == 0 && tokens[i].isWord("FROM")) {
            tokens.remove(deleteAt + 1, i - deleteAt - 1);
            tokens.insert(deleteAt + 1, Token{TokenKind::Space, QStringLiteral(" ")});
            return;
        }
    }
}

// "UPDATE T SET T.a = 0 WHERE (T.b = 1)": SQLite refuses qualified names in SET, so the
// qualifier of the updated table goes everywhere in the statement.
void dropUpdateQualifiers(Tokens& tokens, qsizetype updateAt) {
    const qsizetype tableAt = sql::nextSignificant(tokens, updateAt + 1);
    if (tableAt >= tokens.size() || !tokens[tableAt].isIdentifier()) return;
    const QString table = tokens[tableAt].name();
    for (qsizetype i = tableAt + 1; i < tokens.size(); ++i) {
        if (!tokens[i].isIdentifier() || tokens[i].name().compare(table, Qt::CaseInsensitive) != 0)
            continue;
        const qsizetype dot = sql::nextSignificant(tokens, i + 1);
        const qsizetype before = sql::previousSignificant(tokens, i);
        if (dot < tokens.size() && tokens[dot].isSymbol(".") &&
            (before < 0 || !tokens[before].isSymbol(".")))
            tokens.remove(i, sql::nextSignificant(tokens, dot + 1) - i);
    }
}

// Position (1-based) of the parameter an identifier stands for, or 0. Qualified names, table
// qualifiers, function names and the names given after AS are never parameters.
qsizetype parameterNumber(const Tokens& tokens, qsizetype i, const QStringList& names) {
    const Token& token = tokens[i];
    if (!token.isIdentifier()) return 0;
    const QString name = token.name();
    qsizetype index = 0;
    while (index < names.size() && names[index].compare(name, Qt::CaseInsensitive) != 0)
        ++index;
    if (index == names.size()) return 0;
    const qsizetype before = sql::previousSignificant(tokens, i);
    if (before >= 0 && (tokens[before].isSymbol(".") || tokens[before].isWord("AS"))) return 0;
    const qsizetype after = sql::nextSignificant(tokens, i + 1);
    if (after < tokens.size() && (tokens[after].isSymbol(".") || tokens[after].isSymbol("(")))
        return 0;
    return index + 1;
}

// A replacement text kept apart from its neighbours, so that "#1/2/24#and" or "a/*b" cannot
// run together into one SQLite token or a comment.
bool needsGap(QChar neighbour) {
    return !neighbour.isSpace() && !QStringLiteral("(),;=<>").contains(neighbour);
}

void appendSeparated(QString& sql, const Tokens& tokens, qsizetype i, const QString& text) {
    if (i > 0 && needsGap(tokens[i - 1].text.back())) sql += u' ';
    sql += text;
    if (i + 1 < tokens.size() && needsGap(tokens[i + 1].text.front())) sql += u' ';
}

QString dateNumberText(const Token& token) {
    double day = 0;
    if (!parseDateLiteral(token.dateBody(), &day))
        throw EngineError(
            err::CommandError,
            QStringLiteral("Syntaxfehler in Datum in Abfrageausdruck '%1'.").arg(token.text));
    const QString number = QString::number(day, 'g', 17);
    return day < 0 ? u'(' + number + u')' : number;
}

} // namespace

bool parseDateLiteral(const QString& body, double* dayNumber) {
    // m/d/y or y-m-d, each with an optional time; or a time alone (a time of the zero day).
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(?:(?<m>\d{1,2})/(?<d>\d{1,2})/(?<y>\d{1,4})|)"
                       R"((?<iy>\d{4})-(?<im>\d{1,2})-(?<id>\d{1,2}))?)"
                       R"((?:(?:^|\s+)(?<h>\d{1,2}):(?<min>\d{2})(?::(?<s>\d{2}))?)"
                       R"(\s*(?<ampm>[AaPp][Mm])?)?$)"));
    const QString trimmed = body.trimmed();
    const QRegularExpressionMatch m = pattern.match(trimmed);
    if (trimmed.isEmpty() || !m.hasMatch()) return false;
    QDate date = epoch();
    if (m.hasCaptured(u"m"))
        date =
            QDate(expandYear(m.captured(u"y")), m.captured(u"m").toInt(), m.captured(u"d").toInt());
    else if (m.hasCaptured(u"iy"))
        date =
            QDate(m.captured(u"iy").toInt(), m.captured(u"im").toInt(), m.captured(u"id").toInt());
    QTime time(0, 0);
    if (!date.isValid() || !parseTime(m, &time)) return false;
    if (dayNumber) *dayNumber = engine::dayNumber(QDateTime(date, time, Qt::UTC));
    return true;
}

namespace {

TranslatedSql translateText(const QString& text, const QStringList& parameterNames) {
    Tokens tokens = sql::tokenize(text);
    const qsizetype first = sql::nextSignificant(tokens, 0);
    if (first < tokens.size() && tokens[first].isWord("DELETE"))
        dropDeleteTarget(tokens, first);
    else if (first < tokens.size() && tokens[first].isWord("UPDATE"))
        dropUpdateQualifiers(tokens, first);

    QString result;
    result.reserve(text.size() + 32);
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.kind == TokenKind::Date) {
            appendSeparated(result, tokens, i, dateNumberText(token));
        } else if (token.isSymbol("/")) {
            // Division in the old dialect is always floating point ("1 / 60" is not 0);
            // "* 1.0 /" has the precedence and associativity of the "/" it replaces.
            appendSeparated(result, tokens, i, QStringLiteral("* 1.0 /"));
        } else if (token.kind == TokenKind::String && token.text.startsWith(u'"')) {
            // Double quotes enclose text in the old dialect, a name in SQLite's.
            result += sql::quoteString(token.stringValue());
        } else if (token.isSymbol("-") && i + 1 < tokens.size() && tokens[i + 1].isSymbol("-")) {
            // "5--3" subtracts minus three; in SQLite "--" would begin a comment and silently
            // cut off the rest of the statement, a WHERE clause included.
            result += QStringLiteral("- ");
        } else if (const qsizetype number = parameterNumber(tokens, i, parameterNames)) {
            appendSeparated(result, tokens, i, u'?' + QString::number(number));
        } else {
            result += token.text;
        }
    }
    return TranslatedSql{result, parameterNames};
}

} // namespace

TranslatedSql translateSql(const QString& text, const QStringList& parameterNames) {
    // The stored queries are translated again at every opening (a repaint opens one per
    // member); the translations of the last few hundred texts are kept.
    struct Key {
        QString text;
        QStringList names;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const { return qHashMulti(0, k.text, k.names); }
    };
    static thread_local std::unordered_map<Key, TranslatedSql, KeyHash> known;
    Key key{text, parameterNames};
    if (const auto it = known.find(key); it != known.end()) return it->second;
    TranslatedSql translated = translateText(text, parameterNames);
    if (known.size() >= 512) known.clear();
    known.emplace(std::move(key), translated);
    return translated;
}

} // namespace engine
