#pragma once
// "Arbeitszeiten" (mnuarbeit): the working-time sheet of the shown month, on the employee of
// the roster column that holds the cursor (or the one shown last time). The statistics are
// brought up to date before the sheet opens, and the roster is rebuilt after it closes.

class frmTurnova;

void installSheetCommands(frmTurnova& window);
