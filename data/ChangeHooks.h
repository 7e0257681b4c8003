#pragma once
// The change hooks of the data store. They sit in the change events of the shared recordsets
// and, whatever window changes a duty, a holiday, an employee's first working day or norm hours,
// or a statistics row, lower the affected employees' lastChange, the day from which the monthly
// statistics are recomputed. One more hook lets a standard duty that ends after midnight end on
// the following day.

#include "data/Session.h"

#include <QDate>

namespace data {

// Connects the hooks to the recordsets of the session's data environment. The recordsets live
// as long as the environment and keep their connections through close and reopen, so this is
// done once; calling it again does nothing.
void attachChangeHooks(Session& session);

// Sets the employee's lastChange to day when it is null or later. rsMitarbeiter is moved onto
// the employee, unless it holds a pending change: then that change is left as it is (the day
// goes into it when it is the same employee) and the stored row is updated. Errors are shown
// with "updatelastchange".
void updatelastchange(Session& session, int maNr, const QDate& day);

// Zeroes IstStd, SumVormonat, Urlaubstage and Kranktage of all the employee's statistics rows
// and writes the pending changes of rsStatistik.
void statisticsReset(Session& session, int maNr);

} // namespace data
