// The dialect translation on a bare SQLite connection: the nine table definitions, the named
// commands, the finders and aggregates of the roster, the statistics reset and the deletes of
// employees and groups, each as the program writes them.

#include "engine/DateValue.h"
#include "engine/EngineError.h"
#include "engine/SqlDialect.h"

#include <QTest>

#include <sqlite3.h>

#include <algorithm>
#include <memory>

using namespace engine;

namespace {

const char* const CreateTables[] = {
    "CREATE TABLE Einstellungen ([ID] int IDENTITY(1,1) NOT NULL,[Firststart] smalldatetime "
    "NULL,[FormFontName] varchar (50) NULL,[FormFontSize] real NULL,[FormFontBold] bit NOT "
    "NULL,[FormFontItalic] bit NOT NULL,[PrintFontName] varchar (50) NULL,[PrintFontSize] real "
    "NULL,[PrintFontBold] bit NOT NULL,[PrintFontItalic] bit NOT NULL,[OrgName] varchar (50) "
    "NULL,[Printer] varchar (50) NULL,[PrinterOrientation] int DEFAULT 2 NOT NULL,[WoEndeColor] "
    "int DEFAULT 13761911 ,[StdGruppe] varchar (50) NULL ,CONSTRAINT PrimaryKey PRIMARY KEY(ID) )",
    "CREATE TABLE Statistik (StatNr int IDENTITY(1,1) NOT NULL,Jahr int NOT NULL,Monat int NOT "
    "NULL,MaNr int NOT NULL,Urlaubstage int DEFAULT 0 NOT NULL,Kranktage int DEFAULT 0 NOT "
    "NULL,Soll float DEFAULT 0 NOT NULL,IstStd float DEFAULT 0 NOT NULL,SumVormonat float DEFAULT "
    "0 NOT NULL,CONSTRAINT PrimaryKey PRIMARY KEY(Jahr, Monat, MaNr) )",
    "CREATE TABLE Dienstzeiten (DienstNR int IDENTITY(1,1) NOT NULL ,Tag smalldatetime NOT "
    "NULL,Anfang smalldatetime NULL,Ende smalldatetime NULL,Bemerkung varchar (50) NULL,MaNr int "
    "NOT NULL,Normstunden float DEFAULT 0 NOT NULL,Pause float DEFAULT 0 NOT NULL,Kurzinfo varchar "
    "(15) NULL,Normdienst bit DEFAULT no,Farbe int DEFAULT 16777215,S1 float default 0 NOT NULL,S2 "
    "float default 0 NOT NULL,Dienstcode varchar (15),CONSTRAINT PrimaryKey PRIMARY KEY(Tag, MaNr) "
    ")",
    "CREATE TABLE Standarddienste ([id] int  IDENTITY(1,1) NOT NULL,[Taste] char(1) NOT "
    "NULL,[Anfang] smalldatetime NULL,[Ende] smalldatetime NULL,[Bemerkung] varchar (50) "
    "NULL,[Pause] float DEFAULT 0 NOT NULL,[Kurzinfo] varchar (15) NULL,[Pauschalstunden] float "
    "NULL ,[Normdienst] bit DEFAULT no,[Farbe] int DEFAULT 16777215,S1 float default 0 NOT NULL,S2 "
    "float default 0 NOT NULL,Dienstcode varchar (15),CONSTRAINT PrimaryKey PRIMARY KEY(Taste) )",
    "CREATE TABLE Mitarbeiter ([MaNr] int IDENTITY(1,1) NOT NULL,[PlanName] varchar (50) NOT "
    "NULL,[DienstPos] smallint NULL,[StdBestand] float DEFAULT 0,[normstunden] Float DEFAULT 0 NOT "
    "NULL, [Sollstd] Float default 0, [lastChange] smalldatetime NULL,[ersterArbeitstag] "
    "smalldatetime DEFAULT '01/01/02' NOT NULL,[Anrede] varchar (30) NULL, [Vorname] varchar (50) "
    "NULL,[Nachname] varchar (50) NOT NULL, [Adresse] varchar (80) NULL,[PLZ] varchar (10) NULL, "
    "[Ort] varchar (50) NULL,[Geburtstag] smalldatetime NULL, [Anmerkung] varchar (255) "
    "NULL,[Geburtsort] varchar (50) NULL, [Geburtsname] varchar (50) NULL,[Staatsangehoerigkeit] "
    "varchar (50) NULL, [Familienstand] varchar (50) NULL,[Beruf] varchar (50) NULL, [Telefon] "
    "varchar (50) NULL,[Handy] varchar (50) NULL, [TelefonAlternativ] varchar (30) NULL,[EMail] "
    "varchar (50) NULL, [Versicherungsnummer] varchar (50) NULL,[BLZ] varchar (50) NULL, [KontoNr] "
    "varchar (50) NULL,[Bank] varchar (50) NULL, [Krankenkasse] varchar (50) "
    "NULL,[Urlaubsanspruch] float DEFAULT 0, [Lohn] float DEFAULT 0,[Steuerklasse] varchar (50) "
    "NULL, [Kinder] varchar (50) NULL,[Konfession] varchar (50) NULL, [Prozent] float "
    "NULL,[Stundenlohn] float DEFAULT 0, CONSTRAINT PrimaryKey PRIMARY KEY(MaNr) )",
    "CREATE TABLE Gruppen (GruppenNr int IDENTITY(1,1) NOT NULL, Gruppenname varchar (50) NOT "
    "NULL, CONSTRAINT PrimaryKey PRIMARY KEY(GruppenNr) )",
    "CREATE TABLE GpZuordnung (GpZuNr int IDENTITY(1,1) NOT NULL, GruppenNr int NOT NULL, MaNr int "
    "NOT NULL, DienstPos int NOT NULL, CONSTRAINT PrimaryKey PRIMARY KEY(GruppenNr, MaNr) )",
    "CREATE TABLE Feiertage (Tag DATETIME NOT NULL,Name varchar(50) WITH COMPRESSION,Prozent REAL "
    "DEFAULT 1,CONSTRAINT datindex UNIQUE (Tag))",
    "CREATE TABLE Jahreswerte (WerteNr int IDENTITY(1,1) NOT NULL, [Urlaubsanspruch] float DEFAULT "
    "0, [Resturlaub] float DEFAULT 0, [ResturlaubVorjahr] float DEFAULT 0, [Stundenlohn] float "
    "DEFAULT 0, CONSTRAINT PrimaryKey PRIMARY KEY(WerteNr) )",
};

const char* const StundSum = "SELECT SUM(HOUR(Ende - Anfang) + 1 / 60 * (MINUTE(ende - anfang))  - "
                             "pause) AS Summe, SUM(normstunden) as summe2, MaNr FROM Dienstzeiten "
                             "WHERE (Tag >= start) AND (Tag <= stop) GROUP BY MaNr";
const char* const Dienst =
    "SELECT Dienstzeiten.*, GpZuordnung.DienstPos, GpZuordnung.GruppenNr FROM GpZuordnung INNER "
    "JOIN Dienstzeiten ON GpZuordnung.MaNr = Dienstzeiten.MaNr WHERE (((Dienstzeiten.Tag) >= anf "
    "AND (Dienstzeiten.Tag) <= end) AND (GpZuordnung.DienstPos = pos) AND "
    "((GpZuordnung.GruppenNr)=gprNr));";
const char* const MaDienste =
    "SELECT Dienstzeiten.Tag, Dienstzeiten.Anfang, Dienstzeiten.Dienstnr, "
    "Dienstzeiten.normstunden, Dienstzeiten.Ende, Dienstzeiten.Pause, Dienstzeiten.Kurzinfo, "
    "Mitarbeiter.MaNr, Dienstzeiten.Bemerkung, Dienstzeiten.S1, Dienstzeiten.S2 , "
    "Dienstzeiten.farbe\r\nFROM Mitarbeiter INNER JOIN Dienstzeiten ON Mitarbeiter.MaNr = "
    "Dienstzeiten.MaNr \r\nWHERE (((Dienstzeiten.Tag)>=[anf] And (Dienstzeiten.Tag)<=[end]) and "
    "Mitarbeiter.MaNr =[nr]);\r\n";
const char* const MaNachGrp =
    "SELECT Mitarbeiter.PlanName, Mitarbeiter.Stdbestand, Mitarbeiter.sollstd, "
    "Mitarbeiter.Normstunden, Mitarbeiter.Stundenlohn, Mitarbeiter.ersterArbeitstag, "
    "Gruppen.Gruppenname, GpZuordnung.manr, Gruppen.GruppenNr, GpZuordnung.DienstPos FROM (Gruppen "
    "INNER JOIN GpZuordnung ON Gruppen.GruppenNr = GpZuordnung.GruppenNr) INNER JOIN Mitarbeiter "
    "ON GpZuordnung.MaNr = Mitarbeiter.MaNr WHERE (((Gruppen.GruppenNr) = eingabe));";
const char* const StatMa = "SELECT Monat, Soll, IstStd, SumVormonat, Urlaubstage, Kranktage, MaNr "
                           "FROM Statistik WHERE MaNr = MaNummer AND Jahr= SuchJahr;";

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};

