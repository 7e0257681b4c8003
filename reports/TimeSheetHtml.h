#pragma once
// The working-time sheet as an HTML page for the browser to print: the head of every page, the
// organisation and the employee as heading, and the sheet's grid as a table.

#include "roster/GridSurface.h"
#include "roster/MonthState.h"

#include <QString>

namespace reports {

// The proposed name: "tnv-" + the employee's name + "-" + two-digit month + ".html"; signs a
// file name cannot hold ("/", "\", ":") become "-".
QString sheetPageName(const QString& planName, const roster::MonthState& month);

// Writes the page; an existing page is replaced only by a complete one. orgname, group and
// planName are database texts. Throws engine::EngineError when the file cannot be written.
void writeSheetPage(const QString& path, const roster::MonthState& month, const QString& orgname,
                    const QString& group, const QString& planName, const roster::GridSurface& grid);

} // namespace reports
