#pragma once
// Staffing requirements and qualifications: the list of qualifications the planner keeps, which
// employee carries which, and per group the requirements of each shift. Three tables of their
// own beside the nine of the design, created at start-up on every path (new, opened, rebuilt),
// restored from their backup files on a rebuild like the others.
//
// Column counts: Qualifikationen 6, MaQualifikation 7, Besetzung 11, Besetzungsoptionen 1. No
// other table of the file has as many columns, so a salvage that reads rows without the file's
// schema places each row in its own table.

#include "data/Schema.h"
#include "engine/Connection.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QTime>

#include <optional>

namespace data {

struct Session;

namespace schema {
extern const QString Qualifikationen;
extern const QString MaQualifikation;
extern const QString Besetzung;
extern const QString Besetzungsoptionen;
} // namespace schema

// The four tables with their backup file suffixes (".Qualifikationen.xml", ...).
const QList<TableDef>& staffingTables();

struct Qualification {
    int qualNr = 0; // 0 for one not yet stored
    QString name;   // "Pflegefachkraft"
    QString shortName;
    bool skilled = false; // counts as a Fachkraft
    QString remark;
    bool operator==(const Qualification&) const = default;
};

// The kinds of day a requirement holds on, as bits.
enum DayKindBit {
    WeekdayBit = 1,
    SaturdayBit = 2,
    SundayBit = 4,
    HolidayBit = 8,
    AllDaysBits = 15
};

// The qualification a requirement asks for: none, any skilled one, or one of the list.
inline constexpr int NoQualification = -1;
inline constexpr int AnySkilled = 0;
inline constexpr int newQualificationRef(int index) {
    return -1000 - index;
}

struct StaffingRequirement {
    QString shift;  // "Spätdienst"
    QString key;    // a standard duty's key, or empty for a time window
    QTime from, to; // the time window when there is no key (to before from: past midnight)
    int days = AllDaysBits;
    int minimum = 0;
    std::optional<int> maximum;
    int qualNr = NoQualification;
    int qualMinimum = 0;             // at least this many with the qualification
    std::optional<double> qualShare; // at least this share in percent of those on the shift
    bool operator==(const StaffingRequirement&) const = default;
};

// Creates the missing tables; a newly created Qualifikationen gets the preset list
// ("Pflegefachkraft", "Pflegehilfskraft", "Auszubildende", "Praxisanleitung").
void ensureStaffingTables(engine::Connection& connection);
// The same at start-up: a failure is logged, the program goes on without requirements.
void ensureStaffingTablesQuietly(engine::Connection& connection);
// On a rebuild: each table whose backup file lies beside the database (or in the root of its
// file system) is restored from it; then the missing ones are created.
void restoreStaffingTables(Session& session, bool askFlag);

// The list in its order; empty when the table is missing.
QList<Qualification> loadQualifications(engine::Connection& connection);
// The qualification numbers of every employee that carries one.
QHash<int, QSet<int>> loadEmployeeQualifications(engine::Connection& connection);
// The requirements of a group in their order.
QList<StaffingRequirement> loadRequirements(engine::Connection& connection, int groupNr);

// Stores what the window "Besetzung" holds, all in one transaction: the list of qualifications
// (new ones get numbers, removed ones go with their assignments and requirements), the
// qualifications of the employees given (others keep theirs) and the requirements of the group.
// A qualification not yet stored (qualNr 0) at index i of the list is referred to as
// newQualificationRef(i) in the employees' sets and the requirements. Throws EngineError.
void saveStaffing(engine::Connection& connection, const QList<Qualification>& qualifications,
                  const QHash<int, QSet<int>>& employeeQualifications, int groupNr,
                  const QList<StaffingRequirement>& requirements);

// Whether the printed roster and its HTML page carry a line per shift with the day's counts (a
// row "Druckzeilen" in Besetzungsoptionen; off without it).
bool staffingLinesShown(engine::Connection& connection);
// Switches it; creates the tables when missing. Throws EngineError.
void showStaffingLines(engine::Connection& connection, bool on);

// "Pflegefachkraft"; an empty text for a missing one; AnySkilled is "Fachkraft".
QString qualificationName(const QList<Qualification>& list, int qualNr);

} // namespace data
