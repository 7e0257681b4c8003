#pragma once
// What a file at the database's place is, before the program works on it: a sound database, one
// that another process holds, a damaged one, a database of the old program, or nothing at all.
// Only a damaged file is ever repaired; a busy one is left exactly as it is.

#include <QDate>
#include <QDateTime>
#include <QString>

namespace data {

enum class FileState {
    Missing,     // no file
    Sound,       // a database that passes SQLite's quick check
    Busy,        // held by another process (a lock, or its journal beside the file), or no rights
    Empty,       // 0 bytes: a full disk or a failed copy, never a new database
    Foreign,     // a database file of the old program (Jet or ACE header)
    NotDatabase, // anything else without the SQLite header
    Corrupt,     // an SQLite file that fails the quick check or cannot be read
};

struct Inspection {
    FileState state = FileState::Missing;
    QString detail; // German, for the messages: what was found
};

// Reads the header and runs PRAGMA quick_check. Never changes the file (a hot journal of a
// crashed writer is played back, which is how SQLite keeps its own promise).
Inspection inspectDatabaseFile(const QString& path);
bool isDamaged(FileState state);

// The planner's work that a database file holds, read without changing it.
struct Contents {
    bool readable = false;  // the file could be read at all
    bool hasTables = false; // the program's tables are there
    qint64 employees = 0;
    qint64 duties = 0;
    qint64 rows = 0; // in all tables
    QDate lastDay;   // the latest duty
};
Contents readContents(const QString& path);

// True when `candidate` holds more of the planner's work than `other`: more duties, then a later
// last duty, then more rows in all.
bool holdsMore(const Contents& candidate, const Contents& other);

// A name beside `path` that no file has yet: path + "." + the time + suffix, with a counter
// when that is taken too (".defekt", ".old").
QString freshSiblingName(const QString& path, const QString& suffix, const QDateTime& now);

// The file a path names, links resolved: the file that is read, written, locked and replaced.
// A path whose file does not exist yet is made absolute only.
QString resolvedPath(const QString& path);

// Puts `from` in the place of `to` with one rename (there is never a moment without a file named
// `to`), after `from` was written to the disk, and writes the folder's entry to the disk too.
// False when the rename failed; `from` is then still there.
bool replaceAtomically(const QString& from, const QString& to);

// The German text for a file that could not be written: names a full disk as such.
QString cannotWriteText(const QString& path, qint64 bytesNeeded);

// "45 Mitarbeiter, 2069 Dienste"
QString describe(const Contents& contents);

} // namespace data
