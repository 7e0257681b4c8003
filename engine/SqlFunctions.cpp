// The SQL functions of the old dialect, registered on every connection: HOUR and MINUTE on day
// numbers, the aggregate LAST, LIKE without regard to case for all of Unicode, and the collation
// that compares text by the same rule.

#include "engine/SqlDialect.h"

#include "engine/DateValue.h"
#include "engine/EngineError.h"
#include "engine/TextCompare.h"

#include <QByteArray>
#include <QHash>

#include <sqlite3.h>

#include <cmath>
#include <optional>

namespace engine {

namespace {

// The old engine's dates end with 31 December 9999.
constexpr double LargestDayNumber = 2958466.0;

QString textOf(sqlite3_value* value) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                             sqlite3_value_bytes(value));
}

// The time of day of |x|, rounded to the second; no value (and the result set) for NULL or
// for a value that is no date.
std::optional<QTime> timeArgument(sqlite3_context* context, sqlite3_value* value) {
    std::optional<double> day;
    switch (sqlite3_value_numeric_type(value)) {
    case SQLITE_NULL:
        sqlite3_result_null(context);
        return std::nullopt;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        day = sqlite3_value_double(value);
        break;
    default:
        day = dayNumber(QVariant(textOf(value)));
        break;
    }
    if (!day) {
        sqlite3_result_error(context, "Datentypen in Kriterienausdruck unverträglich.", -1);
        return std::nullopt;
    }
    if (!std::isfinite(*day) || std::fabs(*day) > LargestDayNumber) {
        sqlite3_result_error(context, "Überlauf.", -1);
        return std::nullopt;
    }
    return timeOf(*day);
}

void hourFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    if (const auto time = timeArgument(context, argv[0])) sqlite3_result_int(context, time->hour());
}

void minuteFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    if (const auto time = timeArgument(context, argv[0]))
        sqlite3_result_int(context, time->minute());
}

// LAST(x): the value of the last row fed, NULL included. The aggregate context holds a copy.
void lastStep(sqlite3_context* context, int, sqlite3_value** argv) {
    auto** slot =
        static_cast<sqlite3_value**>(sqlite3_aggregate_context(context, sizeof(sqlite3_value*)));
    sqlite3_value* copy = slot ? sqlite3_value_dup(argv[0]) : nullptr;
    if (!copy) {
        sqlite3_result_error_nomem(context);
        return;
    }
    sqlite3_value_free(*slot);
    *slot = copy;
}

void lastFinal(sqlite3_context* context) {
    auto** slot = static_cast<sqlite3_value**>(sqlite3_aggregate_context(context, 0));
    if (!slot || !*slot) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_value(context, *slot);
    sqlite3_value_free(*slot);
    *slot = nullptr;
}

using CodePoints = QList<uint>; // what QString::toUcs4() gives

struct PatternItem {
    enum Kind { Any, One, Literal } kind;
    uint character;
};

// The pattern as wildcards and literal characters; false for an escape character at the end.
bool compilePattern(const CodePoints& pattern, std::optional<uint> escape,
                    QList<PatternItem>* items) {
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const uint c = pattern[i];
        if (escape && c == *escape) {
            if (++i >= pattern.size()) return false;
            items->append({PatternItem::Literal, pattern[i]});
        } else if (c == u'%') {
            if (items->isEmpty() || items->last().kind != PatternItem::Any)
                items->append({PatternItem::Any, 0});
        } else {
            items->append({c == u'_' ? PatternItem::One : PatternItem::Literal, c});
        }
    }
    return true;
}

struct CompiledPattern {
    QList<PatternItem> items;
    bool valid = false;
    // A pattern kept beside its statement remembers its answers by the text's bytes: a column
    // such as a short text holds few different values, and folding one costs allocations.
    QHash<QByteArray, bool> answers;
};

constexpr qsizetype RememberedAnswers = 512;

// Text of ASCII characters only, read in place: its case folding is A-Z to a-z, so it needs
// neither a QString nor a list of code points (LIKE runs for every row a query reads).
struct AsciiText {
    const unsigned char* bytes;
    qsizetype length;
    qsizetype size() const { return length; }
    uint operator[](qsizetype i) const {
        const uint c = bytes[i];
        return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
    }
};

