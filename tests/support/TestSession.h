#pragma once
// A session on a temporary database for tests: scripted prompts, a fixed "today", temporary
// program, documents and application-data folders.

#include "data/Session.h"
#include "platform/Clock.h"
#include "platform/ScriptedPrompts.h"

#include <QDate>
#include <QTemporaryDir>

namespace testing {

class TestSession {
public:
    // today: the clock's day. The program folder is empty unless withStandardFiles copies the
    // shipped std.*.xml files into it.
    explicit TestSession(const QDate& today = QDate(2026, 12, 6), bool withStandardFiles = false);
    ~TestSession();

    // Creates the database file with all nine tables, opens the connection and every table
    // recordset of the data environment. No standard files are read.
    void createDatabase();
    // Opens an existing database file (another test's or process's) with every table recordset.
    void openDatabase(const QString& path);

    QString folder() const { return dir_.path(); }
    QString programFolder() const;
    QString databasePath() const { return session.location.path; }

    platform::ScriptedPrompts prompts;
    platform::FixedClock clock;
    data::Session session;
    data::DataUmgebung& env() { return session.env; }

private:
    QTemporaryDir dir_;
};

// The source tree (for golden files and the shipped standard files).
QString sourceDir();
// The turnova executable built beside the tests.
QString turnovaBinary();

} // namespace testing
