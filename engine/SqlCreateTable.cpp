// Translation of the old dialect's CREATE TABLE statements: the table keeps its declared column
// types, keys, defaults and text widths, with the identity column as SQLite's row id.

#include "engine/SqlDialect.h"

#include "engine/EngineError.h"
#include "engine/SqlTokenizer.h"

#include <optional>

namespace engine {

using sql::Token;
using sql::TokenKind;
using sql::Tokens;

namespace {

[[noreturn]] void syntaxError(const QString& detail = {}) {
    QString text = QStringLiteral("Syntaxfehler in CREATE TABLE-Anweisung.");
    if (!detail.isEmpty()) text += u' ' + detail;
    throw EngineError(err::CommandError, text);
}

const QStringList& textTypes() {
    static const QStringList types = {
        QStringLiteral("varchar"), QStringLiteral("char"),         QStringLiteral("nvarchar"),
        QStringLiteral("nchar"),   QStringLiteral("text"),         QStringLiteral("character"),
        QStringLiteral("memo"),    QStringLiteral("longtext"),     QStringLiteral("string"),
        QStringLiteral("ntext"),   QStringLiteral("alphanumeric"),
    };
    return types;
}

const QStringList& dateTypes() {
    static const QStringList types = {QStringLiteral("smalldatetime"), QStringLiteral("datetime"),
                                      QStringLiteral("date"), QStringLiteral("time"),
                                      QStringLiteral("timestamp")};
    return types;
}

const QStringList& bitTypes() {
    static const QStringList types = {QStringLiteral("bit"), QStringLiteral("yesno"),
                                      QStringLiteral("logical"), QStringLiteral("logical1"),
                                      QStringLiteral("boolean")};
    return types;
}

// Type words that themselves mean an autonumber column.
const QStringList& counterTypes() {
    static const QStringList types = {QStringLiteral("counter"), QStringLiteral("autoincrement")};
    return types;
}

bool isClauseWord(const Token& token) {
    static const char* const words[] = {"NOT",        "NULL",    "DEFAULT", "IDENTITY",
                                        "WITH",       "PRIMARY", "UNIQUE",  "CONSTRAINT",
                                        "REFERENCES", "CHECK",   "COLLATE"};
    for (const char* word : words)
        if (token.isWord(word)) return true;
    return false;
}

// Reads the significant tokens of one part of the statement.
class Cursor {
public:
    explicit Cursor(Tokens tokens) : tokens_(std::move(tokens)) {}

    bool atEnd() const { return pos_ >= tokens_.size(); }
    const Token& peek() const {
        static const Token none{TokenKind::Space, QString()};
        return atEnd() ? none : tokens_[pos_];
    }
    const Token& take() {
        if (atEnd()) syntaxError();
        return tokens_[pos_++];
    }
    bool takeWord(const char* word) {
        if (!peek().isWord(word)) return false;
        ++pos_;
        return true;
    }
    bool takeSymbol(const char* symbol) {
        if (!peek().isSymbol(symbol)) return false;
        ++pos_;
        return true;
    }
    void expectWord(const char* word) {
        if (!takeWord(word)) syntaxError();
    }
    void expectSymbol(const char* symbol) {
        if (!takeSymbol(symbol)) syntaxError();
    }
    QString takeName() {
        const Token& token = take();
        if (!token.isIdentifier()) syntaxError();
        return token.name();
    }
    QString takeNumber() {
        const Token& token = take();
        if (token.kind != TokenKind::Number) syntaxError();
        return token.text;
    }
    // "(a, b, ...)" of names.
    QStringList takeNameList() {
        expectSymbol("(");
        QStringList names{takeName()};
        while (takeSymbol(","))
            names.append(takeName());
        expectSymbol(")");
        return names;
    }

private:
    Tokens tokens_;
    qsizetype pos_ = 0;
};

struct Column {
    QString name;
    QString type;     // as declared, "varchar (50)" written as "varchar(50)"
    QString baseType; // first type word in lower case
    QString width;    // declared text width, or empty
    bool identity = false;
    bool notNull = false;
    std::optional<QString> defaultSql;

    bool isText() const { return textTypes().contains(baseType); }
    bool isBit() const { return bitTypes().contains(baseType); }
    bool isDate() const { return dateTypes().contains(baseType); }
};

struct KeyConstraint {
    QString name; // empty when unnamed
    bool primary = false;
    QStringList columns;
};

struct Table {
    QString name;
    QList<Column> columns;
    QList<KeyConstraint> keys;

