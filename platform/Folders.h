#pragma once
// The special folders the program uses. The program takes them from the desktop; tests set
// temporary folders.

#include <QString>

namespace platform {

struct Folders {
    // Where the standard files and the manual lie: the folder of the executable in the build
    // tree, <prefix>/share/turnova when the program runs from its installation.
    QString programFolder;
    QString documentsFolder; // start folder of every file dialog
    QString appDataFolder;   // per-user data; the database lies in <appDataFolder>/Turnova
    // The program runs from its installation: nothing is ever written into the program folder.
    bool installed = false;

    // The per-user database folder <appDataFolder>/Turnova.
    QString userDatabaseFolder() const;
    // Where a database given by a bare name lies: the program folder when the program may write
    // there, otherwise the per-user database folder.
    QString bareNameFolder() const;

    static Folders system();
    // The program folder of an executable lying in exeFolder: the installed layout's data folder
    // (../share/turnova beside bin) when it exists, otherwise exeFolder itself.
    static Folders forExecutable(const QString& exeFolder);
};

} // namespace platform
