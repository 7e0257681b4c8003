#include "roster/StatisticsDuties.h"

#include "engine/DateValue.h"
#include "roster/Lookups.h"
#include "roster/Query.h"

#include <QHash>

#include <QTime>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace roster {

namespace {

// The terms of a duty, the same columns in both reads (the labels are parameters 1 and 2).
const QString TermColumns =
    QStringLiteral("Tag, ") + TimedHoursSql +
    QStringLiteral(" AS Summe, Normstunden, (Kurzinfo Like [parUrlaub]) AS Urlaub, "
                   "(Kurzinfo Like [parKrank]) AS Krank");

const QVariant Urlaub = QStringLiteral("%Urlaub%");
const QVariant Krank = QStringLiteral("%Krank%");

// The duty of the row as TermColumns give it, from column first on.
DutyTerms termsOf(const QueryRun& run, int first) {
    DutyTerms duty;
    duty.tag = run.number(first);
    const std::optional<double> timed = run.numberOrNull(first + 1);
    const std::optional<double> flat = run.numberOrNull(first + 2);
    duty.hasTimed = timed.has_value();
    duty.timed = timed.value_or(0.0);
    duty.hasFlat = flat.has_value();
    duty.flat = flat.value_or(0.0);
    duty.urlaub = run.number(first + 3) != 0.0;
    duty.krank = run.number(first + 4) != 0.0;
    return duty;
}

// The labels of the short texts, asked of the database once for each different text (its LIKE,
// so the rule and its folding stay the database's), remembered by the text's bytes: a column of
// short texts holds few different values.
class Labels {
public:
    explicit Labels(engine::Connection& connection) : connection_(connection) {}

    std::pair<bool, bool> of(const QueryRun& run, int column) {
        const std::optional<QByteArrayView> text = run.textBytes(column);
        if (!text) return {false, false}; // LIKE of NULL is NULL
        const QByteArray key = QByteArray::fromRawData(text->data(), text->size());
        const auto known = known_.constFind(key);
        if (known != known_.constEnd()) return *known;
        static const Query query(
            QStringLiteral("SELECT ([parText] Like [parUrlaub]), "
                           "([parText] Like [parKrank])"),
            {QStringLiteral("parText"), QStringLiteral("parUrlaub"), QStringLiteral("parKrank")});
        QueryRun ask(connection_, query, {QString::fromUtf8(*text), Urlaub, Krank});
        ask.next();
        const std::pair<bool, bool> labels{ask.number(0) != 0.0, ask.number(1) != 0.0};
        known_.insert(QByteArray(key.constData(), key.size()), labels);
        return labels;
    }

private:
    engine::Connection& connection_;
    QHash<QByteArray, std::pair<bool, bool>> known_;
};

int monthKey(const QDate& day) {
    return day.year() * 12 + day.month() - 1;
}

} // namespace

DutyList readEmployeeDuties(engine::Connection& connection, int maNr, const QDate& first,
                            const QDate& last) {
    static const Query query(
        QStringLiteral("SELECT ") + TermColumns +
            QStringLiteral(" FROM Dienstzeiten WHERE ((Tag >= [parVon] ) AND (Tag <= [parBis] ) "
                           "AND (MaNr = [parMaNr] )) ORDER BY Tag"),
        {QStringLiteral("parUrlaub"), QStringLiteral("parKrank"), QStringLiteral("parVon"),
         QStringLiteral("parBis"), QStringLiteral("parMaNr")});
    QueryRun run(connection, query, {Urlaub, Krank, first, last, maNr});
    DutyList duties;
    while (run.next())
        duties.push_back(termsOf(run, 0));
    return duties;
}