    Column* column(const QString& name) {
        for (Column& c : columns)
            if (c.name.compare(name, Qt::CaseInsensitive) == 0) return &c;
        return nullptr;
    }
};

QString defaultValue(Cursor& in, const Column& column) {
    const Token& token = in.take();
    if (token.isSymbol("-") || token.isSymbol("+"))
        return (token.text == QLatin1String("-") ? QStringLiteral("-") : QString()) +
               in.takeNumber();
    if (token.kind == TokenKind::Number) return token.text;
    if (token.isWord("no") || token.isWord("false") || token.isWord("off"))
        return QStringLiteral("0");
    if (token.isWord("yes") || token.isWord("true") || token.isWord("on"))
        return QStringLiteral("1");
    if (token.isWord("null")) return QStringLiteral("NULL");
    double day = 0;
    if (token.kind == TokenKind::Date) {
        if (!parseDateLiteral(token.dateBody(), &day))
            syntaxError(QStringLiteral("Ungültiges Datum %1.").arg(token.text));
        return QString::number(day, 'g', 17);
    }
    if (token.kind == TokenKind::String) {
        // A date column's default is written month/day/year, as the dialect's literals are.
        if (column.isDate() && parseDateLiteral(token.stringValue(), &day))
            return QString::number(day, 'g', 17);
        return sql::quoteString(token.stringValue());
    }
    syntaxError(QStringLiteral("Ungültiger Standardwert für das Feld '%1'.").arg(column.name));
}

void readIdentity(Cursor& in) {
    if (!in.takeSymbol("(")) return;
    const QString seed = in.takeNumber();
    in.expectSymbol(",");
    const QString step = in.takeNumber();
    in.expectSymbol(")");
    if (seed != QLatin1String("1") || step != QLatin1String("1"))
        syntaxError(QStringLiteral("Nur IDENTITY(1,1) wird unterstützt."));
}

void readColumn(Cursor& in, Table& table) {
    Column column;
    column.name = in.takeName();
    QStringList typeWords;
    while (!in.atEnd() && in.peek().kind == TokenKind::Word && !isClauseWord(in.peek()))
        typeWords.append(in.take().text);
    if (typeWords.isEmpty())
        syntaxError(QStringLiteral("Feld '%1' ohne Datentyp.").arg(column.name));
    column.type = typeWords.join(u' ');
    column.baseType = typeWords.front().toLower();
    if (in.takeSymbol("(")) {
        QString size = in.takeNumber();
        column.width = size;
        if (in.takeSymbol(",")) size += u',' + in.takeNumber();
        in.expectSymbol(")");
        column.type += u'(' + size + u')';
    }
    column.identity = counterTypes().contains(column.baseType);

    QString constraintName;
    while (!in.atEnd()) {
        if (in.takeWord("IDENTITY")) {
            readIdentity(in);
            column.identity = true;
        } else if (in.takeWord("NOT")) {
            in.expectWord("NULL");
            column.notNull = true;
        } else if (in.takeWord("NULL")) {
            // nullable, as without the word
        } else if (in.takeWord("DEFAULT")) {
            column.defaultSql = defaultValue(in, column);
        } else if (in.takeWord("WITH")) {
            // Unicode compression of the old engine's files; SQLite stores UTF-8 anyway.
            if (!in.takeWord("COMPRESSION") && !in.takeWord("COMP")) syntaxError();
        } else if (in.takeWord("CONSTRAINT")) {
            constraintName = in.takeName();
            continue;
        } else if (in.takeWord("PRIMARY")) {
            in.expectWord("KEY");
            table.keys.append({constraintName, true, {column.name}});
        } else if (in.takeWord("UNIQUE")) {
            table.keys.append({constraintName, false, {column.name}});
        } else {
            syntaxError(QStringLiteral("Unbekannte Angabe '%1' beim Feld '%2'.")
                            .arg(in.peek().text, column.name));
        }
        constraintName.clear();
    }
    if (table.column(column.name))
        syntaxError(QStringLiteral("Das Feld '%1' ist mehrfach definiert.").arg(column.name));
    table.columns.append(column);
}

void readTableConstraint(Cursor& in, Table& table) {
    KeyConstraint key;
    if (in.takeWord("CONSTRAINT")) key.name = in.takeName();
    if (in.takeWord("PRIMARY")) {
        in.expectWord("KEY");
        key.primary = true;
    } else if (!in.takeWord("UNIQUE")) {
        syntaxError(QStringLiteral("Nur PRIMARY KEY und UNIQUE werden unterstützt."));
    }
    key.columns = in.takeNameList();
    if (!in.atEnd()) syntaxError();
    table.keys.append(key);
}

// The significant tokens of each comma-separated part between the outer parentheses.
QList<Tokens> splitDefinitions(const Tokens& tokens, qsizetype open, qsizetype close) {
    QList<Tokens> parts(1);
    int depth = 0;
    for (qsizetype i = open + 1; i < close; ++i) {
        const Token& token = tokens[i];
        if (token.kind == TokenKind::Space) continue;
        if (token.isSymbol("("))
            ++depth;
        else if (token.isSymbol(")"))
            --depth;
        if (depth == 0 && token.isSymbol(","))
            parts.append(Tokens());
        else
            parts.last().append(token);
    }
    return parts;
}

// Index of the table name token, or -1 when the text does not begin with CREATE TABLE.
qsizetype tableNameIndex(const Tokens& tokens) {
    const qsizetype create = sql::nextSignificant(tokens, 0);
    if (create >= tokens.size() || !tokens[create].isWord("CREATE")) return -1;
    const qsizetype word = sql::nextSignificant(tokens, create + 1);
    if (word >= tokens.size() || !tokens[word].isWord("TABLE")) return -1;
    const qsizetype name = sql::nextSignificant(tokens, word + 1);
    return name < tokens.size() && tokens[name].isIdentifier() ? name : -1;
}

Table parseCreateTable(const QString& text) {
    const Tokens tokens = sql::tokenize(text);
    const qsizetype nameAt = tableNameIndex(tokens);
    if (nameAt < 0) syntaxError();
    Table table;
    table.name = tokens[nameAt].name();

    const qsizetype open = sql::nextSignificant(tokens, nameAt + 1);
    if (open >= tokens.size() || !tokens[open].isSymbol("(")) syntaxError();
    qsizetype close = open;
    for (int depth = 0; close < tokens.size(); ++close) {
        if (tokens[close].isSymbol("("))
            ++depth;
        else if (tokens[close].isSymbol(")") && --depth == 0)
            break;
    }
    if (close >= tokens.size()) syntaxError();
    const qsizetype rest = sql::nextSignificant(tokens, close + 1);
    if (rest < tokens.size() &&
        !(tokens[rest].isSymbol(";") && sql::nextSignificant(tokens, rest + 1) == tokens.size()))
        syntaxError();

    for (const Tokens& part : splitDefinitions(tokens, open, close)) {
        if (part.isEmpty()) syntaxError();
        const Token& first = part.front();
        Cursor in(part);
        if (first.isWord("CONSTRAINT") || first.isWord("PRIMARY") || first.isWord("UNIQUE"))
            readTableConstraint(in, table);
        else
            readColumn(in, table);
    }
    return table;
}

QString columnSql(const Column& column) {
    if (column.identity)
        return sql::quoteName(column.name) +
               QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL");
    QString text = sql::quoteName(column.name) + u' ' + column.type;
    // A bit column is never null in the old engine; false unless said otherwise.
    if (column.notNull || column.isBit()) text += QStringLiteral(" NOT NULL");
    if (column.defaultSql)
        text += QStringLiteral(" DEFAULT ") + *column.defaultSql;
    else if (column.isBit())
        text += QStringLiteral(" DEFAULT 0");
    if (column.isText()) {
        text += QStringLiteral(" COLLATE NOCASE");
        if (!column.width.isEmpty())
            text += QStringLiteral(" CHECK (length(%1) <= %2)")
                        .arg(sql::quoteName(column.name), column.width);
    }
    return text;
}

} // namespace

QString createTableName(const QString& text) {
    try {
        const Tokens tokens = sql::tokenize(text);
        const qsizetype nameAt = tableNameIndex(tokens);
        return nameAt < 0 ? QString() : tokens[nameAt].name();
    } catch (const EngineError&) {
        return QString();
    }
}

QString translateCreateTable(const QString& text) {
    Table table = parseCreateTable(text);

    int identities = 0;
    for (const Column& column : table.columns)
        identities += column.identity ? 1 : 0;
    if (identities > 1)
        syntaxError(QStringLiteral("Eine Tabelle kann nur ein AutoWert-Feld haben."));

    QStringList constraints;
    for (const KeyConstraint& key : table.keys) {
        QStringList names;
        for (const QString& name : key.columns) {
            Column* column = table.column(name);
            if (!column)
                syntaxError(QStringLiteral("Das Feld '%1' ist nicht definiert.").arg(name));
            // Key columns of a primary key are required, as in the old engine.
            if (key.primary) column->notNull = true;
            names.append(sql::quoteName(column->name));
        }
        // The identity column is SQLite's row id and thereby the key already.
        if (key.primary && key.columns.size() == 1 && table.column(key.columns.front())->identity)
            continue;
        QString constraint;
        if (!key.name.isEmpty())
            constraint = QStringLiteral("CONSTRAINT ") + sql::quoteName(key.name) + u' ';
        constraints.append(constraint + QStringLiteral("UNIQUE (") +
                           names.join(QStringLiteral(", ")) + u')');
    }

    QStringList definitions;
    for (const Column& column : table.columns)
        definitions.append(columnSql(column));
    definitions += constraints;
    return QStringLiteral("CREATE TABLE ") + sql::quoteName(table.name) + QStringLiteral(" (") +
           definitions.join(QStringLiteral(", ")) + u')';
}

} // namespace engine