bool isAscii(const unsigned char* bytes, qsizetype length) {
    for (qsizetype i = 0; i < length; ++i)
        if (bytes[i] >= 0x80) return false;
    return true;
}

// Wildcard match with backtracking to the last "%" only, so the time stays proportional to
// the product of the lengths. Text: the case-folded code points (CodePoints or AsciiText).
template <typename Text> bool matches(const QList<PatternItem>& pattern, const Text& text) {
    qsizetype p = 0, t = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p].kind == PatternItem::Any) {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() &&
                   (pattern[p].kind == PatternItem::One || pattern[p].character == text[t])) {
            ++p;
            ++t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p].kind == PatternItem::Any)
        ++p;
    return p == pattern.size();
}

// like(pattern, text [, escape]): "text LIKE pattern [ESCAPE e]" in SQLite.
void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    std::optional<uint> escape;
    if (argc == 3) {
        const CodePoints chars = textOf(argv[2]).toCaseFolded().toUcs4();
        if (chars.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = chars.front();
    }
    // A pattern that stays the same from row to row (a literal or a bound value) is compiled
    // once and kept by SQLite beside the statement.
    const bool keep = argc == 2;
    auto* kept = keep ? static_cast<CompiledPattern*>(sqlite3_get_auxdata(context, 0)) : nullptr;
    CompiledPattern local;
    CompiledPattern* compiled = kept ? kept : &local;
    if (!kept) {
        compiled->valid =
            compilePattern(textOf(argv[0]).toCaseFolded().toUcs4(), escape, &compiled->items);
    }
    const auto* bytes = sqlite3_value_text(argv[1]);
    const qsizetype length = sqlite3_value_bytes(argv[1]);
    const bool remember = keep && bytes;
    if (remember && kept) {
        const auto known = kept->answers.constFind(
            QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), length));
        if (known != kept->answers.constEnd()) {
            sqlite3_result_int(context, *known ? 1 : 0);
            return;
        }
    }
    const bool result = compiled->valid &&
                        (bytes && isAscii(bytes, length)
                             ? matches(compiled->items, AsciiText{bytes, length})
                             : matches(compiled->items, textOf(argv[1]).toCaseFolded().toUcs4()));
    if (remember) {
        if (compiled->answers.size() >= RememberedAnswers) compiled->answers.clear();
        compiled->answers.insert(QByteArray(reinterpret_cast<const char*>(bytes), length), result);
    }
    if (keep && !kept) {
        // SQLite owns the copy from here on and may free it at once
        sqlite3_set_auxdata(context, 0, new CompiledPattern(std::move(local)),
                            [](void* p) { delete static_cast<CompiledPattern*>(p); });
    }
    sqlite3_result_int(context, result ? 1 : 0);
}

int textCollation(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return compareText(QString::fromUtf8(static_cast<const char*>(a), lengthA),
                       QString::fromUtf8(static_cast<const char*>(b), lengthB));
}

void check(int rc, const char* name) {
    if (rc != SQLITE_OK)
        throw EngineError(err::GeneralFailure,
                          QStringLiteral("Die SQL-Funktion %1 konnte nicht angemeldet werden.")
                              .arg(QLatin1String(name)));
}

} // namespace

void registerDialectFunctions(sqlite3* db) {
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    check(sqlite3_create_function_v2(db, "hour", 1, flags, nullptr, hourFunction, nullptr, nullptr,
                                     nullptr),
          "HOUR");
    check(sqlite3_create_function_v2(db, "minute", 1, flags, nullptr, minuteFunction, nullptr,
                                     nullptr, nullptr),
          "MINUTE");
    check(sqlite3_create_function_v2(db, "last", 1, flags, nullptr, nullptr, lastStep, lastFinal,
                                     nullptr),
          "LAST");
    // Replaces SQLite's own like(), which folds ASCII letters only.
    check(sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr,
                                     nullptr),
          "LIKE");
    check(sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr,
                                     nullptr),
          "LIKE");
    // An index that uses it needs it on every connection that writes or checks the table.
    check(sqlite3_create_collation_v2(db, TextCollation, SQLITE_UTF8, nullptr, textCollation,
                                      nullptr),
          TextCollation);
}

} // namespace engine
