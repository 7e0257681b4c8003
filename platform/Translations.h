#pragma once
// Qt's own German texts for standard buttons and dialogs ("Ja", "Nein", "Abbrechen").

class QCoreApplication;

namespace platform {

// Installs Qt's German translations (qtbase_de), whatever the desktop's language; a missing
// translation file is logged and the English texts stay.
void installTranslations(QCoreApplication& app);

} // namespace platform
