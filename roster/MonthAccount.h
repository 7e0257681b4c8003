#pragma once
// The account of an employee's month as every output shows it: the roster grid, the printed
// roster, the HTML page and the working-time sheet all take target and carried balance from here,
// so that they never disagree.

#include "data/Session.h"
#include "roster/Statistics.h"

#include <QDate>

namespace roster {

// The month's target and the balance carried into it (without the opening balance StdBestand):
// before the first working day neither; with a statistics row its Soll (to the cent) and
// SumVormonat; without one what a statistics run covering the month would store
// (accountWithoutRow). first is the first day of the month. rsStatistik is left on the month's
// row when there is one.
MonthAccount shownAccount(data::DataUmgebung& env, const TargetBasis& employee, const QDate& first);

// The basis of one employee's targets and his opening balance, read from Mitarbeiter; a basis
// with MaNr 0 when there is no such employee.
struct EmployeeAccountBasis {
    TargetBasis basis;
    double stdbestand = 0.0;
};
EmployeeAccountBasis employeeAccountBasis(data::DataUmgebung& env, int maNr);

} // namespace roster
