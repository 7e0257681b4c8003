// The database file at start-up after a crash, a swap, a second program and stock SQLite tools:
// a journal that SQLite does not call hot never locks the planner out and a hot one is rolled
// back; a missing database is offered its newest sound copy; compaction and repair keep links; one
// program per file whatever name it is reached by; the salvage reads every intact leaf page and
// merges with the copy; a rebuild keeps every sound row and an interrupted one is repeated; the
// file is an ordinary SQLite file.

#include "data/DatabaseFile.h"
#include "data/DatabaseLocation.h"
#include "data/Schema.h"
#include "data/StartCheck.h"
#include "data/TableFiles.h"
#include "tests/data/FilledDatabase.h"
#include "tests/data/OldFormatFiles.h"
#include "tests/roster/RosterRows.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <sqlite3.h>

#include <csignal>
#include <limits>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testing::contentOf;
using testing::fillDatabase;
using testing::scribblePage;
using testing::setModified;
using testing::TestSession;

namespace {

const QString LockedOut =
    QStringLiteral("wird bereits von einem anderen Turnova-Programm verwendet");

qint64 scalar(const QString& path, const QString& sql) {
    engine::Connection c;
    c.open(path);
    engine::Statement st(c, sql);
    return st.step() ? st.int64(0) : -1;
}

// A process that dies by SIGKILL inside a write transaction after its journal was synced and
// pages of the database were overwritten: the journal it leaves is hot.
void killInsideTransaction(const QString& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        // a tiny cache spills the changed pages into the file before the commit
        sqlite3_exec(db,
                     "PRAGMA cache_size=2; BEGIN; UPDATE Dienstzeiten SET Kurzinfo = 'Verloren', "
                     "Bemerkung = hex(randomblob(20));",
                     nullptr, nullptr, nullptr);
        ::raise(SIGKILL);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
}

// The stock sqlite3 tool's output for a command on a file.
QString sqliteTool(const QString& path, const QString& command, const QByteArray& input = {}) {
    QProcess tool;
    // without a command the tool reads its statements from the input
    tool.start(QStringLiteral("sqlite3"),
               command.isEmpty() ? QStringList{path} : QStringList{path, command});
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished() || tool.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromUtf8(tool.readAllStandardError());
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

} // namespace

class TestFileSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aJournalLeftByACrashNeverLocksThePlannerOut() {
        TestSession t;
        fillDatabase(t, 4, 2000);
        const QString journal = t.databasePath() + QStringLiteral("-journal");
        // written but not synced (its header still zero), and empty: SQLite ignores both
        for (const QByteArray& leftover : {QByteArray(4608, '\0'), QByteArray()}) {
            QFile file(journal);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(leftover);
            file.close();
            t.prompts.clear();
            QVERIFY2(data::dbstartcheck(t.session, t.databasePath(), {}),
                     qPrintable(t.prompts.texts().join(QLatin1Char('|'))));
            QVERIFY(t.prompts.shown.isEmpty());
            t.env().close();
            QCOMPARE(scalar(t.databasePath(), QStringLiteral("SELECT count(*) FROM Dienstzeiten")),
                     2000);
        }
        QFile::remove(journal);
        t.session.databaseLock.reset();
        t.session.fileLock.unlock();

        // a hot journal: SQLite rolls it back when the start opens the file
        const QByteArray before = contentOf(t.databasePath());
        killInsideTransaction(t.databasePath());
        QVERIFY(QFileInfo(journal).size() > 0);
        QVERIFY(contentOf(t.databasePath()) != before);
        t.prompts.clear();
        QVERIFY2(data::dbstartcheck(t.session, t.databasePath(), {}),
                 qPrintable(t.prompts.texts().join(QLatin1Char('|'))));
        QVERIFY(t.prompts.shown.isEmpty());
        t.env().close();
        QCOMPARE(scalar(t.databasePath(),
                        QStringLiteral("SELECT count(*) FROM Dienstzeiten WHERE Kurzinfo = 'Früh' "
                                       "AND Bemerkung IS NULL")),
                 2000);
    }

