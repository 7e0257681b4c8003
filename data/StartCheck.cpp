#include "data/StartCheck.h"

#include "data/Maintenance.h"
#include "data/Repair.h"
#include "data/Schema.h"
#include "data/TableFiles.h"
#include "engine/Connection.h"
#include "engine/DateValue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace data {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void accessDenied() {
    throw engine::EngineError(engine::err::PermissionDenied, QStringLiteral("Zugriff verweigert"));
}

// Opening the file for appending (and closing it at once) proves write access; nothing is
// written.
void writeAccessTest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        accessDenied();
}

void saveOldDatabase(const QString& path) {
    const QString old = path + QStringLiteral(".old");
    QFile::remove(old);
    if (!QFile::rename(path, old))
        accessDenied();
}

// An old format: a settings row whose Firststart lies before the format's day. An empty
// settings table (no row, no standard file) is a database of the current format whose row the
// start-up creates, as is a row without Firststart.
bool isOldFormat(engine::Recordset& settings) {
    if (!settings.isOpen() || settings.eof() || settings.bof())
        return false;
    const QVariant first = settings.value(QStringLiteral("Firststart"));
    return !first.isNull() && engine::toDate(first) < formatMarker();
}

// The error trap of the check: runs a step's statements and decides by the error how to go on.
class Trap {
public:
    explicit Trap(Session& session) : session_(session) {}

    // false: the program must end.
    bool run(int step, const std::function<void()>& statements) {
        step_ = step;
        try {
            statements();
            return true;
        } catch (const std::exception& e) {
            return handle(e);
        }
    }

private:
    bool handle(const std::exception& e) {
        const long number = errorNumber(e);
        const QString path = session_.location.path;
        if (number == engine::err::PermissionDenied) {
            session_.prompts().ask(
                QStringLiteral("Sie haben keinen vollen Zugriff auf die Datenbank oder die "
                               "Datenbank wird von einem anderen Benutzer verwendet. Überprüfen "
                               "sie Ihre Zugriffsrechte auf die Datei : ") +
                shown(path) + QStringLiteral("\nDas Programm wird beendet."));
            return false;
        }
        // A general failure is a damaged file only when the file is no sound database; a file
        // that is sound failed for another reason and is not replaced. One repair per start.
        if (number == engine::err::GeneralFailure && !repaired_ && QFileInfo::exists(path) &&
            !isSoundDatabase(path)) {
            repaired_ = true;
            session_.prompts().ask(description(e) +
                                   QStringLiteral("Fehler in der Datenbank. Versuche Datenbank "
                                                  "wiederherzustellen."));
            return repair();
        }
        report(session_, e, procedure());
        return false;
    }

    bool repair() {
        try {
            session_.env.close();
            const RepairResult result = repairDatabase(session_.location);
            if (!result.restoredFrom.isEmpty())
                session_.prompts().ask(
                    QStringLiteral("Die Datenbank wurde aus der Sicherungskopie %1 vom %2 "
                                   "wiederhergestellt. Die beschädigte Datei wurde unter %3 "
                                   "aufbewahrt.")
                        .arg(shown(result.restoredFrom),
                             result.copyTime.toString(QStringLiteral("dd.MM.yyyy hh:mm")),
                             shown(result.damagedFile)));
            session_.env.open(session_.location.path);
            return true; // on with the step after the one that failed
        } catch (const std::exception& again) {
            report(session_, again, procedure());
            return false;
        }
    }

    static QString description(const std::exception& e) {
        if (const auto* ee = dynamic_cast<const engine::EngineError*>(&e))
            return ee->description();
        return QString::fromLocal8Bit(e.what());
    }

    QString procedure() const { return QStringLiteral("dbstartcheck Line = %1").arg(step_); }

    Session& session_;
    int step_ = 0;
    bool repaired_ = false;
};

} // namespace

