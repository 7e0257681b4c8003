#pragma once
// The evaluations of the main menu: "Jahresübersicht", the annual overview of the shown group.

class frmTurnova;

// The annual overview of the roster's year, modal, on the employee of the current column;
// afterwards a corrected target reaches the statistics and the roster.
void mnuAuswertungen_Click(frmTurnova& window);
// Connects the menu entry mnuAuswertungen.
void installReportCommands(frmTurnova& window);
