#pragma once
// Benchmarks of the roster procedures on the large database.

#include "data/Session.h"

namespace bench {

void benchGridRepaint(data::Session& session, const QString& path);
// The statistics run: all employees from their first working day, and after one change.
void benchStatistics(data::Session& session);
// The roster as an HTML page and one employee's working-time sheet.
void benchHtml(data::Session& session, const QString& path);
// Copying a month of the 60-member group as a block and pasting it into the next month.
void benchBlocks(data::Session& session);

} // namespace bench
