#pragma once
// Moving through months and groups around the roster, the status-bar summary of the selection,
// and the dialog commands of the main menu with what runs after each.

class frmTurnova;

// Connects the status-bar summary and the dialog commands to the main window.
void installNavigation(frmTurnova& window);
