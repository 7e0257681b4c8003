#include "data/StartCheck.h"

#include "data/DatabaseFile.h"
#include "data/DatabaseLock.h"
#include "data/Maintenance.h"
#include "data/Repair.h"
#include "data/Schema.h"
#include "data/Staffing.h"
#include "data/TableFiles.h"
#include "data/WorkingTimeRules.h"
#include "engine/Connection.h"
#include "engine/DateValue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace data {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void accessDenied(const QString& description = QStringLiteral("Zugriff verweigert")) {
    throw engine::EngineError(engine::err::PermissionDenied, description, engine::FileFault::Busy);
}

// Opening the file for appending (and closing it at once) proves write access; nothing is
// written.
void writeAccessTest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) accessDenied();
}

// A database that is replaced by a new one is kept beside it as ".old"; an earlier ".old" is
// never overwritten: the newer one then gets the time in its name.
QString saveOldDatabase(const QString& path, const QDateTime& now) {
    QString old = path + QStringLiteral(".old");
    if (QFileInfo::exists(old)) old = freshSiblingName(path, QStringLiteral(".old"), now);
    if (!QFile::rename(path, old))
        throw engine::EngineError(engine::err::FileAccess,
                                  QStringLiteral("Die Datei '%1' kann nicht nach '%2' verschoben "
                                                 "werden.")
                                      .arg(shown(path), shown(old)));
    return old;
}

// An old format: a settings row whose Firststart lies before the format's day. An empty
// settings table (no row, no standard file) is a database of the current format whose row the
// start-up creates, as is a row without Firststart.
bool isOldFormat(engine::Recordset& settings) {
    if (!settings.isOpen() || settings.eof() || settings.bof()) return false;
    const QVariant first = settings.value(QStringLiteral("Firststart"));
    return !first.isNull() && engine::toDate(first) < formatMarker();
}

// A sound file without the program's tables is damaged, not new, when a copy beside it has them
// (a failed copy or restore left an empty database behind).
bool lacksTablesOfItsCopies(const DatabaseLocation& location) {
    const Contents contents = readContents(location.path);
    return contents.readable && !contents.hasTables && soundCopyExists(location);
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

    // A damaged file: the message, then the repair. false: the program must end.
    bool repairDamaged(const QString& description) {
        repaired_ = true;
        session_.prompts().ask(description +
                               QStringLiteral("\nFehler in der Datenbank. Versuche Datenbank "
                                              "wiederherzustellen."));
        try {
            session_.env.close();
            const RepairResult result =
                repairDatabase(session_.location, session_.services.clock->now());
            session_.prompts().ask(repairMessage(result));
            // the file in place is a new one: its lock goes with it
            session_.fileLock.lock(resolvedPath(session_.location.path));
            return true; // on with the step after the one that failed
        } catch (const std::exception& again) {
            report(session_, again, procedure());
            return false;
        }
    }

    bool accessMessage(const QString& reason = {}) {
        session_.prompts().ask(
            (reason.isEmpty() ? QString() : reason + QLatin1Char('\n')) +
            QStringLiteral("Sie haben keinen vollen Zugriff auf die Datenbank oder die "
                           "Datenbank wird von einem anderen Benutzer verwendet. Überprüfen "
                           "sie Ihre Zugriffsrechte auf die Datei : ") +
            shown(session_.location.path) + QStringLiteral("\nDas Programm wird beendet."));
        return false;
    }

private:
    bool handle(const std::exception& e) {
        const auto* engineError = dynamic_cast<const engine::EngineError*>(&e);
        if (errorNumber(e) == engine::err::PermissionDenied ||
            (engineError && engineError->fault() == engine::FileFault::Busy))
            return accessMessage();
        // A failure is a damaged file only when the file itself says so; a file that is sound,
        // or busy, failed for another reason and is never replaced. One repair per start.
        if (engineError && engineError->fault() == engine::FileFault::Corrupt && !repaired_) {
            session_.env.close();
            const Inspection inspection = inspectDatabaseFile(session_.location.path);
            if (inspection.state == FileState::Busy) return accessMessage();
            if (isDamaged(inspection.state))
                return repairDamaged(engineError->description()) && reopen();
        }
        report(session_, e, procedure());
        return false;
    }

    bool reopen() {
        try {
            session_.env.open(session_.location.path);
            return true;
        } catch (const std::exception& e) {
            report(session_, e, procedure());
            return false;
        }
    }

    QString procedure() const { return QStringLiteral("dbstartcheck Line = %1").arg(step_); }

    Session& session_;
    int step_ = 0;
    bool repaired_ = false;
};

