#pragma once
// The special folders the program uses. The program takes them from the desktop; tests set
// temporary folders.

#include <QString>

namespace platform {

struct Folders {
    QString programFolder;   // folder of the executable: standard files, the manual
    QString documentsFolder; // start folder of every file dialog
    QString appDataFolder;   // per-user data; the database lies in <appDataFolder>/Turnova

    static Folders system();
};

} // namespace platform
