#pragma once
// The tokenizer behind the dialect translation. It splits an SQL text of the old engine's
// dialect into tokens whose texts, put back together, give the original text again, so the
// translation changes only the tokens it means to change.

#include <QList>
#include <QString>

namespace engine::sql {

enum class TokenKind {
    Space,      // blanks, tabs, line breaks
    Word,       // bare identifier or keyword
    Bracketed,  // [name]
    Backquoted, // `name`
    String,     // 'text' or "text"
    Number,     // 12, 1.5, .5, 1e3
    Date,       // #m/d/yy#
    Symbol,     // operators and punctuation; <=, >=, <>, != and || are one token
};

struct Token {
    TokenKind kind;
    QString text; // exactly as written

    bool isWord(const char* keyword) const {
        return kind == TokenKind::Word &&
               text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char* symbol) const {
        return kind == TokenKind::Symbol && text == QLatin1String(symbol);
    }
    bool isIdentifier() const {
        return kind == TokenKind::Word || kind == TokenKind::Bracketed ||
               kind == TokenKind::Backquoted;
    }
    // The name of an identifier without its brackets or backquotes.
    QString name() const;
    // The value of a string literal without its quotes, doubled quotes made single.
    QString stringValue() const;
    // The body of a date literal without the # signs.
    QString dateBody() const { return text.mid(1, text.size() - 2); }
};

using Tokens = QList<Token>;

// Throws EngineError(err::CommandError) for an unterminated string, name or date literal.
Tokens tokenize(const QString& text);

// The text of tokens [from, to) put together.
QString join(const Tokens& tokens, qsizetype from = 0, qsizetype to = -1);

// Index of the next token at or after i that is not a space; tokens.size() when none.
qsizetype nextSignificant(const Tokens& tokens, qsizetype i);
// Index of the last token before i that is not a space; -1 when none.
qsizetype previousSignificant(const Tokens& tokens, qsizetype i);

// A string as an SQLite string literal in single quotes.
QString quoteString(const QString& value);
// A name as an SQLite identifier in double quotes.
QString quoteName(const QString& name);

} // namespace engine::sql
