#pragma once
// The nine tables of the database: their CREATE TABLE statements in the dialect they were
// written in (translated by the engine when executed), the suffixes of their XML files, and the
// format marker of the settings row.

#include <QDate>
#include <QList>
#include <QString>

namespace data {

struct TableDef {
    QString name;            // Mitarbeiter
    QString suffix;          // ".Mitarbeiter.xml"
    QString createStatement; // CREATE TABLE Mitarbeiter (...)
};

namespace schema {
extern const QString Einstellungen;
extern const QString Statistik;
extern const QString Dienstzeiten;
extern const QString Standarddienste;
extern const QString Mitarbeiter;
extern const QString Gruppen;
extern const QString GpZuordnung;
extern const QString Feiertage;
extern const QString Jahreswerte;
// The settings of the working-time check: a table of its own beside the nine of the design.
extern const QString Arbeitszeitregeln;
// which standard duties are days off, by their short text; a table of the working-time check
extern const QString Dienstarten;
// Indexes beyond the declared keys, for the searches the program makes most.
extern const QStringList ExtraIndexes;
// Names of indexes of earlier versions that are dropped when their table is opened.
extern const QStringList RetiredIndexes;
} // namespace schema

// All nine tables: Einstellungen, Statistik, Dienstzeiten,
// Standarddienste, Mitarbeiter, Gruppen, GpZuordnung, Feiertage, Jahreswerte.
const QList<TableDef>& tables();
const TableDef& table(const QString& name); // without regard to case; throws for an unknown name

// Every settings row this program creates carries this day in Firststart; an earlier day marks
// a database of an old format.
QDate formatMarker(); // 29 September 2002

} // namespace data
