#pragma once
// Benchmarks of the evaluations on the large database.

#include "data/Session.h"

namespace bench {

// The yearly table of the annual overview for the 60-member group.
void benchAnnualTable(data::Session& session, const QString& path);

} // namespace bench
