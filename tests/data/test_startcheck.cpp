// The start-up check on temporary databases: first start, creating a missing database with and
// without backup files, rebuilding an old one, a read-only file, and the repair of a damaged
// file.

#include "data/Maintenance.h"
#include "data/StartCheck.h"
#include "engine/DateValue.h"
#include "tests/data/OldFormatFiles.h"
#include "tests/support/TestSession.h"

#include <QRandomGenerator>
#include <QtTest>

#include <unistd.h>

using testing::TestSession;

namespace {

const QString CreateQuestion =
    QStringLiteral("nicht gefunden. Soll die Datenbank neu erstellt werden?");
const QString BackupQuestion =
    QStringLiteral("Beim wiederherstellen der Datenbank wurde eine Sicherungsdatei gefunden.");

struct Statuses final : data::ProgressSink {
    QStringList texts;
    int current = 0;
    void status(const QString& text) override { texts << text; }
    void setMaximum(int) override {}
    void setValue(int value) override { current = value; }
    int value() const override { return current; }
};

// A database of the current tables with one settings row and one group, closed again.
void createDatabase(TestSession& t, const QDate& firstStart) {
    t.createDatabase();
    engine::Recordset& settings = t.env().rsEinstellungen;
    settings.addNew();
    settings.setValue(QStringLiteral("Firststart"), engine::dateVariant(firstStart));
    settings.update();
    engine::Recordset& groups = t.env().rsGruppen;
    groups.addNew();
    groups.setValue(QStringLiteral("Gruppenname"), QStringLiteral("Station 1"));
    groups.update();
    t.env().close();
}

long count(TestSession& t, const QString& table) {
    return t.env().execute(table).recordCount();
}

QStringList questions(const TestSession& t) {
    QStringList texts;
    for (const platform::Message& m : t.prompts.messages()) {
        if (m.buttons == platform::Buttons::YesNo)
            texts << m.text;
    }
    return texts;
}

} // namespace

class TestStartCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void missingDatabaseIsBuiltFromTheStandardFiles() {
        TestSession t(QDate(2026, 12, 6), true);
        Statuses statuses;
        t.session.progress = &statuses;
        int recomputed = 0;
        t.prompts.queueAnswer(platform::Answer::Yes);
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {[&] { ++recomputed; }}));
        QCOMPARE(questions(t).size(), 1); // no backup files: no question about them
        QVERIFY(questions(t).first().endsWith(CreateQuestion));
        QCOMPARE(recomputed, 1);
        QCOMPARE(statuses.texts,
                 QStringList({"GetFileName", "GetSysRoot", "Check if DB exists", "Createdb",
                              "Importiere Mitarbeiter Daten", "Importiere Feiertage",
                              "Importiere Dienste", "Importiere Standarddienste",
                              "Importiere Einstelungen", "Erstelle Statistik neu",
                              "Überprüfe Tabellen"}));
        QCOMPARE(count(t, "Standarddienste"), 7L);
        QCOMPARE(count(t, "Feiertage"), 234L);
        QCOMPARE(count(t, "Mitarbeiter"), 5L);
        QCOMPARE(count(t, "GpZuordnung"), 5L);
        QCOMPARE(count(t, "Dienstzeiten"), 0L);
        engine::Recordset& ma = t.env().execute(QStringLiteral("Mitarbeiter"));
        QCOMPARE(engine::toDate(ma.value(QStringLiteral("ersterArbeitstag"))), QDate(2026, 12, 1));
        engine::Recordset& settings = t.env().execute(QStringLiteral("Einstellungen"));
        QCOMPARE(engine::toDate(settings.value(QStringLiteral("Firststart"))), QDate(2002, 9, 29));
        t.session.progress = &t.session.noProgress;
    }

    void declinedCreationCreatesNothing() {
        TestSession t;
        t.prompts.queueAnswer(platform::Answer::No);
        QVERIFY(!data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(!QFile::exists(t.databasePath()));
    }

    void databaseThatCannotBeCreatedEndsTheStart() {
        TestSession t;
        oldfiles::write(t.folder() + QStringLiteral("/datei"), "kein Ordner");
        t.prompts.queueAnswer(platform::Answer::Yes);
        QVERIFY(!data::dbstartcheck(t.session, t.folder() + QStringLiteral("/datei/plan.tnv"), {}));
        QCOMPARE(t.prompts.messages().size(), 2); // the question, then one report, not one per table
        QVERIFY2(t.prompts.texts().at(1).endsWith(QStringLiteral("Modul : dbstartcheck Line = 7")),
                 qPrintable(t.prompts.texts().at(1)));
    }

    void missingDatabaseAsksOncePerBackupFile() {
        TestSession t(QDate(2026, 12, 6), true);
        oldfiles::write(
            t.folder() + QStringLiteral("/daten.Gruppen.xml"),
            oldfiles::rowsetFile(
                "<s:AttributeType name='GruppenNr'><s:datatype dt:type='int'/></s:AttributeType>"
                "<s:AttributeType name='Gruppenname'/>",
                "<z:row GruppenNr='3' Gruppenname='Nachtwache'/>"));
        oldfiles::write(
            t.folder() + QStringLiteral("/daten.Feiertage.xml"),
            oldfiles::rowsetFile(
                "<s:AttributeType name='Tag'><s:datatype dt:type='dateTime'/></s:AttributeType>",
                "<z:row Tag='2002-01-01T00:00:00'/>"));
        for (platform::Answer a :
             {platform::Answer::Yes, platform::Answer::Yes, platform::Answer::No})
            t.prompts.queueAnswer(a);
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        const QStringList asked = questions(t);
        QCOMPARE(asked.size(), 3);
        QVERIFY(asked[1].startsWith(BackupQuestion) &&
                asked[1].contains(QStringLiteral("daten.Gruppen.xml")));
        QVERIFY(asked[2].contains(QStringLiteral("daten.Feiertage.xml")));
        engine::Recordset& groups = t.env().execute(QStringLiteral("Gruppen"));
        QCOMPARE(groups.recordCount(), 1L);
        QCOMPARE(groups.value(QStringLiteral("GruppenNr")).toInt(), 3);
        QCOMPARE(count(t, "Feiertage"), 234L); // No: the standard holidays
    }

    void oldDatabaseIsRebuiltWithoutQuestions() {
        TestSession t(QDate(2026, 12, 6), true);
        createDatabase(t, QDate(2002, 9, 28));
        oldfiles::write(t.folder() + QStringLiteral("/daten.Mitarbeiter.xml"),
                        oldfiles::employees());
        oldfiles::write(t.folder() + QStringLiteral("/daten.Dienste.xml"), oldfiles::duties());
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(questions(t).isEmpty());
        QCOMPARE(t.prompts.texts().first(),
                 QStringLiteral("Das Programm hat eine alte Datenbank gefunden. Die Datenbank wird "
                                "neu erstellt werden.\nVerwenden Sie die Sicherungsdateien um die "
                                "Daten wiederherzustellen."));
        QVERIFY(QFile::exists(t.databasePath() + QStringLiteral(".old")));
        engine::Recordset& ma = t.env().execute(QStringLiteral("Mitarbeiter"));
        QCOMPARE(ma.value(QStringLiteral("PlanName")).toString(), QStringLiteral("Grete"));
        QCOMPARE(count(t, "Dienstzeiten"), 2L);
        QCOMPARE(count(t, "Gruppen"), 1L); // from the standard file: the old group went with ".old"
        engine::Recordset& settings = t.env().execute(QStringLiteral("Einstellungen"));
        QCOMPARE(engine::toDate(settings.value(QStringLiteral("Firststart"))), QDate(2002, 9, 29));
    }

    void currentDatabaseIsKept() {
        TestSession t(QDate(2026, 12, 6), true);
        createDatabase(t, QDate(2002, 9, 29));
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(t.prompts.messages().isEmpty());
        QVERIFY(!QFile::exists(t.databasePath() + QStringLiteral(".old")));
        QCOMPARE(t.env().execute(QStringLiteral("Gruppen")).value(1).toString(),
                 QStringLiteral("Station 1"));
        QVERIFY(!t.env().rsEinstellungen.isOpen());
    }

    void emptySettingsWithoutStandardFileStartsAnyway() {
        TestSession t; // no standard files
        t.createDatabase();
        t.env().close();
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QCOMPARE(t.prompts.messages().size(), 1);
        QVERIFY(t.prompts.texts().first().startsWith(QStringLiteral("Die Tabelle ist leer")));
    }

    void readOnlyDatabaseEndsBeforeAnyBackup() {
        if (geteuid() == 0)
            QSKIP("file permissions do not bind the super-user");
        TestSession t;
        createDatabase(t, QDate(2002, 9, 29));
        QFile::setPermissions(t.databasePath(), QFile::ReadOwner | QFile::ReadGroup);
        QVERIFY(!data::dbstartcheck(t.session, t.databasePath(), {}));
        QCOMPARE(
            t.prompts.texts(),
            QStringList(QStringLiteral("Sie haben keinen vollen Zugriff auf die Datenbank oder "
                                       "die Datenbank wird von einem anderen Benutzer verwendet. "
                                       "Überprüfen sie Ihre Zugriffsrechte auf die Datei : ") +
                        t.databasePath() + QStringLiteral("\nDas Programm wird beendet.")));
        QVERIFY(!QFile::exists(
            data::dailyBackupPath(t.session.location, t.session.today().addDays(-1))));
        QVERIFY(!QFile::exists(t.databasePath() + QStringLiteral(".sav")));
        QFile::setPermissions(t.databasePath(), QFile::ReadOwner | QFile::WriteOwner);
    }

    void damagedFileIsRepairedFromItsCopy() {
        TestSession t(QDate(2026, 12, 6), true);
        createDatabase(t, QDate(2002, 9, 29));
        const QString sav = t.databasePath() + QStringLiteral(".sav");
        QVERIFY(QFile::copy(t.databasePath(), sav));
        QByteArray noise(8192, '\0');
        for (char& c : noise)
            c = char(QRandomGenerator::global()->bounded(256));
        oldfiles::write(t.databasePath(), noise);

        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(t.prompts.texts().first().endsWith(
            QStringLiteral("Fehler in der Datenbank. Versuche Datenbank wiederherzustellen.")));
        QVERIFY(t.prompts.texts().at(1).contains(sav));
        QCOMPARE(t.env().execute(QStringLiteral("Gruppen")).value(1).toString(),
                 QStringLiteral("Station 1"));
        const QStringList defekt =
            QDir(t.folder()).entryList({QStringLiteral("daten.tnv.*.defekt")}, QDir::Files);
        QCOMPARE(defekt.size(), 1);
        QFile kept(t.folder() + QLatin1Char('/') + defekt.first());
        QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == noise);
        // the damaged file was not copied over a daily backup
        QVERIFY(!QFile::exists(
            data::dailyBackupPath(t.session.location, t.session.today().addDays(-1))));
    }

    void damagedFileWithoutCopyEndsTheProgram() {
        TestSession t;
        oldfiles::write(t.databasePath(), QByteArray(4096, 'x'));
        QVERIFY(!data::dbstartcheck(t.session, t.databasePath(), {}));
        QCOMPARE(t.prompts.messages().size(), 2);
        QVERIFY(t.prompts.texts().at(1).endsWith(QStringLiteral("Modul : dbstartcheck Line = 8")));
        QFile file(t.databasePath()); // left as it was
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == QByteArray(4096, 'x'));
    }
};

QTEST_MAIN(TestStartCheck)
#include "test_startcheck.moc"
