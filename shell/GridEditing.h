#pragma once
// Editing the roster with keyboard and mouse: duty keys, the number pad, Delete, Enter, F5,
// moving positions, double-clicks on day and sum cells, the remembered selection block.

class frmTurnova;

// Attaches the handlers to the main window's grid.
void installGridEditing(frmTurnova& window);
