#include "tests/support/TestSession.h"

#include "data/Schema.h"
#include "data/TableFiles.h"
#include "engine/Connection.h"

#include <QDir>
#include <QFile>

namespace testing {

QString sourceDir() { return qEnvironmentVariable("TURNOVA_SOURCE_DIR", QStringLiteral(".")); }

QString turnovaBinary() { return qEnvironmentVariable("TURNOVA_BINARY"); }

TestSession::TestSession(const QDate& today, bool withStandardFiles) : clock(today) {
    session.services.prompts = &prompts;
    session.services.clock = &clock;
    QDir root(dir_.path());
    root.mkpath(QStringLiteral("program"));
    root.mkpath(QStringLiteral("documents"));
    root.mkpath(QStringLiteral("appdata"));
    session.services.folders.programFolder = dir_.path() + QStringLiteral("/program");
    session.services.folders.documentsFolder = dir_.path() + QStringLiteral("/documents");
    session.services.folders.appDataFolder = dir_.path() + QStringLiteral("/appdata");
    session.location.path = dir_.path() + QStringLiteral("/daten.tnv");
    data::deriveNames(session.location, session.services.folders.programFolder);
    if (withStandardFiles) {
        const QDir std(sourceDir() + QStringLiteral("/std"));
        for (const QString& f : std.entryList({QStringLiteral("std.*.xml")}, QDir::Files))
            QFile::copy(std.filePath(f), programFolder() + QLatin1Char('/') + f);
    }
}

TestSession::~TestSession() {
    session.env.close();
    session.databaseLock.reset(); // before its folder goes
}

QString TestSession::programFolder() const { return session.services.folders.programFolder; }

void TestSession::createDatabase() {
    engine::Connection::createDatabaseFile(session.location.path);
    session.env.open(session.location.path);
    for (const data::TableDef& t : data::tables()) {
        session.env.Datenbank.execute(t.createStatement);
        data::ensureIndexes(session.env.Datenbank, t.name);
        session.env.execute(t.name);
    }
}

void TestSession::openDatabase(const QString& path) {
    session.location.path = path;
    data::deriveNames(session.location, programFolder());
    session.env.open(path);
    for (const data::TableDef& t : data::tables())
        session.env.execute(t.name);
}

} // namespace testing
