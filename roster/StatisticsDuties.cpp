#include "roster/StatisticsDuties.h"

#include "engine/DateValue.h"
#include "roster/Lookups.h"
#include "roster/Query.h"

#include <QHash>

#include <algorithm>

namespace roster {

namespace {

// The terms of a duty, the same columns in both reads (the labels are parameters 1 and 2).
const QString TermColumns =
    QStringLiteral("Tag, ") + TimedHoursSql +
    QStringLiteral(" AS Summe, Normstunden, (Kurzinfo Like [parUrlaub]) AS Urlaub, "
                   "(Kurzinfo Like [parKrank]) AS Krank");

const QVariant Urlaub = QStringLiteral("%Urlaub%");
const QVariant Krank = QStringLiteral("%Krank%");

// The duty of the row, its columns from column first on as TermColumns gives them.
DutyTerms termsOf(const QueryRun& run, int first) {
    DutyTerms duty;
    duty.tag = run.number(first);
    duty.hasTimed = !run.isNull(first + 1);
    if (duty.hasTimed) duty.timed = run.number(first + 1);
    duty.hasFlat = !run.isNull(first + 2);
    if (duty.hasFlat) duty.flat = run.number(first + 2);
    duty.urlaub = run.number(first + 3) != 0.0;
    duty.krank = run.number(first + 4) != 0.0;
    return duty;
}

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

std::unordered_map<int, DutyList> readDutiesFrom(engine::Connection& connection,
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
    // The bounds keep the comparison of the database: a day stored as text is never in a range.
    static const Query query(
        QStringLiteral("SELECT MaNr, ") + TermColumns +
            QStringLiteral(" FROM Dienstzeiten NOT INDEXED WHERE (Tag >= [parVon]) AND "
                           "(Tag <= [parBis])"),
        {QStringLiteral("parUrlaub"), QStringLiteral("parKrank"), QStringLiteral("parVon"),
         QStringLiteral("parBis")});
    QueryRun run(connection, query, {Urlaub, Krank, earliest, QDate(9999, 12, 31)});
    while (run.next()) {
        // "MaNr = n" holds for a whole number only
        const QVariant maNr = run.value(0);
        if (maNr.typeId() != QMetaType::LongLong) continue;
        const auto it = wanted.constFind(maNr.toLongLong());
        if (it == wanted.constEnd()) continue;
        const DutyTerms duty = termsOf(run, 1);
        if (duty.tag >= it->from) it->list->push_back(duty);
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
