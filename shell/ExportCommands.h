#pragma once
// "Exportieren" → "Turnova" (mnutnv): the roster of the shown month and group as an HTML page
// for a browser or the intranet, under a name the user chooses.

#include "data/Session.h"
#include "roster/MonthState.h"

class frmTurnova;

// The proposed name of the page: "tnv-" + year + "-" + two-digit month + ".html".
QString rosterPageName(const roster::MonthState& month);
// Asks for the file (cancelling ends the command quietly) and writes the page.
void mnutnv_Click(data::Session& session, const roster::MonthState& month);

// Shows the menu entry mnutnv of the main window and connects it.
void installExportCommands(frmTurnova& window);