void tableCheck(Session& session) {
    session.progress->status(QStringLiteral("Überprüfe Tabellen"));
    const QStringList names = session.env.Datenbank.tableNames();
    session.progress->setMaximum(int(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        session.progress->setValue(i + 1);
        session.progress->processEvents();
    }
    session.progress->setValue(0);
}

void buildNewDatabase(Session& session, bool askFlag, const StartCheckHooks& hooks) {
    DataUmgebung& env = session.env;
    // Without its file there is nothing to rebuild: that error goes to the caller.
    env.close();
    engine::Connection::createDatabaseFile(session.location.path);
    env.open(session.location.path);

    // Each import reports its own errors; the rebuild goes on with the next table.
    const auto quietly = [&session](const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception&) {
        }
        session.progress->processEvents();
    };
    const auto restore = [&](const QString& name, engine::Recordset& recordset) {
        const TableDef& t = table(name);
        quietly([&] { importsaved(session, t.createStatement, t.suffix, recordset, askFlag); });
    };
    const auto status = [&session](const QString& text) { session.progress->status(text); };

    restore(QStringLiteral("Gruppen"), env.rsGruppen);
    restore(QStringLiteral("GpZuordnung"), env.rsGpZuordnung);
    quietly([&] {
        openTable(session, env.rsStatistik, QStringLiteral(".Statistik.xml"), schema::Statistik);
    });
    status(QStringLiteral("Importiere Mitarbeiter Daten"));
    restore(QStringLiteral("Mitarbeiter"), env.rsMitarbeiter);
    quietly([&] { env.rsStatistik.close(); });
    restore(QStringLiteral("Statistik"), env.rsStatistik);
    status(QStringLiteral("Importiere Feiertage"));
    restore(QStringLiteral("Feiertage"), env.rsFeiertage);
    status(QStringLiteral("Importiere Dienste"));
    restore(QStringLiteral("Dienstzeiten"), env.rsDienstzeiten);
    status(QStringLiteral("Importiere Standarddienste"));
    restore(QStringLiteral("Standarddienste"), env.rsStandarddienste);
    status(QStringLiteral("Importiere Einstelungen"));
    restore(QStringLiteral("Einstellungen"), env.rsEinstellungen);
    restore(QStringLiteral("Jahreswerte"), env.rsJahreswerte);
    status(QStringLiteral("Erstelle Statistik neu"));
    if (hooks.recomputeStatistics)
        quietly(hooks.recomputeStatistics);
    for (engine::Recordset* rs :
         {&env.rsEinstellungen, &env.rsStandarddienste, &env.rsDienstzeiten, &env.rsFeiertage,
          &env.rsMitarbeiter, &env.rsStatistik, &env.rsGpZuordnung, &env.rsGruppen})
        rs->close();
    quietly([&] { tableCheck(session); });
}

bool dbstartcheck(Session& session, const QString& commandLine, const StartCheckHooks& hooks) {
    DatabaseLocation& location = session.location;
    ProgressSink& progress = *session.progress;
    Trap trap(session);

    progress.status(QStringLiteral("GetFileName"));
    bool cancelled = false;
    if (!trap.run(1, [&] {
            cancelled =
                locateDatabase(commandLine, session.services, location) == LocateResult::Cancelled;
        }))
        return false;
    if (cancelled)
        return false;
    progress.status(QStringLiteral("GetSysRoot"));
    if (!trap.run(2, [&] { deriveNames(location, session.services.folders.programFolder); }))
        return false;

    progress.status(QStringLiteral("Check if DB exists"));
    bool exists = false;
    if (!trap.run(6, [&] { exists = QFileInfo::exists(location.path); }))
        return false;
    if (!exists) {
        const platform::Answer answer = session.prompts().ask(
            QStringLiteral("Datenbank : \n") + shown(location.path) +
                QStringLiteral("\n nicht gefunden. Soll die Datenbank neu erstellt werden?"),
            platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes)
            return false;
        progress.status(QStringLiteral("Createdb"));
        return trap.run(7, [&] { buildNewDatabase(session, true, hooks); });
    }

    if (!trap.run(8, [&] { writeAccessTest(location.path); }))
        return false;
    // No daily backup and no compaction on a network path.
    if (!location.isNetworkPath() &&
        !trap.run(8, [&] { dailyBackupAndCompaction(location, session.today()); }))
        return false;
    progress.status(QStringLiteral("SetDBString"));
    progress.status(QStringLiteral("OpenDB"));
    if (!trap.run(9, [&] {
            session.env.open(location.path);
            if (!session.env.isOpen())
                session.prompts().ask(QStringLiteral("Datenbank ist noch geschloßen"));
        }))
        return false;
    if (!trap.run(10, [&] {
            openTable(session, session.env.rsEinstellungen, QStringLiteral(".Einstellungen.xml"),
                      schema::Einstellungen);
        }))
        return false;

    progress.status(QStringLiteral("CheckDB Ver"));
    bool oldFormat = false;
    if (!trap.run(11, [&] {
            progress.processEvents();
            oldFormat = isOldFormat(session.env.rsEinstellungen);
        }))
        return false;
    if (oldFormat) {
        session.prompts().ask(
            QStringLiteral("Das Programm hat eine alte Datenbank gefunden. Die Datenbank wird "
                           "neu erstellt werden.\nVerwenden Sie die Sicherungsdateien um die "
                           "Daten wiederherzustellen."));
        progress.status(QStringLiteral("CloseDB"));
        if (!trap.run(12, [&] { session.env.close(); }))
            return false;
        progress.status(QStringLiteral("SaveOldDB"));
        if (!trap.run(13, [&] { saveOldDatabase(location.path); }))
            return false;
        progress.status(QStringLiteral("CreateNewDB"));
        return trap.run(14, [&] { buildNewDatabase(session, false, hooks); });
    }
    if (!trap.run(15, [&] { session.env.rsEinstellungen.close(); }))
        return false;
    return trap.run(16, [] {});
}

} // namespace data
