#pragma once
// Is every shift covered, and with enough skilled staff? The staffing check holds the duties of
// a group's members, day by day, against the group's requirements (data/Staffing). It changes
// nothing.
//
// A duty counts for the day it is stored on (a night duty for the day it starts), and only when
// its kind is work (data/DutyKinds). It belongs to a shift given by a standard duty's key when
// its short text is that standard duty's (without one: when its times are the standard duty's);
// to a shift given by a time window when it covers at least half of the window. A requirement
// holds on the kinds of day it names: Monday to Friday, Saturday, Sunday, or a holiday of the
// holiday table (whatever weekday it falls on).

#include "data/DataUmgebung.h"
#include "data/DutyKinds.h"
#include "data/Staffing.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>
#include <vector>

namespace roster {

// One duty as the check reads it.
struct StaffedDuty {
    QDate day;
    int maNr = 0;
    QString kurzinfo;
    std::optional<double> anfang; // day numbers as stored; only the time of day is used
    std::optional<double> ende;
    data::DutyKind kind = data::DutyKind::Work;
};

// A standard duty as a shift given by its key.
struct ShiftDefinition {
    QString kurzinfo;
    std::optional<double> anfang;
    std::optional<double> ende;
};

// What the check needs besides the duties.
struct StaffingRules {
    QList<data::StaffingRequirement> requirements;
    QHash<QString, ShiftDefinition> standardDuties; // by key, upper case
    QHash<int, QSet<int>> qualifications;           // MaNr -> QualNr
    QList<data::Qualification> qualificationList;
    QSet<QDate> holidays;
};

// Bits of what is wrong with a shift on a day.
enum StaffingGapBit { UnderStaffed = 1, OverStaffed = 2, QualificationMissing = 4 };

struct ShiftCount {
    QString shift;
    int count = 0;
};

struct StaffingGap {
    QDate day;
    QString shift;
    int kinds = 0;
    QString text; // "Spätdienst: 2 von 3, keine Pflegefachkraft"
};

struct StaffingMonth {
    QDate first;
    QDate last;
    QStringList shifts;                  // the names of the requirements' shifts, in order
    std::vector<QList<ShiftCount>> days; // per day of the month: the count of each shift
    QList<StaffingGap> gaps;             // by day, then in the order of the shifts
    // the gaps of one day joined: the kinds and one line per shift
    int kindsOn(const QDate& day) const;
    QString tipOn(const QDate& day) const;
};

// The kind of day a requirement is asked for: a holiday first, then the weekday.
int dayKindBit(const QDate& day, const QSet<QDate>& holidays);

// Plain code on plain rows: the month's counts and gaps.
StaffingMonth checkStaffing(const QDate& first, const QDate& last,
                            const std::vector<StaffedDuty>& duties, const StaffingRules& rules);

// Reads what a group's month needs (the members' duties in one query) and checks it.
StaffingMonth checkGroupStaffing(data::DataUmgebung& env, int groupNr, const QDate& first,
                                 const QDate& last);

// One line per shift for the printed roster and its HTML page: the shift, then the count of each
// day of the month, a day with a gap of the shift marked "!" ("Spätdienst: 3 2! 3 ..."); and a
// last line that explains the mark. None without requirements.
QStringList staffingLines(const StaffingMonth& month);

class GridSurface;

// The gaps of a month as marks on the day labels of a roster grid (row: day of the month + 1).
void markStaffing(GridSurface& grid, const StaffingMonth& month);

// The result of the last check of a group's month, kept until the connection changes data: a
// repaint that changed nothing asks the database nothing.
class StaffingCache {
public:
    const StaffingMonth& month(data::DataUmgebung& env, int groupNr, const QDate& first,
                               const QDate& last);
    void clear() { valid_ = false; }

private:
    bool valid_ = false;
    int groupNr_ = 0;
    QDate first_;
    quint64 stamp_ = 0;
    const void* connection_ = nullptr;
    StaffingMonth month_;
};

} // namespace roster
