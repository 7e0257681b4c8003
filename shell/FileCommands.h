#pragma once
// The commands of the "Datei" menu that move data in and out of the database: export and
// import of the standard duties and the holidays as row-set XML files, and "Sichern", a copy of
// the open database. Every dialog and message goes through the session's prompts.

#include "data/Session.h"

#include <functional>

class QMenu;

// Export of the standard duties / the holidays to an XML file the user chooses.
void mnuEpStd_Click(data::Session& session);
void mnuexfreier_Click(data::Session& session);
// Import of a file the user chooses into the standard duties / the holidays; rows the table
// refuses are counted. afterImport runs when a file was imported.
void mnuImpStd_Click(data::Session& session, const std::function<void()>& afterImport);
void mnuimfreier_Click(data::Session& session, const std::function<void()>& afterImport);
// "Sichern": a consistent copy of the open database under a name the user chooses.
void mnuSave_Click(data::Session& session);

// The default name of a database copy: "Sicherung vom " + the short date + ".tnv" (characters
// a file name cannot hold replaced by "-").
QString defaultCopyName(const QDate& today);

// Connects "Importieren" (mnuImport: mnuImpStd, mnuimfreier), "Exportieren" (mnuExport: mnuEpStd,
// mnuexfreier) and "Sichern" (mnuSave) of the Datei menu, found by name. Entries the menu lacks
// are added first, in their order before its settings and closing entries (hidden ones: mnuImpMa,
// mnuEpMa, and mnutnv, which the HTML export shows and connects). afterHolidayImport repaints the
// roster, afterStdImport redraws the standard-duties overview.
void addFileMenuEntries(QMenu* datei, data::Session& session,
                        std::function<void()> afterHolidayImport,
                        std::function<void()> afterStdImport);
