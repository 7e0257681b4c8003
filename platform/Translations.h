#pragma once
// Qt's own German texts for standard buttons and dialogs ("Ja", "Nein", "Abbrechen").

class QCoreApplication;

namespace platform {

// Installs Qt's German translations (qtbase_de) when the program's locale is German; a missing
// translation file is logged and the English texts stay.
void installTranslations(QCoreApplication& app);

} // namespace platform
