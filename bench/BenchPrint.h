#pragma once
// Benchmarks of the printed roster on the large database.

#include "data/Session.h"

namespace bench {

// One redraw of page 1 of the 60-member group in the print preview, and every page of that
// month printed into a PDF file, next to the raw queries a redraw needs.
void benchPrint(data::Session& session, const QString& path);

} // namespace bench
