#pragma once
// Which database file the program works on, and the names derived from its path.

#include "platform/Services.h"

#include <QDate>
#include <QString>

namespace data {

struct DatabaseLocation {
    QString path;     // full path of the database file
    QString fileName; // base name + "." + extension ("daten.tnv")
    QString folder;   // parent folder; the program folder when the path has none
    QString drive;    // root of the file system holding the database (backups are looked for there)

    QString baseName() const;
    // Network paths ("\\server\share" or "//server/share") get neither daily backups nor
    // compaction.
    bool isNetworkPath() const;
};

enum class LocateResult { Located, Cancelled };

// Locates the database: the command line text when given (".tnv" added when it has no
// extension; a bare name lies in the program folder when the program may write there, otherwise
// in the per-user folder); otherwise "daten.tnv" in the per-user folder <appData>/Turnova. A database of an older version in the program folder
// ("daten.mdb") is renamed to "daten.tnv" first. When the per-user folder does not exist yet it
// is created; a database lying in the program folder is then copied into it after the user
// agreed (Cancel ends the program). Throws EngineError when the copy fails.
LocateResult locateDatabase(const QString& commandLine, const platform::Services& services,
                            DatabaseLocation& location);

// Fills file name, folder and drive from the path.
void deriveNames(DatabaseLocation& location, const QString& programFolder);

// The name of the daily backup of a day: <folder>/<base>backup<yyyy-mm-dd>.tnv.sav
QString dailyBackupPath(const DatabaseLocation& location, const QDate& day);

} // namespace data
