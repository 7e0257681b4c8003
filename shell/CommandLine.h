#pragma once
// The program's command line: "--help" and "--version" answer in German on the terminal;
// everything else is the database path.

#include <QString>
#include <QStringList>

struct CommandLine {
    enum class Action { Start, Help, Version };
    Action action = Action::Start;
    QString database; // the arguments joined by blanks; empty for the default database
    QString text;     // what the program writes to standard output for Help and Version
};

// Reads the arguments (the program name first). Arguments that are no option of the program,
// "-" words included, are the database path, so a path with blanks may come in one argument or
// in several.
CommandLine readCommandLine(const QStringList& arguments);

// The version as the about window shows it, after the program's name.
QString versionOutput();
