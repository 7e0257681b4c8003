#pragma once
// The summary of the selected days of one roster column shown in the status bar: the days, the
// employee, the sums of hours, break, flat hours and the two extra counters, the short text of
// the last duty, and the hours times the employee's hourly wage.

#include "data/DataUmgebung.h"
#include "roster/MonthState.h"

#include <QStringList>

#include <optional>

namespace roster {

// The nine panel texts for the grid rows firstRow to lastRow (in either order; day d of the
// month is row d + 1) of the grid column col of the shown group. Nothing while a repaint
// runs or when a selected row is not a day row.
std::optional<QStringList> selectionSummary(data::DataUmgebung& env, const MonthState& month,
                                            int firstRow, int lastRow, int col);

} // namespace roster
