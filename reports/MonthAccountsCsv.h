#pragma once
// The monthly accounts of the shown group as a CSV file for payroll: one row per member in the
// order of the roster, with the figures the roster shows (the same account computation), for
// German spreadsheet programs: UTF-8 with byte-order mark, semicolons, decimal comma, CR LF.

#include "data/Session.h"
#include "roster/MonthState.h"

#include <QByteArray>
#include <QString>

namespace reports {

// "Monatskonten-" + year + "-" + two-digit month + ".csv"
QString monthAccountsFileName(const roster::MonthState& month);

// The whole file: the header row and one row per member of the month's group (positions above
// 0, in position order).
QByteArray monthAccountsCsv(data::DataUmgebung& env, const roster::MonthState& month);

// Writes the file completely or not at all; a failure is shown in German and leaves an existing
// file as it was. True when the file was written.
bool writeMonthAccounts(data::Session& session, const roster::MonthState& month,
                        const QString& path);

} // namespace reports
