#pragma once
// "Eigenschaften" of the Datei menu: the settings window, and the screen font it gives the
// roster and the main window.

class frmTurnova;
class QFont;

// The settings window, modal; afterwards the roster is rebuilt.
void mnusettings_Click(frmTurnova& window);
// The roster and the main window take name, size, bold and italic of the font; the roster is
// rebuilt.
void applyScreenFont(frmTurnova& window, const QFont& font);
// Connects the menu entry mnusettings.
void installSettingsCommands(frmTurnova& window);
