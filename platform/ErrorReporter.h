#pragma once
// The one message box for unexpected errors: title "Turnova" and the four lines
// "Es ist ein Fehler im Programm aufgetreten", the description, "Nummer : " + number,
// "Modul : " + procedure text.

#include "platform/Prompts.h"

#include <QString>

namespace platform {

QString errorReportText(long number, const QString& description, const QString& procedure);
void reportError(Prompts& prompts, long number, const QString& description,
                 const QString& procedure);

} // namespace platform
