#pragma once
// Benchmarks of the exports for payroll and calendars on the large database.

#include "data/Session.h"

namespace bench {

// The monthly accounts CSV of all 200 employees, and the calendar files of the 60-member group
// for a month.
void benchExports(data::Session& session);

} // namespace bench
