#pragma once
// The lookups of the roster: finders that move one of the shared recordsets of the data
// environment onto the row they find, so that the caller reads or changes it there, and small
// aggregates over duties, statistics rows and group positions. Every value is bound; dates are
// compared as day numbers, so no year is ever read in a two-digit century window.

#include "data/DataUmgebung.h"
#include "data/Session.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace roster {

// The text of the duty-hours rule inside the database: timed hours minus the break; null when a
// time is missing, so that the term drops out of a sum.
extern const QString TimedHoursSql;

// The short texts of duties that are no work: a duty whose Kurzinfo contains one of them
// anywhere, in any case, counts as a day off ("Frei", "Urlaub", "krank").
extern const QStringList AbsenceLabels;
bool isAbsence(const QString& kurzinfo);

// Finders: true when the row exists. The recordset named is then moved to its first row and
// searched forward for the row's key, so it stands on the row (unless a filter hides it). When
// nothing is found the recordset stays where it was.

// The duty of an employee on a day (joined with the employee, who must exist); rsDienstzeiten.
bool findDuty(data::DataUmgebung& env, const QDate& day, int maNr);
// The duty of an employee on a day; rsDienstzeiten.
bool findDutyOfEmployee(data::DataUmgebung& env, const QDate& day, int maNr);
// The duty of the member at a position of a group on a day; rsDienstzeiten.
bool findDutyAtPosition(data::DataUmgebung& env, const QDate& day, int position, int group);
// The statistics row of an employee's month; rsStatistik.
bool findStatRow(data::DataUmgebung& env, int maNr, int month, int year);
// The membership of an employee in a group; rsGpZuordnung.
bool findAssignment(data::DataUmgebung& env, int maNr, int group);
// The membership at a position of a group; rsGpZuordnung.
bool findAssignmentAtPosition(data::DataUmgebung& env, int position, int group);
// The employee at a position of a group, 0 when none; rsMitarbeiter is moved onto him.
int employeeAtPosition(data::DataUmgebung& env, int position, int group);

// Aggregates.

// SumVormonat - Soll + IstStd of the year's last statistics row; 0 when there is none.
double lastBalance(data::DataUmgebung& env, int maNr, int year);
// The highest position in a group; 0 for a group without members.
qint16 maxPosition(data::DataUmgebung& env, int group);
// The day of the employee's last duty; today when he has none.
QDate lastDutyDay(data::Session& session, int maNr);
// Timed hours plus flat hours of the employee's duties from first to last.
double sumHours(data::DataUmgebung& env, int maNr, const QDate& first, const QDate& last);
// The duties from first to last whose short text contains text, without regard to case.
qint32 countDutiesLike(data::DataUmgebung& env, int maNr, const QDate& first, const QDate& last,
                       const QString& text);
// All duties from first to last less those labelled "Frei", "Urlaub" or "krank".
qint32 countWorkingDuties(data::DataUmgebung& env, int maNr, const QDate& first, const QDate& last);
// The sums of the two extra counters S1 and S2 (null when all are null); both stay untouched
// when the employee has no duty in the range.
void sumExtraCounters(data::DataUmgebung& env, int maNr, const QDate& first, const QDate& last,
                      QVariant& summe1, QVariant& summe2);

} // namespace roster