MaintenanceHooks maintenanceHooks(Session& session) {
    MaintenanceHooks hooks;
    hooks.confirm = [&session](const QString& question) {
        return session.prompts().ask(question, platform::Buttons::YesNo, platform::Icon::Question,
                                     QStringLiteral("Turnova"), 1) == platform::Answer::Yes;
    };
    hooks.warn = [&session](const QString& text) { session.prompts().ask(text); };
    return hooks;
}

// Another program holding the file, or no rights to lock it, ends the start here.
bool takeLock(Session& session, Trap& trap, bool creating = false) {
    QString holder;
    switch (lockDatabase(session, holder)) {
    case LockResult::Locked:
        return true;
    case LockResult::NoAccess:
        return creating || trap.accessMessage(holder);
    case LockResult::HeldByOther:
        break;
    }
    session.prompts().ask(QStringLiteral("Die Datenbank : \n") + shown(session.location.path) +
                          QStringLiteral("\nwird bereits von einem anderen Turnova-Programm "
                                         "verwendet") +
                          (holder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(holder)) +
                          QStringLiteral(".\nBeenden Sie zuerst das andere Programm. Das "
                                         "Programm wird beendet."));
    return false;
}

// A missing database beside a sound copy (the compaction copy, a daily backup, or what an
// interrupted compaction or repair left) is not re-created blindly: the newest such copy is named
// and offered first. true: the copy is now the database.
bool offerCopyOfMissing(Session& session) {
    const std::optional<FoundCopy> copy = copyForMissingDatabase(session.location);
    if (!copy) return false;
    const platform::Answer answer = session.prompts().ask(
        QStringLiteral("Datenbank : \n") + shown(session.location.path) +
            QStringLiteral("\n nicht gefunden.\nEs gibt eine Kopie der Datenbank:\n%1\nvom %2 "
                           "(%3).\nSoll die Datenbank aus dieser Kopie wiederhergestellt werden?")
                .arg(shown(copy->file), copy->asOf.toString(QStringLiteral("dd.MM.yyyy hh:mm")),
                     copy->contents),
        platform::Buttons::YesNo, platform::Icon::Question);
    if (answer != platform::Answer::Yes) return false;
    restoreMissingDatabase(session.location, copy->file);
    return true;
}

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

QString rebuildMarkerPath(const QString& databasePath) {
    return databasePath + QStringLiteral(".neuaufbau");
}

void buildNewDatabase(Session& session, bool askFlag, const StartCheckHooks& hooks) {
    DataUmgebung& env = session.env;
    // Without its file there is nothing to rebuild: that error goes to the caller.
    env.close();
    // The marker lies beside the database from before its file is made until the rebuild is
    // done, so a rebuild cut off by a crash is known at the next start.
    const QString marker = rebuildMarkerPath(session.location.path);
    {
        QSaveFile file(marker);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(QByteArrayLiteral("Neuaufbau der Datenbank aus den Sicherungsdateien\n")) <
                0 ||
            !file.commit())
            throw engine::EngineError(engine::err::FileAccess, cannotWriteText(marker, 4096));
    }
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
    if (hooks.recomputeStatistics) quietly(hooks.recomputeStatistics);
    for (engine::Recordset* rs :
         {&env.rsEinstellungen, &env.rsStandarddienste, &env.rsDienstzeiten, &env.rsFeiertage,
          &env.rsMitarbeiter, &env.rsStatistik, &env.rsGpZuordnung, &env.rsGruppen})
        rs->close();
    ensureWorkingTimeRulesTableQuietly(env.Datenbank);
    restoreStaffingTables(session, askFlag);
    quietly([&] { tableCheck(session); });
    QFile::remove(marker);
}