double day(int y, int m, int d) {
    return dayNumber(QDate(y, m, d));
}
double hours(int h, int min = 0) {
    return dayNumber(QTime(h, min));
}

} // namespace

class TestSqlDialect : public QObject {
    Q_OBJECT

    std::unique_ptr<sqlite3, Closer> db_;

    // Runs a translated text with the values bound by position; the rows, or the error text.
    QList<QVariantList> run(const QString& text, const QStringList& names = {},
                            const QVariantList& values = {}, QString* error = nullptr) {
        const QByteArray sql = translateSql(text, names).sql.toUtf8();
        sqlite3_stmt* raw = nullptr;
        int rc = sqlite3_prepare_v2(db_.get(), sql.constData(), -1, &raw, nullptr);
        std::unique_ptr<sqlite3_stmt, Closer> stmt(raw);
        for (int i = 0; rc == SQLITE_OK && i < values.size(); ++i) {
            const QVariant& v = values[i];
            rc = v.isNull()                        ? sqlite3_bind_null(raw, i + 1)
                 : v.typeId() == QMetaType::Double ? sqlite3_bind_double(raw, i + 1, v.toDouble())
                 : v.typeId() == QMetaType::QString
                     ? sqlite3_bind_text(raw, i + 1, v.toString().toUtf8().constData(), -1,
                                         SQLITE_TRANSIENT)
                     : sqlite3_bind_int64(raw, i + 1, v.toLongLong());
        }
        QList<QVariantList> rows;
        while (rc == SQLITE_OK || rc == SQLITE_ROW) {
            rc = sqlite3_step(raw);
            if (rc != SQLITE_ROW) break;
            QVariantList row;
            for (int c = 0; c < sqlite3_column_count(raw); ++c) {
                switch (sqlite3_column_type(raw, c)) {
                case SQLITE_NULL:
                    row.append(QVariant());
                    break;
                case SQLITE_INTEGER:
                    row.append(qint64(sqlite3_column_int64(raw, c)));
                    break;
                case SQLITE_FLOAT:
                    row.append(sqlite3_column_double(raw, c));
                    break;
                default:
                    row.append(QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(raw, c))));
                }
            }
            rows.append(row);
        }
        const QString message =
            rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(db_.get()));
        if (error)
            *error = message;
        else if (!message.isEmpty())
            qWarning("%s: %s", sql.constData(), qPrintable(message));
        return rows;
    }
    QVariant value(const QString& text, const QStringList& names = {},
                   const QVariantList& values = {}) {
        const auto rows = run(text, names, values);
        return rows.isEmpty() || rows[0].isEmpty() ? QVariant(QStringLiteral("<no row>"))
                                                   : rows[0][0];
    }
    bool refused(const QString& insert) {
        QString error;
        run(insert, {}, {}, &error);
        return !error.isEmpty();
    }

    void insertDuty(double tag, int maNr, QVariant anfang, QVariant ende, double pause, double norm,
                    const QString& kurz, double s1 = 0) {
        run(QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Anfang, Ende, Pause, Normstunden, "
                           "Kurzinfo, S1) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {}, {tag, maNr, anfang, ende, pause, norm, kurz.isNull() ? QVariant() : kurz, s1});
    }

private slots:
    void init() {
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open(":memory:", &raw), SQLITE_OK);
        db_.reset(raw);
        registerDialectFunctions(raw);
        for (const char* create : CreateTables)
            QCOMPARE(sqlite3_exec(raw, translateCreateTable(QString::fromUtf8(create)).toUtf8(),
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
    }
    void cleanup() { db_.reset(); }

    void tableColumns_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("columns"); // name type notnull default, per PRAGMA table_info
        QTest::newRow("Einstellungen")
            << "Einstellungen"
            << "ID integer 1 -|Firststart smalldatetime 0 -|FormFontName varchar(50) 0 "
               "-|FormFontSize real 0 -|FormFontBold bit 1 0|FormFontItalic bit 1 0|PrintFontName "
               "varchar(50) 0 -|PrintFontSize real 0 -|PrintFontBold bit 1 0|PrintFontItalic bit 1 "
               "0|OrgName varchar(50) 0 -|Printer varchar(50) 0 -|PrinterOrientation int 1 "
               "2|WoEndeColor int 0 13761911|StdGruppe varchar(50) 0 -";
        QTest::newRow("Statistik")
            << "Statistik"
            << "StatNr integer 1 -|Jahr int 1 -|Monat int 1 -|MaNr int 1 -|Urlaubstage int 1 "
               "0|Kranktage int 1 0|Soll float 1 0|IstStd float 1 0|SumVormonat float 1 0";
        QTest::newRow("Dienstzeiten")
            << "Dienstzeiten"
            << "DienstNR integer 1 -|Tag smalldatetime 1 -|Anfang smalldatetime 0 -|Ende "
               "smalldatetime 0 -|Bemerkung varchar(50) 0 -|MaNr int 1 -|Normstunden float 1 "
               "0|Pause float 1 0|Kurzinfo varchar(15) 0 -|Normdienst bit 1 0|Farbe int 0 "
               "16777215|S1 float 1 0|S2 float 1 0|Dienstcode varchar(15) 0 -";
        QTest::newRow("Standarddienste")
            << "Standarddienste"
            << "id integer 1 -|Taste char(1) 1 -|Anfang smalldatetime 0 -|Ende smalldatetime 0 "
               "-|Bemerkung varchar(50) 0 -|Pause float 1 0|Kurzinfo varchar(15) 0 "
               "-|Pauschalstunden float 0 -|Normdienst bit 1 0|Farbe int 0 16777215|S1 float 1 "
               "0|S2 float 1 0|Dienstcode varchar(15) 0 -";
        QTest::newRow("Mitarbeiter")
            << "Mitarbeiter"
            << "MaNr integer 1 -|PlanName varchar(50) 1 -|DienstPos smallint 0 -|StdBestand float "
               "0 0|normstunden float 1 0|Sollstd float 0 0|lastChange smalldatetime 0 "
               "-|ersterArbeitstag smalldatetime 1 37257|Anrede varchar(30) 0 -|Vorname "
               "varchar(50) 0 -|Nachname varchar(50) 1 -|Adresse varchar(80) 0 -|PLZ varchar(10) 0 "
               "-|Ort varchar(50) 0 -|Geburtstag smalldatetime 0 -|Anmerkung varchar(255) 0 "
               "-|Geburtsort varchar(50) 0 -|Geburtsname varchar(50) 0 -|Staatsangehoerigkeit "
               "varchar(50) 0 -|Familienstand varchar(50) 0 -|Beruf varchar(50) 0 -|Telefon "
               "varchar(50) 0 -|Handy varchar(50) 0 -|TelefonAlternativ varchar(30) 0 -|EMail "
               "varchar(50) 0 -|Versicherungsnummer varchar(50) 0 -|BLZ varchar(50) 0 -|KontoNr "
               "varchar(50) 0 -|Bank varchar(50) 0 -|Krankenkasse varchar(50) 0 -|Urlaubsanspruch "
               "float 0 0|Lohn float 0 0|Steuerklasse varchar(50) 0 -|Kinder varchar(50) 0 "
               "-|Konfession varchar(50) 0 -|Prozent float 0 -|Stundenlohn float 0 0";
        QTest::newRow("Gruppen") << "Gruppen"
                                 << "GruppenNr integer 1 -|Gruppenname varchar(50) 1 -";
        QTest::newRow("GpZuordnung")
            << "GpZuordnung"
            << "GpZuNr integer 1 -|GruppenNr int 1 -|MaNr int 1 -|DienstPos int 1 -";
        QTest::newRow("Feiertage") << "Feiertage"
                                   << "Tag datetime 1 -|Name varchar(50) 0 -|Prozent real 0 1";
        QTest::newRow("Jahreswerte")
            << "Jahreswerte"
            << "WerteNr integer 1 -|Urlaubsanspruch float 0 0|Resturlaub float 0 "
               "0|ResturlaubVorjahr float 0 0|Stundenlohn float 0 0";
    }
    void tableColumns() {
        QFETCH(QString, table);
        QFETCH(QString, columns);
        // SQLite reports the standard type names (int, real) in capitals.
        QStringList found;
        for (const QVariantList& c : run(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
            found << QStringLiteral("%1 %2 %3 %4")
                         .arg(c[1].toString(), c[2].toString().toLower(), c[3].toString(),
                              c[4].isNull() ? QStringLiteral("-") : c[4].toString());
        QCOMPARE(found.join(u'|'), columns);
    }

    void tableKeysAndChecks() {
        // The identity column numbers rows from 1.
        run("INSERT INTO Gruppen (GruppenNr, Gruppenname) VALUES (NULL, 'Alle Ma.')");
        run("INSERT INTO Gruppen (Gruppenname) VALUES ('Nacht')");
        QCOMPARE(value("SELECT group_concat(GruppenNr) FROM Gruppen"), QVariant("1,2"));
        QVERIFY(refused("INSERT INTO Gruppen (GruppenNr, Gruppenname) VALUES (2, 'x')"));

        // Defaults: a new employee starts on 1 January 2002, a duty is white and no norm duty.
        run("INSERT INTO Mitarbeiter (PlanName, Nachname) VALUES ('Anna', 'Berg')");
        QCOMPARE(value("SELECT ersterArbeitstag FROM Mitarbeiter"), QVariant(qint64(37257)));
        run("INSERT INTO Dienstzeiten (Tag, MaNr) VALUES (37258, 1)");
        QCOMPARE(run("SELECT Farbe, Normdienst, Pause FROM Dienstzeiten")[0],
                 QVariantList({qint64(16777215), qint64(0), 0.0}));
        run("INSERT INTO Einstellungen (ID) VALUES (NULL)");
        QCOMPARE(run("SELECT PrinterOrientation, WoEndeColor, FormFontBold FROM Einstellungen")[0],
                 QVariantList({qint64(2), qint64(13761911), qint64(0)}));

        // Declared keys: one duty per employee and day, one standard duty per key (without
        // regard to case), one holiday per day, one statistics row per month.
        QVERIFY(refused("INSERT INTO Dienstzeiten (Tag, MaNr) VALUES (37258, 1)"));
        run("INSERT INTO Dienstzeiten (Tag, MaNr) VALUES (37258, 2)");
        run("INSERT INTO Standarddienste (Taste) VALUES ('F')");
        QVERIFY(refused("INSERT INTO Standarddienste (Taste) VALUES ('f')"));
        QVERIFY(refused("INSERT INTO Standarddienste (Taste) VALUES ('FS')"));
        run("INSERT INTO Feiertage (Tag, Name) VALUES (37257, 'Neujahr')");
        QVERIFY(refused("INSERT INTO Feiertage (Tag) VALUES (37257)"));
        QCOMPARE(value("SELECT Prozent FROM Feiertage"), QVariant(1.0));
        run("INSERT INTO Statistik (Jahr, Monat, MaNr) VALUES (2024, 3, 1)");
        QVERIFY(refused("INSERT INTO Statistik (Jahr, Monat, MaNr) VALUES (2024, 3, 1)"));
        QVERIFY(refused("INSERT INTO Dienstzeiten (Tag, MaNr) VALUES (NULL, 3)"));

        // Text widths are checked; a bit column cannot be null.
        run(QStringLiteral("INSERT INTO Mitarbeiter (PlanName, Nachname) VALUES ('%1', 'x')")
                .arg(QString(50, u'ä')));
        QVERIFY(refused(
            QStringLiteral("INSERT INTO Mitarbeiter (PlanName, Nachname) VALUES ('%1', 'x')")
                .arg(QString(51, u'a'))));
        QVERIFY(refused("INSERT INTO Einstellungen (FormFontBold) VALUES (NULL)"));
    }

    void createTableTexts() {
        QCOMPARE(createTableName(CreateTables[0]), QString("Einstellungen"));
        QCOMPARE(createTableName("CREATE TABLE [Meine Tabelle] (a int)"), QString("Meine Tabelle"));
        QCOMPARE(createTableName("SELECT 1"), QString());
        QCOMPARE(createTableName("CREATE TABLE [offen"), QString());
        for (const char* bad :
             {"SELECT 1", "CREATE TABLE T (a int IDENTITY(5,2))", "CREATE TABLE T (a int, a int)",
              "CREATE TABLE T (a)", "CREATE TABLE T (a int) x",
              "CREATE TABLE T (a int, PRIMARY KEY(b))"}) {
            try {
                translateCreateTable(bad);
                QFAIL(bad);
            } catch (const EngineError& e) {
                QCOMPARE(e.number(), err::CommandError);
            }
        }
        // A second CREATE of an existing table is SQLite's error for the connection to map.
        QString error;
        run(translateCreateTable(CreateTables[0]), {}, {}, &error);
        QVERIFY(error.contains("already exists"));
    }

    void dateLiterals_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<double>("expected"); // -1: not a date
        QTest::newRow("two-digit year") << "3/15/24" << day(2024, 3, 15);
        QTest::newRow("four-digit year") << "3/15/2024" << day(2024, 3, 15);
        QTest::newRow("month first") << "04/03/24" << day(2024, 4, 3);
        QTest::newRow("2 January 2002") << "1/2/02" << 37258.0;
        QTest::newRow("29 is 2029") << "1/2/29" << day(2029, 1, 2);
        QTest::newRow("30 is 1930") << "1/2/30" << day(1930, 1, 2);
        QTest::newRow("with time") << "3/15/2024 22:00:00" << day(2024, 3, 15) + hours(22);
        QTest::newRow("time alone") << "22:30" << hours(22, 30);
        QTest::newRow("pm") << "1/2/02 1:30 PM" << 37258 + hours(13, 30);
        QTest::newRow("no such day") << "2/30/24" << -1.0;
        QTest::newRow("no such month") << "13/1/24" << -1.0;
        QTest::newRow("no such hour") << "1/1/24 24:00" << -1.0;
        QTest::newRow("text") << "heute" << -1.0;
        QTest::newRow("empty") << " " << -1.0;
    }
    void dateLiterals() {
        QFETCH(QString, body);
        QFETCH(double, expected);
        double found = -1;
        QCOMPARE(parseDateLiteral(body, &found), expected >= 0);
        if (expected >= 0) {
            QCOMPARE(found, expected);
            QCOMPARE(value(QStringLiteral("SELECT #") + body + QStringLiteral("#+0")).toDouble(),
                     expected);
        }
    }

    void expressions() {
        // Division is floating point, with the precedence of "/".
        QCOMPARE(value("SELECT 1 / 60 * 30"), QVariant(0.5));
        QCOMPARE(run("SELECT 7/2/2, 10 - 6 / 4, 2 * 3 / 4, 1/-4")[0],
                 QVariantList({1.75, 8.5, 1.5, -0.25}));
        // Literals never run into their neighbours, and text stays as written.
        QCOMPARE(value("SELECT 1 WHERE 37258=#1/2/02#and 1"), QVariant(qint64(1)));
        QCOMPARE(value("SELECT 1-#1/1/1800#").toDouble(), 1 - day(1800, 1, 1));
        QCOMPARE(value("SELECT 5--3 WHERE 1 = 0"), QVariant("<no row>"));
        QCOMPARE(value("SELECT 'a/b #1/1/24# [x]' || \"it's \"\"so\"\"\""),
                 QVariant("a/b #1/1/24# [x]it's \"so\""));
        for (const char* bad :
             {"SELECT 'offen", "SELECT #2/30/24#", "SELECT #1/1/24", "SELECT [x"}) {
            try {
                translateSql(bad);
                QFAIL(bad);
            } catch (const EngineError& e) {
                QCOMPARE(e.number(), err::CommandError);
            }
        }
    }

    void hourMinuteLast() {
        // Night duty 22:00 to 06:00 of the next day, day duty 08:00 to 16:30, negative, null.
        QCOMPARE(run("SELECT HOUR((1 + 6/24) - 22/24), MINUTE((1 + 6/24) - 22/24)")[0],
                 QVariantList({qint64(8), qint64(0)}));
        QCOMPARE(run(QStringLiteral(
                         "SELECT hour(%1), minute(%1), hour(-%1), hour(NULL), minute(0.9999999)")
                         .arg(hours(16, 30) - hours(8), 0, 'g', 17))[0],
                 QVariantList({qint64(8), qint64(30), qint64(8), QVariant(), qint64(0)}));
        QString error;
        run("SELECT hour('kein Datum')", {}, {}, &error);
        QVERIFY(!error.isEmpty());

        // LAST in the table's natural order, NULL values included; no rows give NULL.
        run("CREATE TABLE t (g int, v)");
        run("INSERT INTO t VALUES (1, 5), (1, 'x'), (2, 7), (2, NULL), (3, 1.5)");
        QCOMPARE(
            run("SELECT (SELECT last(v) FROM t WHERE g = 1), (SELECT last(v) FROM t WHERE g = 2), "
                "(SELECT last(v) FROM t), (SELECT last(v) FROM t WHERE g = 9)")[0],
            QVariantList({"x", QVariant(), 1.5, QVariant()}));
    }

    void like_data() {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("umlaut any case") << "'Ä' LIKE '%ä%'" << QVariant(1);
        QTest::newRow("upper pattern") << "'Frühdienst' LIKE '%FRÜH%'" << QVariant(1);
        QTest::newRow("substring") << "'Freizeitausgleich' LIKE '%frei%'" << QVariant(1);
        QTest::newRow("no substring") << "'Urlaub' LIKE '%frei%'" << QVariant(0);
        QTest::newRow("whole text") << "'frei' LIKE 'FREI'" << QVariant(1);
        QTest::newRow("one char") << "'abc' LIKE 'A_C'" << QVariant(1);
        QTest::newRow("one char only") << "'abbc' LIKE 'a_c'" << QVariant(0);
        QTest::newRow("one code point") << "'😀' LIKE '_'" << QVariant(1);
        QTest::newRow("backtracking") << "'aXbXbc' LIKE 'a%b%c'" << QVariant(1);
        QTest::newRow("not like") << "'Krank' NOT LIKE '%KRANK%'" << QVariant(0);
        QTest::newRow("escape") << "'10%' LIKE '10!%' ESCAPE '!'" << QVariant(1);
        QTest::newRow("escaped literal") << "'100' LIKE '10!%' ESCAPE '!'" << QVariant(0);
        // ASCII text is folded in place; a pattern character whose folding is ASCII still fits
        QTest::newRow("kelvin sign") << "'krank' LIKE '%\u212Arank%'" << QVariant(1);
        QTest::newRow("long s") << "'STRASSE' LIKE '%\u017F%'" << QVariant(1);
        QTest::newRow("ascii against umlaut") << "'Ubung' LIKE '%\u00FC%'" << QVariant(0);
        QTest::newRow("number as text") << "12 LIKE '1_'" << QVariant(1);
        QTest::newRow("null text") << "NULL LIKE '%'" << QVariant();
        QTest::newRow("null pattern") << "'x' LIKE NULL" << QVariant();
    }
    void like() {
        QFETCH(QString, expression);
        QFETCH(QVariant, expected);
        const QVariant found = value(QStringLiteral("SELECT ") + expression);
        QCOMPARE(found.isNull(), expected.isNull());
        if (!expected.isNull()) QCOMPARE(found.toInt(), expected.toInt());
    }

    void parameters() {
        const TranslatedSql t = translateSql(Dienst, {"anf", "end", "pos", "gprNr"});
        QCOMPARE(t.parameterNames, QStringList({"anf", "end", "pos", "gprNr"}));
        QVERIFY(t.sql.contains("(Dienstzeiten.Tag) <= ?2)"));
        QVERIFY(t.sql.contains("GpZuordnung.DienstPos = ?3"));
        QCOMPARE(
            translateSql("SELECT x AS nr, T.nr, nr.a, nr(1), [NR], `Nr`, 'nr' FROM T", {"nr"}).sql,
            QString("SELECT x AS nr, T.nr, nr.a, nr(1), ?1, ?1, 'nr' FROM T"));
    }

    void namedCommands() {
        run("INSERT INTO Mitarbeiter (PlanName, Nachname, DienstPos) VALUES ('Berg', 'Berg', 2), "
            "('Crämer', 'Crämer', 1)");
        run("INSERT INTO Gruppen (Gruppenname) VALUES ('Alle Ma.'), ('Nacht')");
        run("INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES (1, 1, 1), (1, 2, 2), (2, "
            "2, 1)");
        const double d1 = day(2024, 3, 1), d2 = day(2024, 3, 2), april = day(2024, 4, 1);
        insertDuty(d1, 1, hours(22), 1 + hours(6), 0.5, 0, "NB");
        insertDuty(d2, 1, hours(8), hours(16, 30), 0.5, 0, "Frühdienst");
        insertDuty(d1, 2, QVariant(), QVariant(), 0.5, 7.7, "Urlaub");
        insertDuty(april, 2, hours(6), hours(14), 0, 0, "F");

        QCOMPARE(run(StundSum, {"start", "stop"}, {d1, day(2024, 3, 31)}),
                 QList<QVariantList>({{15.5, 0.0, qint64(1)}, {QVariant(), 7.7, qint64(2)}}));

        const auto dienst = run(Dienst, {"anf", "end", "pos", "gprNr"}, {d1, april, 1, 2});
        QCOMPARE(dienst.size(), 2);
        QCOMPARE(dienst[0].size(), 16);
        QCOMPARE(dienst[1].mid(14), QVariantList({qint64(1), qint64(2)}));

        const auto maDienste = run(MaDienste, {"anf", "end", "nr"}, {d1, d2, 1});
        QCOMPARE(maDienste.size(), 2);
        QCOMPARE(maDienste[0].size(), 12);
        QStringList kurzinfo{maDienste[0][6].toString(), maDienste[1][6].toString()};
        kurzinfo.sort();
        QCOMPARE(kurzinfo, QStringList({"Frühdienst", "NB"}));

        QCOMPARE(value("SELECT MaNr, PlanName, DienstPos FROM Mitarbeiter ORDER BY DienstPos"),
                 QVariant(qint64(2)));
        auto members = run(MaNachGrp, {"eingabe"}, {1});
        QCOMPARE(members.size(), 2);
        std::sort(members.begin(), members.end(), [](const QVariantList& a, const QVariantList& b) {
            return a[7].toInt() < b[7].toInt();
        });
        QCOMPARE(members[1].mid(6), QVariantList({"Alle Ma.", qint64(2), qint64(1), qint64(2)}));

        run("INSERT INTO Statistik (Jahr, Monat, MaNr, Soll, IstStd) VALUES (2024, 1, 1, 160, "
            "150), "
            "(2024, 2, 1, 150, 155), (2023, 12, 1, 1, 1), (2024, 1, 2, 1, 1)");
        QCOMPARE(run(StatMa, {"MaNummer", "SuchJahr"}, {1, 2024}).size(), 2);
    }

    void finders() {
        run("INSERT INTO Mitarbeiter (PlanName, Nachname) VALUES ('A', 'A'), ('B', 'B')");
        run("INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES (1, 1, 3), (1, 2, 5), (2, "
            "2, 1)");
        insertDuty(day(2024, 4, 3), 2, hours(22), 1 + hours(6), 0.5, 0, "Nachtdienst", 1.5);
        insertDuty(day(2024, 4, 4), 2, QVariant(), QVariant(), 0, 7.7, "Urlaub", 2);
        insertDuty(day(2024, 4, 5), 2, QVariant(), QVariant(), 0, 0, "frei");
        insertDuty(day(2024, 4, 6), 2, QVariant(), QVariant(), 0, 0, "Freizeitausgl.");
        insertDuty(day(2024, 4, 7), 2, QVariant(), QVariant(), 0, 0, "KRANK");
        insertDuty(day(2024, 3, 4), 2, hours(6), hours(14), 0, 0, "F");
        run("INSERT INTO Statistik (Jahr, Monat, MaNr, Soll, IstStd, SumVormonat) VALUES "
            "(2024, 1, 2, 160, 150, 4), (2024, 2, 2, 150, 155, -6), (2023, 12, 2, 1, 1, 1)");
        const QString DL = "#04/03/24#", F = "04/01/24", T = "04/30/24";

        QCOMPARE(value("SELECT  Dienstzeiten.dienstNr FROM (Dienstzeiten INNER JOIN Mitarbeiter ON "
                       "Dienstzeiten.MaNr = Mitarbeiter.MaNr) Where ((Dienstzeiten.Tag = " +
                       DL + ") And ( Dienstzeiten.MaNr = 2))"),
                 QVariant(qint64(1)));
        QCOMPARE(value("SELECT dienstNr FROM Dienstzeiten WHERE ((Dienstzeiten.Tag = #4/4/2024#) "
                       "And (MaNr = 2))"),
                 QVariant(qint64(2)));
        QCOMPARE(value("SELECT dienstNr FROM Dienstzeiten WHERE ((Dienstzeiten.Tag = #03/04/24#) "
                       "And (MaNr = 2))"),
                 QVariant(qint64(6)));
        QCOMPARE(value("SELECT  Dienstzeiten.dienstNr FROM (Dienstzeiten INNER JOIN GpZuordnung ON "
                       "Dienstzeiten.MaNr = GpZuordnung.MaNr) Where ((Dienstzeiten.Tag = " +
                       DL + ") And ( GpZuordnung.dienstpos = 5)and (GpZuordnung.gruppennr = 1))"),
                 QVariant(qint64(1)));
        QCOMPARE(value("SELECT statnr FROM statistik Where (statistik.MaNr = 2) And "
                       "(statistik.jahr = 2024) And (statistik.monat = 2)"),
                 QVariant(qint64(2)));
        QCOMPARE(value("SELECT GpZuNr FROM GpZuordnung Where (GpZuordnung.MaNr = 2) And "
                       "(GpZuordnung.GruppenNr = 2) "),
                 QVariant(qint64(3)));
        QCOMPARE(value("SELECT GpZuNr FROM GpZuordnung Where (GpZuordnung.Dienstpos = 5) And "
                       "(GpZuordnung.GruppenNr = 1) "),
                 QVariant(qint64(2)));
        QCOMPARE(value("SELECT MaNr FROM GpZuordnung Where (GpZuordnung.Dienstpos = 3) And "
                       "(GpZuordnung.GruppenNr = 1) "),
                 QVariant(qint64(1)));

        QCOMPARE(value("SELECT last(SumVormonat - soll + iststd) as letzter FROM statistik Where "
                       "(statistik.MaNr = 2) And (statistik.jahr = 2024) "),
                 QVariant(-1.0));
        QCOMPARE(
            value(
                "SELECT Max(GpZuordnung.DienstPos) AS [MaxDienstPos], GpZuordnung.GruppenNr from "
                "GpZuordnung GROUP BY GpZuordnung.GruppenNr HAVING ((GpZuordnung.GruppenNr)= 1);"),
            QVariant(qint64(5)));
        QCOMPARE(
            run("SELECT Max(GpZuordnung.DienstPos) AS [MaxDienstPos], GpZuordnung.GruppenNr from "
                "GpZuordnung GROUP BY GpZuordnung.GruppenNr HAVING ((GpZuordnung.GruppenNr)= 7);")
                .size(),
            0);
        QCOMPARE(value("SELECT max(Dienstzeiten.Tag)as Maxtag FROM Dienstzeiten WHERE "
                       "(Dienstzeiten.MaNr = 2);"),
                 QVariant(qint64(day(2024, 4, 7))));
        QCOMPARE(
            run("SELECT MaNr, SUM(HOUR(Ende - Anfang) + 1 / 60 * (MINUTE(ende - anfang))  - pause) "
                "AS Summe, Sum(Normstunden) as summe2 FROM Dienstzeiten WHERE ((Tag >= #" +
                F + "# ) AND (Tag <= #" + T + "# ) AND (MaNr = 2 ))GROUP BY MaNr")[0],
            QVariantList({qint64(2), 7.5, 7.7}));
        const QString like = "SELECT count(MaNr) as Anzahl FROM Dienstzeiten WHERE ((Tag >= #" + F +
                             "# ) AND (Tag <= #" + T +
                             "# ) AND (MaNr = 2 )and(Kurzinfo Like '%%1%'));";
        QCOMPARE(value(like.arg("Frei")), QVariant(qint64(2)));
        QCOMPARE(value(like.arg("urlaub")), QVariant(qint64(1)));
        QCOMPARE(value(like.arg("Krank")), QVariant(qint64(1)));
        QCOMPARE(value("SELECT count(MaNr) as Anzahl FROM Dienstzeiten WHERE ((Tag >= #" + F +
                       "# ) AND (Tag <= #" + T + "# ) AND (MaNr = 2 ));"),
                 QVariant(qint64(5)));
        QCOMPARE(run("SELECT MaNr, SUM(S1) as Summe1, SUM(S2) as Summe2 FROM Dienstzeiten WHERE "
                     "((Tag >= #" +
                     F + "# ) AND (Tag <= #" + T + "# ) AND (MaNr = 2 ))GROUP BY MaNr;")[0],
                 QVariantList({qint64(2), 3.5, 0.0}));
    }

    void updateAndDelete() {
        run("INSERT INTO Statistik (Jahr, Monat, MaNr, IstStd, SumVormonat, Urlaubstage, "
            "Kranktage, Soll) VALUES "
            "(2024, 1, 5, 150, 4, 2, 1, 160), (2024, 1, 6, 140, 3, 1, 1, 160)");
        run("UPDATE Statistik SET Statistik.IstStd = 0, Statistik.SumVormonat = 0, "
            "Statistik.Urlaubstage = 0, Statistik.Kranktage = 0 WHERE (Statistik.MaNr= 5);");
        QCOMPARE(run("SELECT MaNr, IstStd, SumVormonat, Urlaubstage, Kranktage, Soll FROM "
                     "Statistik ORDER BY MaNr"),
                 QList<QVariantList>({{qint64(5), 0.0, 0.0, qint64(0), qint64(0), 160.0},
                                      {qint64(6), 140.0, 3.0, qint64(1), qint64(1), 160.0}}));

        run("INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES (1, 5, 1), (1, 6, 2), (2, "
            "5, 1)");
        run("INSERT INTO Dienstzeiten (Tag, MaNr) VALUES (37258, 5), (37259, 5), (37258, 6)");
        run("DELETE GpZuordnung.MaNr from GpZuordnung WHERE ((GpZuordnung.MaNr)=5);");
        run("DELETE Dienstzeiten.MaNr from Dienstzeiten WHERE ((Dienstzeiten.MaNr)=5);");
        run("DELETE Statistik.MaNr from Statistik WHERE ((Statistik.MaNr)=5);");
        QCOMPARE(
            run("SELECT (SELECT group_concat(MaNr) FROM GpZuordnung), (SELECT group_concat(MaNr) "
                "FROM Dienstzeiten), (SELECT group_concat(MaNr) FROM Statistik)")[0],
            QVariantList({"6", "6", "6"}));
        run("DELETE GpZuordnung.Gruppennr from GpZuordnung WHERE ((GpZuordnung.Gruppennr)=1);");
        QCOMPARE(value("SELECT count(*) FROM GpZuordnung"), QVariant(qint64(0)));
        run("DELETE Statistik.* FROM Statistik");
        run("DELETE * FROM Dienstzeiten");
        QCOMPARE(
            value("SELECT (SELECT count(*) FROM Statistik) + (SELECT count(*) FROM Dienstzeiten)"),
            QVariant(qint64(0)));
    }
};

QTEST_GUILESS_MAIN(TestSqlDialect)
#include "test_sqldialect.moc"
