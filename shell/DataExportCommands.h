#pragma once
// "Exportieren" → "Monatskonten (CSV) ..." (mnuEpKonten) and "Kalender (iCal) ..."
// (mnuEpKalender): the accounts of the shown month and group for payroll, and the duties as
// calendar files for the staff.

#include "data/Session.h"
#include "roster/MonthState.h"

class frmTurnova;
class QWidget;

// Asks for the file (cancelling ends the command quietly) and writes the accounts.
void mnuEpKonten_Click(data::Session& session, const roster::MonthState& month);
// Opens the calendar export window.
void mnuEpKalender_Click(data::Session& session, const roster::MonthState& month, QWidget* parent);

// Connects the two menu entries of the main window.
void installDataExportCommands(frmTurnova& window);