    void aMissingDatabaseIsOfferedItsNewestSoundCopy() {
        // a kill between the two renames of an earlier compaction: the old file as ".sav", the
        // compacted one still under its temporary name
        TestSession t;
        fillDatabase(t, 3, 40);
        const QString sav = t.databasePath() + QStringLiteral(".sav");
        const QString compacted = t.databasePath() + QStringLiteral(".compact.tmp");
        QVERIFY(QFile::copy(t.databasePath(), sav));
        setModified(sav, t.session.today().addDays(-8));
        QVERIFY(QFile::rename(t.databasePath(), compacted));
        const QString backup = data::dailyBackupPath(t.session.location, QDate(2026, 11, 30));
        oldfiles::write(backup, "keine Datenbank"); // newer, but no sound copy

        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        const platform::Message offer = t.prompts.messages().first();
        QCOMPARE(offer.buttons, platform::Buttons::YesNo);
        QCOMPARE(platform::defaultAnswer(offer), platform::Answer::Yes);
        QVERIFY(offer.text.contains(QStringLiteral("nicht gefunden.\nEs gibt eine Kopie der "
                                                   "Datenbank:\n") +
                                    compacted));
        QVERIFY(offer.text.contains(QStringLiteral("(3 Mitarbeiter, 40 Dienste)")));
        QCOMPARE(t.prompts.messages().size(), 1);
        t.env().close();
        QCOMPARE(scalar(t.databasePath(), QStringLiteral("SELECT count(*) FROM Dienstzeiten")), 40);
        QVERIFY(QFile::exists(compacted) && QFile::exists(sav)); // copies are never moved
    }

    void compactionAndRepairWriteThroughALink() {
        TestSession t;
        fillDatabase(t, 2, 30);
        QDir(t.folder()).mkdir(QStringLiteral("ablage"));
        const QString link = t.folder() + QStringLiteral("/ablage/plan.tnv");
        QVERIFY(QFile::link(t.databasePath(), link));
        const QString hardLink = t.folder() + QStringLiteral("/zweiter.tnv");
        QCOMPARE(::link(QFile::encodeName(t.databasePath()).constData(),
                        QFile::encodeName(hardLink).constData()),
                 0);
        // through the symbolic link the compaction is due: no ".sav" beside it yet
        QVERIFY(data::dbstartcheck(t.session, link, {}));
        QVERIFY(t.prompts.shown.isEmpty());
        QVERIFY(QFile::exists(link + QStringLiteral(".sav")));
        t.env().close();
        QVERIFY(QFileInfo(link).isSymLink());
        struct stat a = {};
        struct stat b = {};
        QCOMPARE(::stat(QFile::encodeName(t.databasePath()).constData(), &a), 0);
        QCOMPARE(::stat(QFile::encodeName(hardLink).constData(), &b), 0);
        QCOMPARE(a.st_ino, b.st_ino); // compacted in place: both names still name one file
        QCOMPARE(scalar(hardLink, QStringLiteral("SELECT count(*) FROM Dienstzeiten")), 30);

        // a damaged file reached through the link is replaced at the link's target
        t.session.databaseLock.reset();
        t.session.fileLock.unlock();
        oldfiles::write(t.databasePath(), QByteArray(8192, 'x'));
        t.prompts.clear();
        QVERIFY(data::dbstartcheck(t.session, link, {}));
        t.env().close();
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(scalar(t.databasePath(), QStringLiteral("SELECT count(*) FROM Dienstzeiten")), 30);
        // a write that fails for want of room says so
        QVERIFY(data::cannotWriteText(link, std::numeric_limits<qint64>::max() / 4)
                    .startsWith(QStringLiteral("Der Datenträger ist voll")));
    }

    void aSecondProgramIsRefusedWhateverNameItUses() {
        TestSession first;
        fillDatabase(first, 2, 3);
        QVERIFY(data::dbstartcheck(first.session, first.databasePath(), {}));
        const QString symlink = first.folder() + QStringLiteral("/verweis.tnv");
        const QString hardLink = first.folder() + QStringLiteral("/zweiter.tnv");
        QVERIFY(QFile::link(first.databasePath(), symlink));
        QCOMPARE(::link(QFile::encodeName(first.databasePath()).constData(),
                        QFile::encodeName(hardLink).constData()),
                 0);
        for (const QString& name : {symlink, hardLink}) {
            TestSession second;
            QVERIFY(!data::dbstartcheck(second.session, name, {}));
            QCOMPARE(second.prompts.messages().size(), 1);
            QVERIFY2(second.prompts.texts().first().contains(LockedOut), qPrintable(name));
        }
        QVERIFY(first.session.databaseLock->isLocked());
    }