namespace {

// A database of the old program (a Jet or ACE file) cannot be read: it is kept as ".old" and a
// new database is built from the backup files or the standard files, as for an old format.
bool replaceForeignDatabase(Session& session, Trap& trap, const StartCheckHooks& hooks) {
    ProgressSink& progress = *session.progress;
    progress.status(QStringLiteral("SaveOldDB"));
    QString old;
    if (!trap.run(13, [&] {
            old = saveOldDatabase(session.location.path, session.services.clock->now());
        }))
        return false;
    session.prompts().ask(
        QStringLiteral("Die Datei\n") + shown(session.location.path) +
        QStringLiteral("\nist eine Datenbank einer älteren Programmversion, die dieses Programm "
                       "nicht öffnen kann. Sie bleibt unverändert erhalten unter\n") +
        shown(old) +
        QStringLiteral("\nDie Datenbank wird jetzt neu erstellt, aus den Sicherungsdateien oder "
                       "mit den Standardwerten."));
    progress.status(QStringLiteral("CreateNewDB"));
    return trap.run(14, [&] { buildNewDatabase(session, false, hooks); });
}

// A rebuild that a crash cut off left its marker: the half-built database is kept aside as
// "<database>.<time>.unvollstaendig" and the rebuild runs again from the same backup files.
bool repeatRebuild(Session& session, Trap& trap, const StartCheckHooks& hooks) {
    const QString& path = session.location.path;
    QString kept;
    if (!trap.run(13, [&] {
            kept = freshSiblingName(path, QStringLiteral(".unvollstaendig"),
                                    session.services.clock->now());
            if (!QFile::rename(path, kept))
                throw engine::EngineError(engine::err::FileAccess,
                                          QStringLiteral("Die Datei '%1' kann nicht nach '%2' "
                                                         "verschoben werden.")
                                              .arg(shown(path), shown(kept)));
        }))
        return false;
    session.prompts().ask(
        QStringLiteral("Der Neuaufbau der Datenbank\n") + shown(path) +
        QStringLiteral("\naus den Sicherungsdateien wurde unterbrochen. Er wird jetzt wiederholt. "
                       "Die unvollständige Datenbank bleibt erhalten unter\n") +
        shown(kept));
    session.progress->status(QStringLiteral("CreateNewDB"));
    return trap.run(14, [&] { buildNewDatabase(session, false, hooks); });
}

} // namespace

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
    if (cancelled) return false;
    progress.status(QStringLiteral("GetSysRoot"));
    if (!trap.run(2, [&] { deriveNames(location, session.services.folders.programFolder); }))
        return false;

    progress.status(QStringLiteral("Check if DB exists"));
    bool exists = false;
    if (!trap.run(6, [&] { exists = QFileInfo::exists(location.path); })) return false;
    if (!exists) {
        bool restored = false;
        if (!trap.run(6, [&] { restored = offerCopyOfMissing(session); })) return false;
        exists = restored;
    }
    if (!exists) {
        const platform::Answer answer = session.prompts().ask(
            QStringLiteral("Datenbank : \n") + shown(location.path) +
                QStringLiteral("\n nicht gefunden. Soll die Datenbank neu erstellt werden?"),
            platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes) return false;
        // a folder that cannot be made is reported by the creation itself
        if (!takeLock(session, trap, true)) return false;
        progress.status(QStringLiteral("Createdb"));
        return trap.run(7, [&] { buildNewDatabase(session, true, hooks); });
    }

    if (!takeLock(session, trap)) return false;
    if (QFileInfo::exists(rebuildMarkerPath(location.path)))
        return repeatRebuild(session, trap, hooks);
    Inspection inspection;
    if (!trap.run(8, [&] {
            writeAccessTest(location.path);
            inspection = inspectDatabaseFile(location.path);
            if (inspection.state == FileState::Busy) accessDenied(inspection.detail);
        }))
        return false;
    if (inspection.state == FileState::Foreign) return replaceForeignDatabase(session, trap, hooks);
    if (inspection.state == FileState::Sound && lacksTablesOfItsCopies(location)) {
        inspection.state = FileState::Corrupt;
        inspection.detail = QStringLiteral("Die Datenbank '%1' enthält keine Tabellen des "
                                           "Programms.")
                                .arg(shown(location.path));
    }
    if (isDamaged(inspection.state)) {
        if (!trap.repairDamaged(inspection.detail)) return false;
    } else if (!location.isNetworkPath() && // no daily backup and no compaction on a network path
               !trap.run(8, [&] {
                   dailyBackupAndCompaction(location, session.today(), maintenanceHooks(session));
               })) {
        return false;
    }
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
        if (!trap.run(12, [&] { session.env.close(); })) return false;
        progress.status(QStringLiteral("SaveOldDB"));
        if (!trap.run(13, [&] { saveOldDatabase(location.path, session.services.clock->now()); }))
            return false;
        progress.status(QStringLiteral("CreateNewDB"));
        return trap.run(14, [&] { buildNewDatabase(session, false, hooks); });
    }
    if (!trap.run(15, [&] {
            session.env.rsEinstellungen.close();
            upgradeIndexes(session.env.Datenbank);
        }))
        return false;
    // the settings of the working-time check live in a table of their own
    ensureWorkingTimeRulesTableQuietly(session.env.Datenbank);
    // and so do the staffing requirements and qualifications
    ensureStaffingTablesQuietly(session.env.Datenbank);
    return trap.run(16, [] {});
}

} // namespace data
