#include "data/StartCheck.h"

#include "data/Maintenance.h"
#include "data/Schema.h"
#include "data/TableFiles.h"
#include "engine/Connection.h"
#include "engine/DateValue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace data {

namespace {

const QString AccessMessage = QStringLiteral(
    "Sie haben keinen vollen Zugriff auf die Datenbank oder die Datenbank wird von einem "
    "anderen Benutzer verwendet. Überprüfen sie Ihre Zugriffsrechte auf die Datei : ");

void writeAccessTest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::Append))
        throw engine::EngineError(engine::err::PermissionDenied,
                                  QStringLiteral("Zugriff verweigert"));
    f.close();
}

bool isDatabase(const QString& path) {
    try {
        engine::Connection c;
        c.open(path);
        return true;
    } catch (const engine::EngineError&) {
        return false;
    }
}

// A damaged file: restored from its compaction copy when that is a sound database (the damaged
// file is kept beside it as ".defekt"), otherwise set aside as ".sav" and compacted back, which
// recovers what SQLite can still read. Then the connection is opened again.
void repair(Session& session) {
    const QString path = session.location.path;
    const QString sav = path + QStringLiteral(".sav");
    session.env.close();
    if (QFileInfo::exists(sav) && isDatabase(sav)) {
        const QString broken = path + QStringLiteral(".defekt");
        QFile::remove(broken);
        QFile::rename(path, broken);
        QFile::remove(path);
        if (!QFile::copy(sav, path))
            throw engine::EngineError(engine::err::PermissionDenied,
                                      QStringLiteral("Die Datei '%1' kann nicht geschrieben "
                                                     "werden.")
                                          .arg(path));
    } else {
        QFile::remove(sav);
        QFile::rename(path, sav);
        engine::Connection::compactDatabase(sav, path);
    }
    session.env.open(path);
}

} // namespace

void tableCheck(Session& session) {
    session.progress->status(QStringLiteral("Überprüfe Tabellen"));
    // SQLite text columns take empty strings as they are; nothing needs changing. The
    // progress still shows the tables being looked at.
    const QStringList names = session.env.Datenbank.isOpen() ? session.env.Datenbank.tableNames()
                                                              : QStringList();
    session.progress->setMaximum(int(names.size()));
    for (int i = 0; i < names.size(); ++i)
        session.progress->setValue(i + 1);
    session.progress->setValue(0);
}

void buildNewDatabase(Session& session, bool askFlag, const StartCheckHooks& hooks) {
    DataUmgebung& env = session.env;
    const auto quietly = [&session](const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception&) {
            // errors of the rebuild are passed over; each import reports its own
        }
        session.progress->processEvents();
    };
    quietly([&] {
        env.close();
        engine::Connection::createDatabaseFile(session.location.path);
        env.open(session.location.path);
    });
    const auto saved = [&](const QString& name, engine::Recordset& rs) {
        const TableDef& t = table(name);
        quietly([&] { importsaved(session, t.createStatement, t.suffix, rs, askFlag); });
    };
    saved(QStringLiteral("Gruppen"), env.rsGruppen);
    saved(QStringLiteral("GpZuordnung"), env.rsGpZuordnung);
    quietly([&] {
        openTable(session, env.rsStatistik, QStringLiteral(".Statistik.xml"), schema::Statistik);
    });
    session.progress->status(QStringLiteral("Importiere Mitarbeiter Daten"));
    saved(QStringLiteral("Mitarbeiter"), env.rsMitarbeiter);
    quietly([&] { env.rsStatistik.close(); });
    saved(QStringLiteral("Statistik"), env.rsStatistik);
    session.progress->status(QStringLiteral("Importiere Feiertage"));
    saved(QStringLiteral("Feiertage"), env.rsFeiertage);
    session.progress->status(QStringLiteral("Importiere Dienste"));
    saved(QStringLiteral("Dienstzeiten"), env.rsDienstzeiten);
    session.progress->status(QStringLiteral("Importiere Standarddienste"));
    saved(QStringLiteral("Standarddienste"), env.rsStandarddienste);
    session.progress->status(QStringLiteral("Importiere Einstelungen"));
    saved(QStringLiteral("Einstellungen"), env.rsEinstellungen);
    saved(QStringLiteral("Jahreswerte"), env.rsJahreswerte);
    session.progress->status(QStringLiteral("Erstelle Statistik neu"));
    if (hooks.recomputeStatistics)
        quietly(hooks.recomputeStatistics);
    for (engine::Recordset* rs :
         {&env.rsEinstellungen, &env.rsStandarddienste, &env.rsDienstzeiten, &env.rsFeiertage,
          &env.rsMitarbeiter, &env.rsStatistik, &env.rsGpZuordnung, &env.rsGruppen})
        rs->close();
    quietly([&] { tableCheck(session); });
}

