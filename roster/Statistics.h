#pragma once
// The monthly statistics of every employee: target hours, hours worked, the balance carried in
// from the previous months, vacation and sick days, one Statistik row per employee and month.
// They are brought up to date from each employee's lastChange, the earliest day whose data
// changed since the last run.

#include "data/Session.h"

#include <QVariant>

#include <optional>

namespace roster {

enum class StatisticsOutcome {
    Ok,
    Failed, // an error was reported; the employees not yet done keep their lastChange
    Fatal,  // the database lacks a field the run needs: the program must end
};

// Recomputes the statistics of every employee whose lastChange is set, from the month of the
// change to the month after his last duty (and through every row he already has), and clears
// lastChange. Each employee's months are written in one transaction, so a failure leaves his
// rows and lastChange as they were and the next run retries exactly. The progress is the
// number of employees looked at. An error is shown with "berStatistik2" and the stage.
StatisticsOutcome berStatistik2(data::Session& session);

// The target of a month: work days times daily norm hours when the employee has no flat target
// (Sollstd 0 or null); with a flat target the stored target of an existing row, which may have
// been entered by hand, or the flat target for a new row.
double monthTarget(std::optional<double> storedTarget, const QVariant& sollstd, double normstunden,
                   int workDays);

// Finds or adds the statistics row of the employee's month in rsStatistik and sets its Soll by
// monthTarget. rsStatistik is left on the row (a new row still being added) for the caller to
// fill in and save.
void monthRowUpdate(data::DataUmgebung& env, int maNr, const QVariant& sollstd, double normstunden,
                    int month, int year, int workDays);

} // namespace roster
