#pragma once
// Benchmarks of the roster procedures on the large database.

#include "data/Session.h"

namespace bench {

void benchGridRepaint(data::Session& session, const QString& path);

} // namespace bench