bool dbstartcheck(Session& session, const QString& commandLine, const StartCheckHooks& hooks) {
    int line = 0;
    bool repaired = false;
    DatabaseLocation& location = session.location;
    // Runs one statement under the check's error trap. Returns false when the program must end.
    const auto guarded = [&](int step, const std::function<void()>& statement) -> bool {
        line = step;
        try {
            statement();
            return true;
        } catch (const std::exception& e) {
            const long number = errorNumber(e);
            if (number == engine::err::PermissionDenied) {
                session.prompts().ask(AccessMessage + QDir::toNativeSeparators(location.path) +
                                      QStringLiteral("\nDas Programm wird beendet."));
                return false;
            }
            if (number == engine::err::GeneralFailure && !repaired) {
                repaired = true;
                const auto* ee = dynamic_cast<const engine::EngineError*>(&e);
                session.prompts().ask((ee ? ee->description() : QString::fromLocal8Bit(e.what())) +
                                      QStringLiteral("Fehler in der Datenbank. Versuche "
                                                     "Datenbank wiederherzustellen."));
                try {
                    repair(session);
                    return true; // go on with the statement after the failing one
                } catch (const std::exception& again) {
                    report(session, again, QStringLiteral("dbstartcheck Line = %1").arg(line));
                    return false;
                }
            }
            report(session, e, QStringLiteral("dbstartcheck Line = %1").arg(line));
            return false;
        }
    };

    bool cancelled = false;
    session.progress->status(QStringLiteral("GetFileName"));
    if (!guarded(1, [&] {
            cancelled = locateDatabase(commandLine, session.services, location) ==
                        LocateResult::Cancelled;
        }))
        return false;
    if (cancelled)
        return false;
    session.progress->status(QStringLiteral("GetSysRoot"));
    if (!guarded(2, [&] { deriveNames(location, session.services.folders.programFolder); }))
        return false;

    session.progress->status(QStringLiteral("Check if DB exists"));
    line = 6;
    if (!QFileInfo::exists(location.path)) {
        const platform::Answer a = session.prompts().ask(
            QStringLiteral("Datenbank : \n") + QDir::toNativeSeparators(location.path) +
                QStringLiteral("\n nicht gefunden. Soll die Datenbank neu erstellt werden?"),
            platform::Buttons::YesNo);
        if (a != platform::Answer::Yes)
            return false;
        session.progress->status(QStringLiteral("Createdb"));
        return guarded(7, [&] { buildNewDatabase(session, true, hooks); });
    }

    if (!guarded(8, [&] { writeAccessTest(location.path); }))
        return false;
    if (!location.isNetworkPath() &&
        !guarded(8, [&] { dailyBackupAndCompaction(location, session.today()); }))
        return false;
    session.progress->status(QStringLiteral("SetDBString"));
    session.progress->status(QStringLiteral("OpenDB"));
    if (!guarded(9, [&] {
            session.env.open(location.path);
            if (!session.env.isOpen())
                session.prompts().ask(QStringLiteral("Datenbank ist noch geschloßen"));
        }))
        return false;
    if (!guarded(10, [&] {
            openTable(session, session.env.rsEinstellungen, QStringLiteral(".Einstellungen.xml"),
                      schema::Einstellungen);
        }))
        return false;

    session.progress->status(QStringLiteral("CheckDB Ver"));
    session.progress->processEvents();
    bool oldFormat = false;
    if (!guarded(11, [&] {
            engine::Recordset& rs = session.env.rsEinstellungen;
            // An empty settings table is a database of the current format whose settings row
            // start-up creates; only a marker before the format's day means an old database.
            if (!rs.isOpen() || rs.eof())
                return;
            const QVariant first = rs.value(QStringLiteral("Firststart"));
            oldFormat = !first.isNull() && engine::toDate(first) < formatMarker();
        }))
        return false;
    if (oldFormat) {
        session.prompts().ask(
            QStringLiteral("Das Programm hat eine alte Datenbank gefunden. Die Datenbank wird "
                           "neu erstellt werden.\nVerwenden Sie die Sicherungsdateien um die "
                           "Daten wiederherzustellen."));
        session.progress->status(QStringLiteral("CloseDB"));
        if (!guarded(12, [&] { session.env.close(); }))
            return false;
        session.progress->status(QStringLiteral("SaveOldDB"));
        if (!guarded(13, [&] {
                const QString old = location.path + QStringLiteral(".old");
                QFile::remove(old);
                if (!QFile::rename(location.path, old))
                    throw engine::EngineError(engine::err::PermissionDenied,
                                              QStringLiteral("Zugriff verweigert"));
            }))
            return false;
        session.progress->status(QStringLiteral("CreateNewDB"));
        return guarded(14, [&] { buildNewDatabase(session, false, hooks); });
    }
    return guarded(15, [&] { session.env.rsEinstellungen.close(); });
}

} // namespace data
