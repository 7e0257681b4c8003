#pragma once
// One employee's month as a working-time sheet, without a window: the grid of days (start,
// end, break, flat hours, short text, the two extra counters, worked hours) with free days and
// duty colours, and the month's accounts, vacation and sick-day counts and extra sums.

#include "data/Session.h"
#include "roster/GridSurface.h"
#include "roster/MonthState.h"

#include <QString>

namespace reports {

// The headers of the nine columns of the sheet.
extern const QStringList SheetHeaders;

// What the panels of the sheet show. The accounts are those of the roster (roster::shownAccount),
// with or without a statistics row of the month; the carried balance includes the opening
// balance, so the sheet's balance is the roster's "+ Vormonat".
struct SheetAccounts {
    QString worked;             // txtsum 0: the month's actual hours
    QString target;             // txtsum 1
    QString difference;         // Text2: actual - target
    QString previous;           // txtSumVormonat
    QString balance;            // Text1: difference + previous
    bool statisticsRow = false; // a statistics row of the month exists (its target can be edited)
    QString vacationMonth, sickMonth, vacationYear, sickYear; // Text3, Text4, Text5, Text6
    QString extra1Month, extra2Month, extra1Year, extra2Year; // Text11, Text12, Text8, Text7
};

// Rebuilds the grid of the employee's month (days + 1 rows, 9 columns, row 0 the headers) from
// the database, through rsMaDienste, and computes the accounts. rsStatistik is left on the
// month's statistics row when there is one. Throws the engine's errors.
SheetAccounts fillsheet(data::Session& session, const roster::MonthState& month, int maNr,
                        roster::GridSurface& grid);

// The label of the chosen day: two-digit day, month and four-digit year (05.3.2024).
QString dayText(const roster::MonthState& month, int day);

} // namespace reports
