// Tables and their XML files: filling empty tables from the standard files, restores that keep
// every sound row, the column rules for files of earlier formats, and the menu import that skips
// and counts the rows a table refuses.

#include "data/ChangeHooks.h"
#include "data/ImportRules.h"
#include "data/Schema.h"
#include "data/TableFiles.h"
#include "engine/DateValue.h"
#include "engine/RowsetXml.h"
#include "engine/Sqlite.h"
#include "tests/data/OldFormatFiles.h"
#include "tests/support/TestSession.h"

#include <QStringEncoder>
#include <QtTest>

using testing::TestSession;

namespace {

QStringList column(engine::Recordset& rs, const char* name) {
    QStringList values;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        values << rs.value(QLatin1String(name)).toString();
    return values;
}

} // namespace

class TestTableFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openTableFillsEmptyTablesButDutiesAndStatistics() {
        TestSession t(QDate(2026, 12, 6), true);
        engine::Connection::createDatabaseFile(t.databasePath());
        t.env().open(t.databasePath());
        for (const data::TableDef& def : data::tables())
            data::openTable(t.session, t.env().recordset(def.name), def.suffix,
                            def.createStatement);
        QCOMPARE(t.env().rsStandarddienste.recordCount(), 7L);
        QCOMPARE(t.env().rsDienstzeiten.recordCount(), 0L);
        QCOMPARE(t.env().rsStatistik.recordCount(), 0L);
        QCOMPARE(t.env().rsJahreswerte.recordCount(), 0L); // no standard file: left empty
        const QString expected = QStringLiteral("Die Tabelle ist leer\n%1/std.StdDienste.xml\n"
                                                "Es werden die Standardwerte eingetragen")
                                     .arg(t.programFolder());
        QVERIFY(t.prompts.texts().contains(expected));
        QCOMPARE(t.prompts.texts().filter(QStringLiteral("Die Tabelle ist leer")).size(), 7);
    }

    void unreadableFileChangesNothingAndRefusedRowsAreLeftOut() {
        TestSession t;
        t.createDatabase();
        // a holiday file that breaks off in its third row
        const QString path = t.folder() + QStringLiteral("/kaputt.xml");
        QByteArray content = oldfiles::rowsetFile(
            "<s:AttributeType name='Tag'><s:datatype dt:type='dateTime'/></s:AttributeType>"
            "<s:AttributeType name='Name'><s:datatype dt:type='string' "
            "dt:maxLength='50'/></s:AttributeType>",
            "<z:row Tag='2030-01-01T00:00:00' Name='Neujahr'/>\n"
            "<z:row Tag='2030-12-25T00:00:00' Name='Weihnachten'/>\n"
            "<z:row Tag='2030-12-26T00:00:00' Name='Zweiter Weihnachtstag'/>\n");
        content.truncate(content.indexOf("Name='Zweiter"));
        oldfiles::write(path, content);
        QString p = path;
        QVERIFY(!data::importinempty(t.session, p, QStringLiteral(".Feiertage.xml"),
                                     t.env().rsFeiertage));
        QCOMPARE(t.env().rsFeiertage.recordCount(), 0L);
        QVERIFY(t.prompts.lastMessage().text.contains(QStringLiteral("Modul : importinempty")));

        // a file whose second row the table refuses (a key twice): the other rows arrive, the
        // refused one is reported with its number, and the summary counts it
        oldfiles::write(
            path, oldfiles::rowsetFile("<s:AttributeType name='Taste'><s:datatype dt:type='string' "
                                       "dt:maxLength='1'/></s:AttributeType>",
                                       "<z:row Taste='A'/><z:row Taste='A'/><z:row Taste='B'/>"));
        QFile::copy(path, t.folder() + QStringLiteral("/daten.StdDienste.xml"));
        t.prompts.clear();
        QVERIFY(data::importsaved(t.session, data::schema::Standarddienste,
                                  QStringLiteral(".StdDienste.xml"), t.env().rsStandarddienste,
                                  false));
        QCOMPARE(column(t.env().rsStandarddienste, "Taste"), QStringList({"A", "B"}));
        QCOMPARE(t.prompts.messages().size(), 2);
        QVERIFY(t.prompts.texts().at(0).contains(QStringLiteral("Modul : importsaved")));
        QVERIFY(t.prompts.texts().at(0).contains(QStringLiteral("Datensatz 2")));
        QCOMPARE(t.prompts.texts().at(1),
                 QStringLiteral("Aus der Datei %1/daten.StdDienste.xml wurden 1 von 3 "
                                "Datensätzen nicht übernommen.")
                     .arg(t.folder()));
    }

    void largeFilesArriveInPortions() {
        // more rows than one portion of the streamed reading, most of them refused as duplicates
        TestSession t;
        t.createDatabase();
        QByteArray rows;
        for (int i = 0; i < 2500; ++i)
            rows += QStringLiteral("<z:row Tag='%1T00:00:00' Name='T%2'/>\n")
                        .arg(QDate(2030, 1, 1).addDays(i % 1000).toString(Qt::ISODate))
                        .arg(i)
                        .toUtf8();
        QByteArray content = oldfiles::rowsetFile(
            "<s:AttributeType name='Tag'><s:datatype dt:type='dateTime'/></s:AttributeType>"
            "<s:AttributeType name='Name'><s:datatype dt:type='string' "
            "dt:maxLength='50'/></s:AttributeType>",
            rows.constData());
        const QString backup = t.folder() + QStringLiteral("/daten.Feiertage.xml");
        oldfiles::write(backup, content);
        const data::TableDef& holidays = data::table(QStringLiteral("Feiertage"));
        QVERIFY(data::importsaved(t.session, holidays.createStatement, holidays.suffix,
                                  t.env().rsFeiertage, false));
        QCOMPARE(t.env().rsFeiertage.recordCount(), 1000L);
        QCOMPARE(t.prompts.messages().size(), 4); // the first three refusals, the summary
        QVERIFY(t.prompts.texts().at(0).contains(QStringLiteral("Datensatz 1001 der Datei")));
        QVERIFY(t.prompts.texts().at(2).contains(QStringLiteral("Datensatz 1003 der Datei")));
        QCOMPARE(t.prompts.texts().at(3),
                 QStringLiteral("Aus der Datei %1 wurden 1500 von 2500 Datensätzen nicht "
                                "übernommen.")
                     .arg(backup));

        // cut off in its last portion: a file that must arrive whole leaves the table as it was,
        // the portions written before included
        t.env().Datenbank.executeNative(QStringLiteral("DELETE FROM Feiertage"));
        content.truncate(content.lastIndexOf("<z:row") + 10);
        oldfiles::write(backup, content);
        QString path = backup;
        QVERIFY(!data::importinempty(t.session, path, holidays.suffix, t.env().rsFeiertage));
        QCOMPARE(t.env().rsFeiertage.recordCount(), 0L);
        QVERIFY(t.prompts.lastMessage().text.contains(QStringLiteral("unvollständig")));
    }

    void columnRulesForEarlierFormats() {
        TestSession t(QDate(2026, 12, 1));
        t.createDatabase();
        oldfiles::write(t.folder() + QStringLiteral("/daten.Mitarbeiter.xml"),
                        oldfiles::employees());
        oldfiles::write(t.folder() + QStringLiteral("/daten.Dienste.xml"), oldfiles::duties());
        const data::TableDef& ma = data::table(QStringLiteral("Mitarbeiter"));
        const data::TableDef& du = data::table(QStringLiteral("Dienstzeiten"));
        QVERIFY(data::importsaved(t.session, ma.createStatement, ma.suffix, t.env().rsMitarbeiter,
                                  false));
        QVERIFY(data::importsaved(t.session, du.createStatement, du.suffix, t.env().rsDienstzeiten,
                                  false));
        QCOMPARE(t.prompts.messages().size(), 0); // "table exists" is passed over quietly

        engine::Recordset& m = t.env().rsMitarbeiter;
        QCOMPARE(column(m, "PlanName"), QStringList({"Grete", "Ohnevorname"}));
        QCOMPARE(column(m, "MaNr"), QStringList({"4", "9"})); // keys kept for the duties
        m.moveFirst();
        // on the 1st of a month: the first day of the previous month
        QCOMPARE(engine::toDate(m.value(QStringLiteral("ersterArbeitstag"))), QDate(2026, 11, 1));
        QCOMPARE(m.value(QStringLiteral("Sollstd")).toDouble(), 0.0);
        QCOMPARE(m.value(QStringLiteral("normstunden")).toDouble(), 7.7);

        engine::Recordset& d = t.env().rsDienstzeiten;
        QCOMPARE(column(d, "Normstunden"), QStringList({"5.5", "3"}));

        // standard duties of an earlier format kept their flat hours in NBStunden too
        engine::RowsetData file;
        file.columns = {{"Taste", engine::ColumnType::Text, 1, false},
                        {"NBStunden", engine::ColumnType::Double, 0, true}};
        file.rows = {{QString("F"), 2.5}};
        engine::Recordset source;
        source.openData(file);
        QCOMPARE(data::importedValue(source, QStringLiteral("Pauschalstunden"), t.session.today())
                     ->toDouble(),
                 2.5);
        QVERIFY(!data::importedValue(source, QStringLiteral("Bemerkung"), t.session.today()));
    }

    void holidayFileOfTheOldProgramImports() {
        // UTF-16 with a byte-order mark, an aliased column name, a null and an empty text
        TestSession t;
        t.createDatabase();
        const QByteArray utf8 = oldfiles::rowsetFile(
            "<s:AttributeType name='Tag' rs:number='1'><s:datatype dt:type='dateTime' "
            "rs:dbtype='variantdate'/></s:AttributeType>"
            "<s:AttributeType name='c1' rs:name='Name' rs:number='2' rs:nullable='true'>"
            "<s:datatype dt:type='string' dt:maxLength='50'/></s:AttributeType>"
            "<s:AttributeType name='Prozent' rs:number='3'><s:datatype "
            "dt:type='r4'/></s:AttributeType>",
            "<z:row Tag='2031-04-11T00:00:00' c1='Karfreitag' Prozent='1'/>\n"
            "<z:row Tag=\"2031-04-14T00:00:00\"\n\tc1=\"\"/>\n"
            "<z:row Tag='2031-05-22T00:00:00' Prozent='0.5'/>\n");
        QStringEncoder toUtf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        const QString path = t.folder() + QStringLiteral("/Feiertage.xml");
        oldfiles::write(path, toUtf16(QString::fromUtf8(utf8)));
        QVERIFY(data::importfile(t.session, path, t.env().rsFeiertage));
        QVERIFY(t.prompts.messages().isEmpty());
        engine::Recordset& rs = t.env().rsFeiertage;
        QCOMPARE(rs.recordCount(), 3L);
        QCOMPARE(engine::toDate(rs.value(QStringLiteral("Tag"))), QDate(2031, 4, 11));
        QCOMPARE(column(rs, "Name"), QStringList({"Karfreitag", "", ""}));
        rs.moveFirst();
        rs.moveNext();
        QVERIFY(!rs.value(QStringLiteral("Name")).isNull()); // "" is an empty text, not a null
        rs.moveLast();
        QVERIFY(rs.value(QStringLiteral("Name")).isNull());
        QCOMPARE(rs.value(QStringLiteral("Prozent")).toDouble(), 0.5);
    }

    void restoredDutiesAndHolidaysLowerLastChangeOfTheRowsKept() {
        TestSession t;
        t.createDatabase();
        data::attachChangeHooks(t.session);
        for (int maNr : {1, 2, 3})
            t.env().Datenbank.executeNative(
                QStringLiteral("INSERT INTO Mitarbeiter (MaNr, PlanName, Nachname, lastChange) "
                               "VALUES (%1, 'M%1', 'N%1', %2)")
                    .arg(maNr)
                    .arg(engine::dayNumber(QDate(2031, 1, 1))));
        t.env().execute(QStringLiteral("Mitarbeiter"));
        t.env().Datenbank.executeNative(
            QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr) VALUES (%1, 1)")
                .arg(engine::dayNumber(QDate(2030, 3, 1))));
        const auto lastChanges = [&t] {
            QStringList days;
            engine::Statement st(
                t.env().Datenbank,
                QStringLiteral("SELECT lastChange FROM Mitarbeiter ORDER BY MaNr"));
            while (st.step())
                days << engine::toDate(st.value(0)).toString(Qt::ISODate);
            return days;
        };
        // the row of 1 March is refused (that duty exists): it lowers nothing
        oldfiles::write(
            t.folder() + QStringLiteral("/daten.Dienste.xml"),
            oldfiles::rowsetFile(
                "<s:AttributeType name='Tag'><s:datatype dt:type='dateTime'/></s:AttributeType>"
                "<s:AttributeType name='MaNr'><s:datatype dt:type='int'/></s:AttributeType>",
                "<z:row Tag='2030-05-02T00:00:00' MaNr='2'/><z:row Tag='2030-03-01T00:00:00' "
                "MaNr='1'/><z:row Tag='2030-04-09T00:00:00' MaNr='1'/><z:row "
                "Tag='2030-04-08T00:00:00' MaNr='2'/>"));
        const data::TableDef& duties = data::table(QStringLiteral("Dienstzeiten"));
        QVERIFY(data::importsaved(t.session, duties.createStatement, duties.suffix,
                                  t.env().rsDienstzeiten, false));
        QCOMPARE(t.env().rsDienstzeiten.recordCount(), 4L);
        QCOMPARE(lastChanges(), QStringList({"2030-04-09", "2030-04-08", "2031-01-01"}));
        QVERIFY(t.prompts.texts().at(0).contains(QStringLiteral("Datensatz 2 der Datei")));

        // holidays appended from a file: every employee from the earliest one kept on; a
        // pending change of the holiday recordset is kept
        t.env().Datenbank.executeNative(QStringLiteral("INSERT INTO Feiertage (Tag, Name) VALUES "
                                                       "(%1, 'Alt')")
                                            .arg(engine::dayNumber(QDate(2030, 6, 1))));
        t.env().rsFeiertage.requery();
        t.env().rsFeiertage.setValue(QStringLiteral("Name"), QStringLiteral("Neu"));
        const QString holidays = t.folder() + QStringLiteral("/Feiertage.xml");
        oldfiles::write(
            holidays,
            oldfiles::rowsetFile(
                "<s:AttributeType name='Tag'><s:datatype dt:type='dateTime'/></s:AttributeType>",
                "<z:row Tag='2030-04-20T00:00:00'/><z:row Tag='2030-04-10T00:00:00'/>"));
        QVERIFY(data::importfile(t.session, holidays, t.env().rsFeiertage));
        QCOMPARE(lastChanges(), QStringList({"2030-04-09", "2030-04-08", "2030-04-10"}));
        QCOMPARE(column(t.env().rsFeiertage, "Name"), QStringList({"Neu", "", ""}));
    }

    void importfileSkipsAndCountsRefusedRows() {
        TestSession t(QDate(2026, 12, 6), true);
        t.createDatabase();
        QString std = t.programFolder() + QStringLiteral("/std.StdDienste.xml");
        QVERIFY(data::importinempty(t.session, std, QStringLiteral(".StdDienste.xml"),
                                    t.env().rsStandarddienste));
        engine::Recordset& rs = t.env().rsStandarddienste;
        const QString exported = t.folder() + QStringLiteral("/Standarddienste.xml");
        rs.saveToFile(exported);
        for (const char* key : {"N", "T", "X"}) {
            rs.moveFirst();
            QVERIFY(rs.find(QStringLiteral("Taste='%1'").arg(QLatin1String(key))));
            rs.deleteCurrent();
        }
        QVERIFY(data::importfile(t.session, exported, rs));
        QCOMPARE(rs.recordCount(), 7L);
        QCOMPARE(t.prompts.lastMessage().text,
                 QStringLiteral("Bei dem Import sind 4 Fehler aufgetreten."));
        rs.moveFirst();
        QVERIFY(rs.find(QStringLiteral("Taste='N'")));
        QCOMPARE(rs.value(QStringLiteral("Kurzinfo")).toString(), QStringLiteral("Nachtdienst"));

        QVERIFY(!data::importfile(t.session, t.folder() + QStringLiteral("/fehlt.xml"), rs));
        QCOMPARE(t.prompts.lastMessage().text,
                 QStringLiteral("Kann die Datei %1/fehlt.xml nicht finden.").arg(t.folder()));
    }
};

QTEST_MAIN(TestTableFiles)
#include "test_tablefiles.moc"
