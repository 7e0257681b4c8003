#pragma once
// The contents of the standard table files shipped beside the program: the settings row, the
// group of all employees, common standard duties of German care practice, the nationwide German
// public holidays, and a few sample employees in that group.

#include <QDate>
#include <QString>

namespace stdgen {

constexpr int FirstHolidayYear = 2020;
constexpr int LastHolidayYear = 2045;

// Easter Sunday of a year of the Gregorian calendar.
QDate easterSunday(int year);

// Writes std.Einstellungen.xml, std.Gruppen.xml, std.StdDienste.xml, std.Feiertage.xml,
// std.Mitarbeiter.xml and std.GpZuordnung.xml into the folder. Throws engine::EngineError.
void writeStandardFiles(const QString& folder);

// The names of the files writeStandardFiles writes.
QStringList standardFileNames();

} // namespace stdgen
