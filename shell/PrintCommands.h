#pragma once
// "Druckvorschau" of the Datei menu: the print preview of the shown month and group.

class frmTurnova;

// Opens the print preview modally; nothing when there are no employees. Without a usable
// printer the message of the printer problem is shown instead.
void mnuprint_Click(frmTurnova& window);

// Connects mnuprint of the main window.
void installPrintCommands(frmTurnova& window);

// The message shown when no printer can be used.
extern const char* const PrinterProblemText;