    void salvageReadsEveryRowOfTheIntactLeafPagesAndMergesWithTheCopy() {
        // a damaged interior page of the duties, and a damaged first page (header and schema)
        for (const char* page : {"internal", "first"}) {
            TestSession t;
            fillDatabase(t, 10, 3000);
            const QString path = t.databasePath();
            scribblePage(path, qstrcmp(page, "first") == 0
                                   ? 1
                                   : int(scalar(path, QStringLiteral("SELECT rootpage FROM "
                                                                     "sqlite_master WHERE name = "
                                                                     "'Dienstzeiten'"))));
            QVERIFY2(data::dbstartcheck(t.session, path, {}), page);
            QVERIFY(t.prompts.texts().at(1).contains(QStringLiteral("geretteten Daten")));
            t.env().close();
            QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM Dienstzeiten")), 3000);
            QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM Mitarbeiter")), 10);
            // a table of two columns like the groups' must not leave the groups' rows unplaced
            QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM Gruppen")), 1);
            QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM Dienstzeiten WHERE "
                                                 "Kurzinfo = 'Früh' AND Anfang = 0.25")),
                     3000);
        }

        // the salvage holds more than the copy, which still has the rows of a damaged leaf page
        TestSession t;
        fillDatabase(t, 10, 3000);
        const QString path = t.databasePath();
        const QString sav = path + QStringLiteral(".sav");
        QVERIFY(QFile::copy(path, sav));
        setModified(sav, t.session.today());
        {
            engine::Connection db;
            db.open(path);
            db.executeNative(QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr) SELECT Tag + "
                                            "400, MaNr FROM Dienstzeiten WHERE DienstNR <= 500"));
        }
        const int leaf = int(scalar(path, QStringLiteral("SELECT pageno FROM dbstat WHERE name = "
                                                         "'Dienstzeiten' AND pagetype = 'leaf' "
                                                         "ORDER BY pageno LIMIT 1 OFFSET 3")));
        scribblePage(path, leaf);
        QVERIFY(data::dbstartcheck(t.session, path, {}));
        QVERIFY(t.prompts.texts().at(1).contains(QStringLiteral("geretteten Daten")));
        QVERIFY2(t.prompts.texts().at(1).contains(
                     QStringLiteral("wurden aus der Sicherungskopie %1 ergänzt.").arg(sav)),
                 qPrintable(t.prompts.texts().at(1)));
        t.env().close();
        QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM Dienstzeiten")), 3500);
    }

    void aRebuildKeepsEverySoundRowAndAnInterruptedOneIsRepeated() {
        TestSession t(QDate(2026, 12, 6), true);
        fillDatabase(t, 1, 0);
        {
            engine::Connection db;
            db.open(t.databasePath());
            db.executeNative(QStringLiteral("UPDATE Einstellungen SET Firststart = 37527")); // old
        }
        const char* holidayColumns =
            "<s:AttributeType name='Tag'><s:datatype dt:type='dateTime'/></s:AttributeType>"
            "<s:AttributeType name='Name'><s:datatype dt:type='string'/></s:AttributeType>";
        oldfiles::write(
            t.folder() + QStringLiteral("/daten.Feiertage.xml"),
            oldfiles::rowsetFile(holidayColumns,
                                 "<z:row Tag='2026-01-01T00:00:00' Name='Neujahr'/>\n"
                                 "<z:row Tag='kein Datum' Name='Kaputt'/>\n"
                                 "<z:row Tag='2026-12-25T00:00:00' Name='Weihnachten'/>\n"));
        const QByteArray duties = oldfiles::rowsetFile(
            "<s:AttributeType name='Tag'><s:datatype dt:type='dateTime'/></s:AttributeType>"
            "<s:AttributeType name='MaNr'><s:datatype dt:type='int'/></s:AttributeType>"
            "<s:AttributeType name='Normstunden'><s:datatype dt:type='float'/></s:AttributeType>",
            "<z:row Tag='2026-11-02T00:00:00' MaNr='1' Normstunden='acht'/>\n"
            "<z:row Tag='2026-11-03T00:00:00' MaNr='1'/>\n"
            "<z:row Tag='2026-11-04T00:00:00' MaNr='1'/>\n");
        // the file is cut inside its last row
        const QString dutyFile = t.folder() + QStringLiteral("/daten.Dienste.xml");
        oldfiles::write(dutyFile, duties.left(duties.lastIndexOf("MaNr='1'/>")));

        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        const QStringList texts = t.prompts.texts();
        QVERIFY(texts.contains(QStringLiteral("Aus der Datei %1/daten.Feiertage.xml wurden 1 von 3 "
                                              "Datensätzen nicht übernommen.")
                                   .arg(t.folder())));
        QVERIFY(texts.contains(QStringLiteral("Aus der Datei %1 wurden 2 von 3 Datensätzen nicht "
                                              "übernommen.")
                                   .arg(dutyFile)));
        QCOMPARE(texts.filter(QStringLiteral("Feld Tag: „kein Datum“")).size(), 1);
        t.env().close();
        QCOMPARE(scalar(t.databasePath(), QStringLiteral("SELECT count(*) FROM Feiertage")), 2);
        QCOMPARE(scalar(t.databasePath(), QStringLiteral("SELECT count(*) FROM Dienstzeiten")), 1);
        QVERIFY(!QFile::exists(data::rebuildMarkerPath(t.databasePath())));

        // a rebuild that a crash cut off (its marker is still there) is repeated at the next start
        {
            engine::Connection db;
            db.open(t.databasePath());
            db.executeNative(QStringLiteral("DELETE FROM Dienstzeiten"));
        }
        oldfiles::write(data::rebuildMarkerPath(t.databasePath()), "");
        t.prompts.clear();
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(t.prompts.texts().first().contains(QStringLiteral(
            "aus den Sicherungsdateien wurde unterbrochen. Er wird jetzt wiederholt.")));
        t.env().close();
        QCOMPARE(scalar(t.databasePath(), QStringLiteral("SELECT count(*) FROM Dienstzeiten")), 1);
        QCOMPARE(QDir(t.folder()).entryList({QStringLiteral("daten.tnv.*.unvollstaendig")}).size(),
                 1);
        QVERIFY(!QFile::exists(data::rebuildMarkerPath(t.databasePath())));
    }

    void stockSqliteToolsCheckCompactAndDumpTheFile() {
        TestSession t;
        fillDatabase(t, 3, 25);
        {
            // a file of an earlier version, whose key index needed the program's collation
            engine::Connection c;
            c.open(t.databasePath());
            c.executeNative(
                QStringLiteral("DROP INDEX IF EXISTS idx_Standarddienste_Taste_nocase"));
            c.executeNative(QStringLiteral("CREATE UNIQUE INDEX idx_Standarddienste_Taste ON "
                                           "Standarddienste (Taste COLLATE TEXT_NOCASE)"));
            c.executeNative(QStringLiteral("INSERT INTO Standarddienste (Taste, Kurzinfo) VALUES "
                                           "('ä', 'Umlaut')"));
        }
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        t.env().close();
        const QString path = t.databasePath();
        QCOMPARE(sqliteTool(path, QStringLiteral("PRAGMA integrity_check; PRAGMA quick_check;")),
                 QStringLiteral("ok\nok"));
        QCOMPARE(sqliteTool(path, QStringLiteral("VACUUM")), QString());
        QCOMPARE(sqliteTool(path, QStringLiteral("INSERT INTO Standarddienste (Taste) VALUES "
                                                 "('X')")),
                 QString());
        // the file's own index still refuses a key that differs in case only
        QVERIFY(sqliteTool(path, QStringLiteral("INSERT INTO Standarddienste (Taste) VALUES "
                                                "('x')"))
                    .startsWith(QStringLiteral("failed")));
        const QString recovered = t.folder() + QStringLiteral("/gerettet.tnv");
        // Debian's sqlite3 3.40 fails ".recover" on any file ("SQL logic error"), so the file is
        // carried over by ".dump", which needs the same of the schema
        const QString dump = sqliteTool(path, QStringLiteral(".dump"));
        QVERIFY(!dump.startsWith(QStringLiteral("failed")));
        QCOMPARE(sqliteTool(recovered, QString(), dump.toUtf8()), QString());

        TestSession again;
        QVERIFY(data::dbstartcheck(again.session, recovered, {}));
        QVERIFY(again.prompts.shown.isEmpty());
        QCOMPARE(scalar(recovered, QStringLiteral("SELECT count(*) FROM Dienstzeiten")), 25);
        // the program's own check holds the rule for every letter
        data::openTable(again.session, again.env().rsStandarddienste,
                        QStringLiteral(".StdDienste.xml"), data::schema::Standarddienste);
        QVERIFY_THROWS_EXCEPTION(
            engine::EngineError,
            testing::addRow(again.env().rsStandarddienste, {{"Taste", QStringLiteral("Ä")}}));
    }
};

QTEST_MAIN(TestFileSafety)
#include "test_filesafety.moc"
