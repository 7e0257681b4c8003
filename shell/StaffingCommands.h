#pragma once
// The staffing check in the main window: the entry "Besetzung" of the menu "Prüfung" opens the
// window of the requirements, and after every repaint the day labels of the roster get their
// marks from the check of the shown group's month (kept until the data change, so a repaint
// that changed nothing asks the database nothing).

#include "roster/StaffingCheck.h"

class frmTurnova;

// Connects the menu entry and the marks.
void installStaffingCheck(frmTurnova& window);
// The gaps of the shown month as the last repaint marked them.
QList<roster::StaffingGap> staffingGaps(frmTurnova& window);
