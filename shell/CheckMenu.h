#pragma once
// The working-time check in the main window: the marks on the roster (repainted with it), the
// top-level menu entry "Prüfung" (mnuPruefung) that opens the window "Arbeitszeitprüfung", and
// that window following the roster's month and group while it is open.

class frmTurnova;
class frmArbeitszeitpruefung;

// Connects the menu entry and switches the roster's marks on.
void installWorkingTimeCheck(frmTurnova& window);
// The findings window of a main window, when it has been opened.
frmArbeitszeitpruefung* findingsWindow(frmTurnova& window);