std::optional<std::optional<double>>
timedHours(std::optional<double> anfang, std::optional<double> ende, std::optional<double> pause) {
    constexpr double LargestDayNumber = 2958466.0;        // HOUR's limit, 31 December 9999
    constexpr double ExactLimit = 1099511627776.0;        // 2^40
    if (!anfang || !ende) return std::optional<double>(); // HOUR(NULL)
    if (std::fabs(*anfang) > ExactLimit || std::fabs(*ende) > ExactLimit) return std::nullopt;
    const double span = *ende - *anfang;
    if (!std::isfinite(span) || std::fabs(span) > LargestDayNumber) return std::nullopt;
    if (!pause) return std::optional<double>();
    const QTime time = engine::timeOf(span);
    // ROUND(x) of SQLite for |x| below 2^52: half away from zero through a whole number
    const double seconds = span * 86400;
    const double rounded = double(qint64(seconds + (seconds < 0 ? -0.5 : 0.5)));
    const int wholeDay = rounded == 86400 ? 1 : 0;
    const double fraction = 1 * 1.0 / 60; // "1 / 60" as the dialect translates it
    return std::optional<double>(
        ((double(time.hour()) + fraction * double(time.minute())) + double(24 * wholeDay)) -
        *pause);
}

std::optional<std::unordered_map<int, DutyList>> readDutiesFrom(engine::Connection& connection,
                                                                const FirstDays& firstDays) {
    std::unordered_map<int, DutyList> duties; // its elements stay where they are
    if (firstDays.empty()) return duties;
    struct Wanted {
        double from;
        DutyList* list;
    };
    QHash<qint64, Wanted> wanted;
    QDate earliest = firstDays.begin()->second;
    for (const auto& [maNr, first] : firstDays) {
        wanted.insert(maNr, {engine::dayNumber(first), &duties[maNr]});
        earliest = std::min(earliest, first);
    }
    // The bounds keep the comparison of the database: a day stored as text is in no range.
    static const Query query(
        QStringLiteral("SELECT MaNr, Tag, Anfang, Ende, Pause, Normstunden, Kurzinfo FROM "
                       "Dienstzeiten NOT INDEXED WHERE (Tag >= [parVon]) AND (Tag <= [parBis])"),
        {QStringLiteral("parVon"), QStringLiteral("parBis")});
    Labels labels(connection);
    QueryRun run(connection, query, {earliest, QDate(9999, 12, 31)});
    while (run.next()) {
        // "MaNr = n" holds for a whole number only
        const std::optional<qint64> maNr = run.integer(0);
        if (!maNr) continue;
        const auto it = wanted.constFind(*maNr);
        if (it == wanted.constEnd()) continue;
        DutyTerms duty;
        duty.tag = run.number(1);
        if (duty.tag < it->from) continue;
        std::optional<double> times[3];
        for (int c = 0; c < 3; ++c) {
            if (!run.isPlainNumber(2 + c)) return std::nullopt; // text: the database's own way
            times[c] = run.numberOrNull(2 + c);
        }
        const auto timed = timedHours(times[0], times[1], times[2]);
        if (!timed) return std::nullopt;
        duty.hasTimed = timed->has_value();
        duty.timed = timed->value_or(0.0);
        const std::optional<double> flat = run.numberOrNull(5);
        duty.hasFlat = flat.has_value();
        duty.flat = flat.value_or(0.0);
        std::tie(duty.urlaub, duty.krank) = labels.of(run, 6);
        it->list->push_back(duty);
    }
    // one employee has one duty a day, so the order by day is unique; a table written day by
    // day holds them so already
    const auto byDay = [](const DutyTerms& a, const DutyTerms& b) { return a.tag < b.tag; };
    for (auto& entry : duties)
        if (!std::is_sorted(entry.second.begin(), entry.second.end(), byDay))
            std::sort(entry.second.begin(), entry.second.end(), byDay);
    return duties;
}

bool wholeTableIsCheaper(engine::Connection& connection, const FirstDays& firstDays,
                         const QDate& today) {
    static const Query size(QStringLiteral("SELECT max(rowid) FROM Dienstzeiten"), {});
    const double rows = size.scalar(connection, {}).value_or(QVariant()).toDouble();
    double months = 0;
    for (const auto& entry : firstDays)
        months += std::max(1, monthKey(today) - monthKey(entry.second) + 2);
    return months * 31 * 4 >= rows;
}

} // namespace roster
