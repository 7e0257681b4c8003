#pragma once
// The monthly statistics of every employee: target hours, hours worked, the balance carried in
// from the previous months, vacation and sick days, one Statistik row per employee and month.
// They are brought up to date from each employee's lastChange, the earliest day whose data
// changed since the last run.

#include "data/Session.h"
#include "roster/Konstanten.h"

#include <QDate>
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
                   double workDays);

// What an employee's targets depend on.
struct TargetBasis {
    int maNr = 0;
    QDate ersterArbeitstag; // the first working day; the epoch when none is stored
    QVariant sollstd;       // the flat monthly target; 0 or null: worked out from the work days
    double normstunden = 0.0;
};
// From the current row of a recordset that holds MaNr, ersterArbeitstag, Sollstd and Normstunden
// (rsMitarbeiter, rsMaNachGrp).
TargetBasis targetBasis(const engine::Recordset& rs);

// The work days of the month from first to last that count for the employee's target: those
// from the later of first and his first working day on; none when the month ends before it. A
// part holiday (24 December at Prozent 0,5) on a weekday counts with its working share.
double targetWorkDays(const Holidays& holidays, const QDate& first, const QDate& last,
                      const QDate& ersterArbeitstag);

// The target of a month and the balance carried into it (without the opening balance StdBestand).
struct MonthAccount {
    double target = 0.0;
    double carry = 0.0;
};
// The account of an employee's month that has no statistics row, as a statistics run covering
// the month would store it: before the first working day neither target nor carry; otherwise
// the end balance of his last stored month before it, continued through the months between with
// their hours and targets (no stored month at all: nothing carried). The target counts the work
// days from the first working day on. first is the first day of the month.
MonthAccount accountWithoutRow(data::DataUmgebung& env, const TargetBasis& employee,
                               const QDate& first);

// Finds or adds the statistics row of the employee's month in rsStatistik and sets its Soll by
// monthTarget. rsStatistik is left on the row (a new row still being added) for the caller to
// fill in and save.
void monthRowUpdate(data::DataUmgebung& env, int maNr, const QVariant& sollstd, double normstunden,
                    int month, int year, double workDays);

} // namespace roster
