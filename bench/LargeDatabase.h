#pragma once
// The large database of the benchmarks: 200 employees, ten years of duties (about 700,000
// rows), standard duties, holidays, and two groups: all employees, and one of 60 members.

#include <QDate>
#include <QString>

namespace bench {

constexpr int Employees = 200;
constexpr int GroupMembers = 60;
constexpr int BigGroup = 2; // GruppenNr of the 60-member group

// The first and the last day that carry duties.
QDate firstDutyDay();
QDate lastDutyDay();

// Creates the database at path unless it exists already (it is kept between runs).
void ensureLargeDatabase(const QString& path);

} // namespace bench
