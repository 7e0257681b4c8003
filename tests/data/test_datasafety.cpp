// Data safety at start-up: a busy file is never taken for a damaged one, one program per file,
// damage is found on the day it happens, a repair salvages before it restores and never deletes a
// copy, a rebuild keeps every sound row, and a file of the old program takes the rebuild path.

#include "data/DatabaseFile.h"
#include "data/DatabaseLock.h"
#include "data/Maintenance.h"
#include "data/StartCheck.h"
#include "engine/Connection.h"
#include "engine/DateValue.h"
#include "engine/Sqlite.h"
#include "tests/data/FilledDatabase.h"
#include "tests/data/OldFormatFiles.h"
#include "tests/support/TestSession.h"

#include <QDir>
#include <QtTest>

#include <sqlite3.h>

using testing::contentOf;
using testing::fillDatabase;
using testing::scribblePage;
using testing::setModified;
using testing::TestSession;

namespace {

const QString RepairNotice =
    QStringLiteral("\nFehler in der Datenbank. Versuche Datenbank wiederherzustellen.");
const QString AccessMessage = QStringLiteral("Sie haben keinen vollen Zugriff auf die Datenbank");

int rowsIn(TestSession& t, const QString& table) {
    engine::Statement st(t.env().Datenbank, QStringLiteral("SELECT count(*) FROM ") + table);
    return st.step() ? int(st.int64(0)) : -1;
}

QString integrity(const QString& path) {
    engine::Connection c;
    c.open(path);
    engine::Statement st(c, QStringLiteral("PRAGMA integrity_check"));
    return st.step() ? st.value(0).toString() : QString();
}

QStringList defektFiles(const TestSession& t) {
    return QDir(t.folder()).entryList({QStringLiteral("daten.tnv.*.defekt")}, QDir::Files);
}

int pageCount(const QString& path) {
    return int(QFileInfo(path).size() / 4096);
}

} // namespace

class TestDataSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void engineTellsBusyFromCorrupt() {
        for (int code :
             {SQLITE_BUSY, SQLITE_LOCKED, SQLITE_READONLY, SQLITE_PERM, SQLITE_CANTOPEN}) {
            const engine::EngineError e = engine::sqliteError(code, code, QString(), "x.tnv");
            QCOMPARE(e.fault(), engine::FileFault::Busy);
            QCOMPARE(e.number(), engine::err::PermissionDenied);
        }
        for (int code : {SQLITE_NOTADB, SQLITE_CORRUPT}) {
            const engine::EngineError e = engine::sqliteError(code, code, QString(), "x.tnv");
            QCOMPARE(e.fault(), engine::FileFault::Corrupt);
            QCOMPARE(e.number(), engine::err::GeneralFailure);
        }
        QCOMPARE(
            engine::sqliteError(SQLITE_CONSTRAINT, SQLITE_CONSTRAINT_UNIQUE, QString()).fault(),
            engine::FileFault::None);
    }

    void busyFileIsLeftExactlyAsItIs() {
        TestSession t;
        fillDatabase(t, 3, 20);
        const QString sav = t.databasePath() + QStringLiteral(".sav");
        QVERIFY(QFile::copy(t.databasePath(), sav));
        setModified(sav, t.session.today().addDays(-30)); // a compaction would be due
        engine::Connection other;
        other.open(t.databasePath());
        other.executeNative(QStringLiteral("BEGIN EXCLUSIVE"));
        other.executeNative(QStringLiteral("DELETE FROM Dienstzeiten WHERE MaNr = 1"));
        const QByteArray before = contentOf(t.databasePath());

        QVERIFY(!data::dbstartcheck(t.session, t.databasePath(), {}));
        QCOMPARE(t.prompts.messages().size(), 1);
        QVERIFY(t.prompts.texts().first().startsWith(AccessMessage));
        QCOMPARE(contentOf(t.databasePath()), before);
        QVERIFY(defektFiles(t).isEmpty());
        QVERIFY(!QFile::exists(
            data::dailyBackupPath(t.session.location, t.session.today().addDays(-1))));
        other.executeNative(QStringLiteral("ROLLBACK"));
        other.close();
        QCOMPARE(integrity(t.databasePath()), QStringLiteral("ok"));
    }

    void secondProgramIsRefusedAndAStaleLockTakenOver() {
        TestSession t;
        fillDatabase(t, 2, 4);
        {
            QLockFile running(data::lockFilePath(t.databasePath()));
            QVERIFY(running.tryLock(0));
            QVERIFY(!data::dbstartcheck(t.session, t.databasePath(), {}));
            QCOMPARE(t.prompts.messages().size(), 1);
            QVERIFY(t.prompts.texts().first().contains(
                QStringLiteral("wird bereits von einem anderen Turnova-Programm verwendet")));
            QVERIFY(t.prompts.texts().first().contains(t.databasePath()));
        }
        // a lock left behind by a program that crashed (its process is gone)
        oldfiles::write(data::lockFilePath(t.databasePath()),
                        QByteArray("999999999\nturnova\n") + QSysInfo::machineHostName().toUtf8() +
                            "\n");
        t.prompts.clear();
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(t.prompts.messages().isEmpty());
        QVERIFY(t.session.databaseLock && t.session.databaseLock->isLocked());
    }

    void emptyFileIsRepairedFromItsCopyWhichSurvivesTheCompaction() {
        TestSession t;
        fillDatabase(t, 45, 2069);
        const QString sav = t.databasePath() + QStringLiteral(".sav");
        QVERIFY(QFile::copy(t.databasePath(), sav));
        setModified(sav, t.session.today().addDays(-30));
        oldfiles::write(t.databasePath(), QByteArray());

        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QCOMPARE(t.prompts.texts().at(0),
                 QStringLiteral("Die Datenbank '%1' ist leer (0 Byte).").arg(t.databasePath()) +
                     RepairNotice);
        QVERIFY(t.prompts.texts().at(1).contains(QStringLiteral("die Sicherungskopie ") + sav));
        QVERIFY(t.prompts.texts().at(1).contains(QStringLiteral("45 Mitarbeiter, 2069 Dienste")));
        QCOMPARE(rowsIn(t, "Dienstzeiten"), 2069);
        QCOMPARE(defektFiles(t).size(), 1);
        QVERIFY(QFile::exists(sav));

        // the next start compacts: the copy keeps all the planner's work
        t.env().close();
        t.prompts.clear();
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(t.prompts.messages().isEmpty());
        const data::Contents kept = data::readContents(sav);
        QCOMPARE(kept.employees, qint64(45));
        QCOMPARE(kept.duties, qint64(2069));
    }

    void compactionAsksBeforeReplacingAFullerCopy() {
        TestSession t(QDate(2026, 12, 6), true);
        fillDatabase(t, 45, 300);
        const QString sav = t.databasePath() + QStringLiteral(".sav");
        QVERIFY(QFile::rename(t.databasePath(), sav));
        setModified(sav, t.session.today().addDays(-30));
        const QByteArray full = contentOf(sav);
        // the database is gone; the planner declines its copy and lets the program create a new one
        t.prompts.queueAnswer(platform::Answer::No);
        t.prompts.queueAnswer(platform::Answer::Yes);
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        t.env().close();

        t.prompts.clear();
        t.prompts.queueAnswer(platform::Answer::No);
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        const platform::Message asked = t.prompts.messages().first();
        QCOMPARE(asked.buttons, platform::Buttons::YesNo);
        QVERIFY(asked.text.startsWith(QStringLiteral("Die Kopie ") + sav));
        QVERIFY(asked.text.contains(QStringLiteral("(45 Mitarbeiter, 300 Dienste) als die "
                                                   "Datenbank (5 Mitarbeiter, 0 Dienste)")));
        QCOMPARE(platform::defaultAnswer(asked), platform::Answer::No);
        QCOMPARE(contentOf(sav), full);
    }

    void scribbledPageIsFoundAtStartAndSalvaged() {
        TestSession t;
        fillDatabase(t, 10, 3000);
        const int pages = pageCount(t.databasePath());
        scribblePage(t.databasePath(), pages / 2);
        const QByteArray damaged = contentOf(t.databasePath());

        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(t.prompts.texts().at(0).endsWith(RepairNotice));
        QVERIFY(t.prompts.texts().at(1).contains(
            QStringLiteral("In Gebrauch sind jetzt die aus der beschädigten Datei geretteten "
                           "Daten vom ")));
        QCOMPARE(rowsIn(t, "Mitarbeiter"), 10);
        const int duties = rowsIn(t, "Dienstzeiten");
        QVERIFY2(duties >= 2900 && duties <= 3000, qPrintable(QString::number(duties)));
        QVERIFY(t.prompts.texts().at(1).contains(
            QStringLiteral("10 Mitarbeiter, %1 Dienste").arg(duties)));
        t.env().close();
        QCOMPARE(integrity(t.databasePath()), QStringLiteral("ok"));
        const QStringList kept = defektFiles(t);
        QCOMPARE(kept.size(), 1);
        QVERIFY(t.prompts.texts().at(1).contains(kept.first()));
        QCOMPARE(contentOf(t.folder() + QLatin1Char('/') + kept.first()), damaged);
    }

    void halfTruncatedFileWithoutCopyKeepsItsEmployeesAndDuties() {
        TestSession t;
        fillDatabase(t, 12, 400, 20000); // the statistics fill the second half of the file
        QFile file(t.databasePath());
        QVERIFY(file.resize(file.size() / 2));

        QVERIFY2(data::dbstartcheck(t.session, t.databasePath(), {}),
                 qPrintable(t.prompts.texts().join(QStringLiteral(" | "))));
        QVERIFY(t.prompts.texts().at(1).contains(QStringLiteral("geretteten Daten")));
        QCOMPARE(rowsIn(t, "Mitarbeiter"), 12);
        QCOMPARE(rowsIn(t, "Dienstzeiten"), 400);
        QVERIFY(rowsIn(t, "Statistik") < 20000);
    }

    void twoRepairsKeepBothDamagedFiles() {
        TestSession t;
        fillDatabase(t, 3, 10);
        const QString sav = t.databasePath() + QStringLiteral(".sav");
        QVERIFY(QFile::copy(t.databasePath(), sav));
        setModified(sav, t.session.today());
        for (int round = 1; round <= 2; ++round) {
            t.env().close();
            oldfiles::write(t.databasePath(), QByteArray(8192, char('a' + round)));
            QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
            QCOMPARE(defektFiles(t).size(), round);
        }
        QStringList contents;
        for (const QString& name : defektFiles(t))
            contents << QString::fromLatin1(
                contentOf(t.folder() + QLatin1Char('/') + name).left(1));
        contents.sort();
        QCOMPARE(contents, QStringList({"b", "c"}));
        QVERIFY(QFile::exists(sav));
    }

    void rebuildKeepsTheSoundRowsOfAFile() {
        TestSession t(QDate(2026, 12, 6), true);
        fillDatabase(t, 1, 0);
        {
            engine::Connection db;
            db.open(t.databasePath());
            db.executeNative(QStringLiteral("UPDATE Einstellungen SET Firststart = 37527")); // old
        }
        oldfiles::write(
            t.folder() + QStringLiteral("/daten.Dienste.xml"),
            oldfiles::rowsetFile(
                "<s:AttributeType name='Tag'><s:datatype dt:type='dateTime'/></s:AttributeType>"
                "<s:AttributeType name='MaNr'><s:datatype dt:type='int'/></s:AttributeType>"
                "<s:AttributeType name='Kurzinfo'><s:datatype dt:type='string'/></s:AttributeType>",
                "<z:row Tag='2026-11-02T00:00:00' MaNr='1' Kurzinfo='Früh'/>\n"
                "<z:row Tag='2026-11-03T00:00:00' MaNr='1' Kurzinfo='Ein viel zu langer Text'/>\n"
                "<z:row Tag='2026-11-04T00:00:00' MaNr='1' Kurzinfo='Spät'/>\n"));
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QCOMPARE(rowsIn(t, "Dienstzeiten"), 2);
        const QStringList texts = t.prompts.texts();
        QCOMPARE(texts.filter(QStringLiteral("Modul : importsaved")).size(), 1);
        QVERIFY(texts.filter(QStringLiteral("Modul : importsaved"))
                    .first()
                    .contains(QStringLiteral("Datensatz 2 der Datei")));
        QVERIFY(texts.contains(QStringLiteral("Aus der Datei %1/daten.Dienste.xml wurden 1 von 3 "
                                              "Datensätzen nicht übernommen.")
                                   .arg(t.folder())));
        QVERIFY(QFile::exists(t.databasePath() + QStringLiteral(".old")));
    }

    void fileOfTheOldProgramIsKeptAsOldAndTheStartGoesOn() {
        TestSession t(QDate(2026, 12, 6), true);
        QByteArray jet("\x00\x01\x00\x00Standard Jet DB\x00", 20);
        jet.append(QByteArray(4076, '\x17'));
        oldfiles::write(t.databasePath(), jet);
        oldfiles::write(t.databasePath() + QStringLiteral(".old"), "ein früheres .old");

        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QCOMPARE(contentOf(t.databasePath() + QStringLiteral(".old")),
                 QByteArray("ein früheres .old"));
        const QStringList olds =
            QDir(t.folder()).entryList({QStringLiteral("daten.tnv.*.old")}, QDir::Files);
        QCOMPARE(olds.size(), 1);
        QCOMPARE(contentOf(t.folder() + QLatin1Char('/') + olds.first()), jet);
        QVERIFY(t.prompts.texts().first().contains(
            QStringLiteral("ist eine Datenbank einer älteren Programmversion")));
        QVERIFY(t.prompts.texts().first().contains(olds.first()));
        QCOMPARE(rowsIn(t, "Mitarbeiter"), 5); // rebuilt from the standard files
        QCOMPARE(data::inspectDatabaseFile(t.databasePath()).state, data::FileState::Sound);
    }

    void soundFileWithoutTablesIsDamagedWhenACopyHasThem() {
        TestSession t;
        fillDatabase(t, 4, 8);
        const QString sav = t.databasePath() + QStringLiteral(".sav");
        QVERIFY(QFile::rename(t.databasePath(), sav));
        setModified(sav, t.session.today());
        engine::Connection::createDatabaseFile(t.databasePath()); // a database without tables
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(t.prompts.texts().first().contains(QStringLiteral("enthält keine Tabellen")));
        QCOMPARE(rowsIn(t, "Dienstzeiten"), 8);
    }

    void failedCopyIntoTheUserFolderNamesBothFiles() {
        TestSession t;
        const QString candidate = t.programFolder() + QStringLiteral("/daten.tnv");
        oldfiles::write(candidate, "irgendwas");
        // the per-user folder cannot be made: a file has its name
        oldfiles::write(t.session.services.folders.appDataFolder + QStringLiteral("/Turnova"), "");
        t.prompts.queueAnswer(platform::Answer::Ok);
        QVERIFY(!data::dbstartcheck(t.session, QString(), {}));
        const QString report = t.prompts.texts().last();
        QVERIFY(report.startsWith(QStringLiteral("Es ist ein Fehler im Programm aufgetreten")));
        QVERIFY(report.contains(candidate));
        QVERIFY(report.contains(t.session.services.folders.appDataFolder +
                                QStringLiteral("/Turnova/daten.tnv")));
        QVERIFY(report.endsWith(QStringLiteral("Modul : dbstartcheck Line = 1")));
    }

    void failedDailyBackupIsToldAndTheStartGoesOn() {
        // a name that leaves the database room but not its backup's longer name
        TestSession t;
        t.session.location.path =
            t.folder() + QLatin1Char('/') + QString(232, QLatin1Char('x')) + QStringLiteral(".tnv");
        data::deriveNames(t.session.location, t.programFolder());
        fillDatabase(t, 2, 2);
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        const QStringList told = t.prompts.texts().filter(QStringLiteral("Sicherungskopie"));
        QCOMPARE(told.size(), 1);
        QVERIFY(told.first().startsWith(QStringLiteral("Die tägliche Sicherungskopie ")));
        QVERIFY(told.first().endsWith(QStringLiteral("konnte nicht angelegt werden.\nDer Start "
                                                     "wird fortgesetzt.")));
        QCOMPARE(rowsIn(t, "Dienstzeiten"), 2);
    }
};

QTEST_MAIN(TestDataSafety)
#include "test_datasafety.moc"
