#pragma once
// Benchmark of the staffing check on the large database.

#include "data/Session.h"

namespace bench {

// The staffing marks of a month of the 60-member group, and the repaint that carries them.
void benchStaffing(data::Session& session, const QString& path);

} // namespace bench
