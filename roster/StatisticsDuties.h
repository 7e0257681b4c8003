#pragma once
// The duties the statistics run sums and counts, with the terms the database works out for
// each: its timed hours by TimedHoursSql, its flat hours, and whether its short text counts as
// vacation or sickness. Read for one employee through the index, or for many employees in one
// pass over the duty table.

#include "engine/Connection.h"

#include <QDate>
#include <optional>
#include <unordered_map>
#include <vector>

namespace roster {

// One duty as the month figures need it: the terms of the duty-hours rule and the two labels.
struct DutyTerms {
    double tag = 0.0;
    double timed = 0.0; // only with hasTimed: null when a time is missing
    double flat = 0.0;  // only with hasFlat
    bool hasTimed = false;
    bool hasFlat = false;
    bool urlaub = false;
    bool krank = false;
};

// Ordered by day, as "ORDER BY Tag" reads them.
using DutyList = std::vector<DutyTerms>;

// The duties of one employee from first to last.
DutyList readEmployeeDuties(engine::Connection& connection, int maNr, const QDate& first,
                            const QDate& last);

// The duties of the employees of firstDays, each from his day on (and up to 31.12.9999), read in
// one pass over the table in its stored order: a run over much of the table saves the look-up
// of every row through the index. The same rows as readEmployeeDuties, each list ordered by day.
// The hours work out in C++ (timedHours), so no function of the database runs for each row; when
// a duty of these employees has a time or break that is no plain number, or a span beyond the
// range of days, nothing is returned and the caller reads each employee's through the database.
using FirstDays = std::unordered_map<int, QDate>; // by MaNr
std::optional<std::unordered_map<int, DutyList>> readDutiesFrom(engine::Connection& connection,
                                                                const FirstDays& firstDays);

// What TimedHoursSql gives for start, end and break stored as numbers or null: the same
// operations on the same doubles (HOUR and MINUTE of the span, 1.0 / 60, SQLite's ROUND, a true
// comparison as 1), an empty inner value where it gives null. No value where the database would
// report an error (a span beyond the range of days), or may compute otherwise (a time beyond
// 2^40, whose difference the database takes exactly in whole numbers).
std::optional<std::optional<double>>
timedHours(std::optional<double> anfang, std::optional<double> ende, std::optional<double> pause);

// True when the pass over the whole table is cheaper: the employees' months up to today's (with
// at most 31 duties each) are more than a quarter of the table's rows.
bool wholeTableIsCheaper(engine::Connection& connection, const FirstDays& firstDays,
                         const QDate& today);

} // namespace roster
