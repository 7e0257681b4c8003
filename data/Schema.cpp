#include "data/Schema.h"

#include <stdexcept>

namespace data {

namespace schema {

// The statements are kept exactly as the old engine was given them.
const QString Einstellungen = QStringLiteral(
    "CREATE TABLE Einstellungen ([ID] int IDENTITY(1,1) NOT NULL,[Firststart] smalldatetime NULL,[FormFontName] varchar (50) NULL,[FormFontSize] real NULL,[FormFontBold] bit NOT NULL,[FormFontItalic] bit NOT NULL,[PrintFontName] varchar (50) NULL,[PrintFontSize] real NULL,[PrintFontBold] bit NOT NULL,[PrintFontItalic] bit NOT NULL,[OrgName] varchar (50) NULL,[Printer] varchar (50) NULL,[PrinterOrientation] int DEFAULT 2 NOT NULL,[WoEndeColor] int DEFAULT 13761911 ,[StdGruppe] varchar (50) NULL ,CONSTRAINT PrimaryKey PRIMARY KEY(ID) )");

const QString Statistik = QStringLiteral(
    "CREATE TABLE Statistik (StatNr int IDENTITY(1,1) NOT NULL,Jahr int NOT NULL,Monat int NOT NULL,MaNr int NOT NULL,Urlaubstage int DEFAULT 0 NOT NULL,Kranktage int DEFAULT 0 NOT NULL,Soll float DEFAULT 0 NOT NULL,IstStd float DEFAULT 0 NOT NULL,SumVormonat float DEFAULT 0 NOT NULL,CONSTRAINT PrimaryKey PRIMARY KEY(Jahr, Monat, MaNr) )");

const QString Dienstzeiten = QStringLiteral(
    "CREATE TABLE Dienstzeiten (DienstNR int IDENTITY(1,1) NOT NULL ,Tag smalldatetime NOT NULL,Anfang smalldatetime NULL,Ende smalldatetime NULL,Bemerkung varchar (50) NULL,MaNr int NOT NULL,Normstunden float DEFAULT 0 NOT NULL,Pause float DEFAULT 0 NOT NULL,Kurzinfo varchar (15) NULL,Normdienst bit DEFAULT no,Farbe int DEFAULT 16777215,S1 float default 0 NOT NULL,S2 float default 0 NOT NULL,Dienstcode varchar (15),CONSTRAINT PrimaryKey PRIMARY KEY(Tag, MaNr) )");

const QString Standarddienste = QStringLiteral(
    "CREATE TABLE Standarddienste ([id] int  IDENTITY(1,1) NOT NULL,[Taste] char(1) NOT NULL,[Anfang] smalldatetime NULL,[Ende] smalldatetime NULL,[Bemerkung] varchar (50) NULL,[Pause] float DEFAULT 0 NOT NULL,[Kurzinfo] varchar (15) NULL,[Pauschalstunden] float NULL ,[Normdienst] bit DEFAULT no,[Farbe] int DEFAULT 16777215,S1 float default 0 NOT NULL,S2 float default 0 NOT NULL,Dienstcode varchar (15),CONSTRAINT PrimaryKey PRIMARY KEY(Taste) )");

const QString Mitarbeiter = QStringLiteral(
    "CREATE TABLE Mitarbeiter ([MaNr] int IDENTITY(1,1) NOT NULL,[PlanName] varchar (50) NOT NULL,[DienstPos] smallint NULL,[StdBestand] float DEFAULT 0,[normstunden] Float DEFAULT 0 NOT NULL, [Sollstd] Float default 0, [lastChange] smalldatetime NULL,[ersterArbeitstag] smalldatetime DEFAULT '01/01/02' NOT NULL,[Anrede] varchar (30) NULL, [Vorname] varchar (50) NULL,[Nachname] varchar (50) NOT NULL, [Adresse] varchar (80) NULL,[PLZ] varchar (10) NULL, [Ort] varchar (50) NULL,[Geburtstag] smalldatetime NULL, [Anmerkung] varchar (255) NULL,[Geburtsort] varchar (50) NULL, [Geburtsname] varchar (50) NULL,[Staatsangehoerigkeit] varchar (50) NULL, [Familienstand] varchar (50) NULL,[Beruf] varchar (50) NULL, [Telefon] varchar (50) NULL,[Handy] varchar (50) NULL, [TelefonAlternativ] varchar (30) NULL,[EMail] varchar (50) NULL, [Versicherungsnummer] varchar (50) NULL,[BLZ] varchar (50) NULL, [KontoNr] varchar (50) NULL,[Bank] varchar (50) NULL, [Krankenkasse] varchar (50) NULL,[Urlaubsanspruch] float DEFAULT 0, [Lohn] float DEFAULT 0,[Steuerklasse] varchar (50) NULL, [Kinder] varchar (50) NULL,[Konfession] varchar (50) NULL, [Prozent] float NULL,[Stundenlohn] float DEFAULT 0, CONSTRAINT PrimaryKey PRIMARY KEY(MaNr) )");

const QString Gruppen = QStringLiteral(
    "CREATE TABLE Gruppen (GruppenNr int IDENTITY(1,1) NOT NULL, Gruppenname varchar (50) NOT NULL, CONSTRAINT PrimaryKey PRIMARY KEY(GruppenNr) )");

const QString GpZuordnung = QStringLiteral(
    "CREATE TABLE GpZuordnung (GpZuNr int IDENTITY(1,1) NOT NULL, GruppenNr int NOT NULL, MaNr int NOT NULL, DienstPos int NOT NULL, CONSTRAINT PrimaryKey PRIMARY KEY(GruppenNr, MaNr) )");

const QString Feiertage = QStringLiteral(
    "CREATE TABLE Feiertage (Tag DATETIME NOT NULL,Name varchar(50) WITH COMPRESSION,Prozent REAL DEFAULT 1,CONSTRAINT datindex UNIQUE (Tag))");

const QString Jahreswerte = QStringLiteral(
    "CREATE TABLE Jahreswerte (WerteNr int IDENTITY(1,1) NOT NULL, [Urlaubsanspruch] float DEFAULT 0, [Resturlaub] float DEFAULT 0, [ResturlaubVorjahr] float DEFAULT 0, [Stundenlohn] float DEFAULT 0, CONSTRAINT PrimaryKey PRIMARY KEY(WerteNr) )");

const QString Arbeitszeitregeln = QStringLiteral(
    "CREATE TABLE Arbeitszeitregeln ([ID] int IDENTITY(1,1) NOT NULL,[RuhezeitPruefen] bit DEFAULT yes,[Ruhezeit] float DEFAULT 11 NOT NULL,[HoechstarbeitszeitPruefen] bit DEFAULT yes,[PausenPruefen] bit DEFAULT yes,[SonntagePruefen] bit DEFAULT yes,[ArbeitstagePruefen] bit DEFAULT yes,[Arbeitstage] int DEFAULT 6 NOT NULL,[AusgleichPruefen] bit DEFAULT yes,[Durchschnitt] int DEFAULT 1 NOT NULL,[ErsatzruhetagPruefen] bit DEFAULT yes,[SonntagsruhePruefen] bit DEFAULT yes,CONSTRAINT PrimaryKey PRIMARY KEY(ID) )");

const QString Dienstarten = QStringLiteral(
    "CREATE TABLE Dienstarten ([Kurzinfo] varchar (15) NOT NULL,[Art] int DEFAULT 0 NOT NULL,CONSTRAINT PrimaryKey PRIMARY KEY(Kurzinfo) )");

const QStringList ExtraIndexes = {
    // duties are read per employee and month far more often than per day alone
    QStringLiteral("CREATE INDEX IF NOT EXISTS idx_Dienstzeiten_MaNr_Tag ON Dienstzeiten (MaNr, Tag)"),
    // the duty recordset is kept sorted by day; with this index its order needs no sorting
    QStringLiteral("CREATE INDEX IF NOT EXISTS idx_Dienstzeiten_Tag ON Dienstzeiten (Tag)"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS idx_GpZuordnung_MaNr ON GpZuordnung (MaNr)"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS idx_Statistik_MaNr ON Statistik (MaNr, Jahr, Monat)"),
    // one standard duty per key, ASCII letters compared without regard to case by SQLite's own
    // NOCASE, so the file needs nothing of the program's; the program checks every other letter
    // (DataUmgebung's write check on the standard duties)
    QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS idx_Standarddienste_Taste_nocase ON Standarddienste (Taste COLLATE NOCASE)"),
};

// Indexes of earlier versions that needed a collation of the program's: dropped at start-up, so
// stock SQLite tools can check, compact and change the file.
const QStringList RetiredIndexes = {QStringLiteral("idx_Standarddienste_Taste")};

} // namespace schema

const QList<TableDef>& tables() {
    static const QList<TableDef> all = {
        {QStringLiteral("Einstellungen"), QStringLiteral(".Einstellungen.xml"), schema::Einstellungen},
        {QStringLiteral("Statistik"), QStringLiteral(".Statistik.xml"), schema::Statistik},
        {QStringLiteral("Dienstzeiten"), QStringLiteral(".Dienste.xml"), schema::Dienstzeiten},
        {QStringLiteral("Standarddienste"), QStringLiteral(".StdDienste.xml"), schema::Standarddienste},
        {QStringLiteral("Mitarbeiter"), QStringLiteral(".Mitarbeiter.xml"), schema::Mitarbeiter},
        {QStringLiteral("Gruppen"), QStringLiteral(".Gruppen.xml"), schema::Gruppen},
        {QStringLiteral("GpZuordnung"), QStringLiteral(".GpZuordnung.xml"), schema::GpZuordnung},
        {QStringLiteral("Feiertage"), QStringLiteral(".Feiertage.xml"), schema::Feiertage},
        {QStringLiteral("Jahreswerte"), QStringLiteral(".Jahreswerte.xml"), schema::Jahreswerte},
    };
    return all;
}

const TableDef& table(const QString& name) {
    for (const TableDef& t : tables()) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    }
    throw std::invalid_argument("unknown table " + name.toStdString());
}

QDate formatMarker() { return QDate(2002, 9, 29); }

} // namespace data
