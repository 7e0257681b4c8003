#pragma once
// The roster of the shown month and group as an HTML page (the same table as the roster grid:
// names, targets, one row per day with the duty texts and colours, hours, difference and
// balance), and any grid written as an HTML table (the working-time sheet uses it).

#include "data/Session.h"
#include "roster/GridSurface.h"
#include "roster/MonthState.h"

#include <QString>

namespace print {

class HtmlFile;

// Writes the roster page to path; an existing page there is replaced only by a complete new
// one. The session's progress runs over the days. Errors are shown by the error reporter as
// "HTML Export" and leave an existing page as it was; false then.
bool makehtmlplan(data::Session& session, const roster::MonthState& month, const QString& path);

// The grid as a table 1212 wide: one row per grid row, each cell in its background colour
// (white without one), the first row and the first column light grey. No closing table tag.
void gridToHtml(HtmlFile& file, const roster::GridSurface& grid);

} // namespace print
