#include "engine/SqlTokenizer.h"

#include "engine/EngineError.h"

namespace engine::sql {

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

[[noreturn]] void fail(const QString& description) {
    throw EngineError(err::CommandError, description);
}

// End (one past the closing character) of a quoted token starting at `start`; a doubled
// closing character stands for itself when `doubledEscapes` is set.
qsizetype quotedEnd(const QString& text, qsizetype start, QChar close, bool doubledEscapes) {
    qsizetype i = start + 1;
    while (i < text.size()) {
        if (text[i] == close) {
            if (doubledEscapes && i + 1 < text.size() && text[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return -1;
}

qsizetype numberEnd(const QString& text, qsizetype i) {
    const auto digits = [&](qsizetype j) {
        while (j < text.size() && text[j].isDigit())
            ++j;
        return j;
    };
    i = digits(i);
    if (i < text.size() && text[i] == u'.') i = digits(i + 1);
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) ++j;
        if (j < text.size() && text[j].isDigit()) i = digits(j);
    }
    return i;
}

} // namespace

QString Token::name() const {
    switch (kind) {
    case TokenKind::Bracketed:
        return text.mid(1, text.size() - 2);
    case TokenKind::Backquoted:
        return text.mid(1, text.size() - 2).replace(QLatin1String("``"), QLatin1String("`"));
    default:
        return text;
    }
}

QString Token::stringValue() const {
    const QChar quote = text.front();
    QString value = text.mid(1, text.size() - 2);
    return value.replace(QString(2, quote), QString(quote));
}

Tokens tokenize(const QString& text) {
    Tokens tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        TokenKind kind = TokenKind::Symbol;
        qsizetype end = i + 1;
        if (c.isSpace()) {
            kind = TokenKind::Space;
            while (end < text.size() && text[end].isSpace())
                ++end;
        } else if (c == u'\'' || c == u'"') {
            kind = TokenKind::String;
            end = quotedEnd(text, i, c, true);
            if (end < 0)
                fail(QStringLiteral("Syntaxfehler in Zeichenfolge in Abfrageausdruck '%1'.")
                         .arg(text.mid(i)));
        } else if (c == u'[') {
            kind = TokenKind::Bracketed;
            end = quotedEnd(text, i, u']', false);
            if (end < 0)
                fail(QStringLiteral("Ungültige Klammerung des Namens '%1'.").arg(text.mid(i)));
        } else if (c == u'`') {
            kind = TokenKind::Backquoted;
            end = quotedEnd(text, i, u'`', true);
            if (end < 0)
                fail(QStringLiteral("Ungültige Klammerung des Namens '%1'.").arg(text.mid(i)));
        } else if (c == u'#') {
            kind = TokenKind::Date;
            end = quotedEnd(text, i, u'#', false);
            if (end < 0)
                fail(QStringLiteral("Syntaxfehler in Datum in Abfrageausdruck '%1'.")
                         .arg(text.mid(i)));
        } else if (c.isDigit() || (c == u'.' && i + 1 < text.size() && text[i + 1].isDigit())) {
            kind = TokenKind::Number;
            end = numberEnd(text, i);
        } else if (isWordStart(c)) {
            kind = TokenKind::Word;
            while (end < text.size() && isWordChar(text[end]))
                ++end;
        } else if (i + 1 < text.size()) {
            static const QStringList pairs = {QStringLiteral("<="), QStringLiteral(">="),
                                              QStringLiteral("<>"), QStringLiteral("!="),
                                              QStringLiteral("||")};
            if (pairs.contains(text.mid(i, 2))) end = i + 2;
        }
        tokens.append(Token{kind, text.mid(i, end - i)});
        i = end;
    }
    return tokens;
}

QString join(const Tokens& tokens, qsizetype from, qsizetype to) {
    if (to < 0 || to > tokens.size()) to = tokens.size();
    QString text;
    for (qsizetype i = from; i < to; ++i)
        text += tokens[i].text;
    return text;
}

qsizetype nextSignificant(const Tokens& tokens, qsizetype i) {
    while (i < tokens.size() && tokens[i].kind == TokenKind::Space)
        ++i;
    return i;
}

qsizetype previousSignificant(const Tokens& tokens, qsizetype i) {
    --i;
    while (i >= 0 && tokens[i].kind == TokenKind::Space)
        --i;
    return i;
}

QString quoteString(const QString& value) {
    QString quoted = value;
    quoted.replace(u'\'', QLatin1String("''"));
    return u'\'' + quoted + u'\'';
}

QString quoteName(const QString& name) {
    QString quoted = name;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace engine::sql
