#pragma once
// Undo and redo in the main window: the menu "Bearbeiten" with "Rückgängig: ..." and
// "Wiederholen: ..." (mnuRueckgaengig, mnuWiederholen), the same two entries at the end of the
// roster's right-button menu, and the keys Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z. An undo shows the
// month it changed, runs the statistics and repaints the roster with its sums, status bar and
// marks. The steps themselves are kept by the session's undo log (data/UndoLog).

class frmTurnova;

void installUndoCommands(frmTurnova& window);
