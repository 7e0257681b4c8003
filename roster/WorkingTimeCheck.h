#pragma once
// The working-time check of a month: the duties as stored, held against the German working-time
// law (Arbeitszeitgesetz) and the run of working days the house agreed on. It changes nothing;
// it finds the duties that break a rule and says why, with the figures.
//
// What counts as work: a duty whose kind (data/DutyKinds: by its short text) is work. With
// start and end it is timed work; its hours are the duty hours without flat hours, its end lies
// as far after its start as the duty hours say (a night duty ends on the next day, a 24-hour
// duty a day after its start). The rest, daily-maximum and break rules look at timed work only.
// A working day (for the run of days) is a day with a duty of work, timed or with flat hours.
// Work on a Sunday or a holiday is counted by the hours that fall on that calendar day from 0
// to 24 Uhr, so a Saturday night duty works on the Sunday.

#include "data/DataUmgebung.h"
#include "data/DutyKinds.h"
#include "data/WorkingTimeRules.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace roster {

// In the order in which the findings of one day are listed.
enum class Rule {
    Rest,              // § 5 Abs. 1
    Compensation,      // § 5 Abs. 2
    DailyMaximum,      // § 3 Satz 1
    Average,           // § 3 Satz 2
    Breaks,            // § 4
    Sundays,           // § 11 Abs. 1
    SubstituteRestDay, // § 11 Abs. 3
    JoinedRest,        // § 11 Abs. 4
    WorkingDaysInRow,
};

// The rule with its paragraph, as the findings window lists it: "Ruhezeit (§ 5 ArbZG)".
QString ruleName(Rule rule);

// One stored duty as the check reads it.
struct CheckedDuty {
    QDate day;
    std::optional<double> anfang; // day numbers as stored (time of day; Ende one day later
    std::optional<double> ende;   // when the duty ends after midnight)
    double pause = 0;
    double flatHours = 0;
    data::DutyKind kind = data::DutyKind::Work;
};

struct Finding {
    QDate day;
    Rule rule;
    QString text; // "Ruhezeit 9,5 Std. (mindestens 11 Std.) nach dem Dienst am 04.12."
};

// The sums of the average working time's period before the duties read one by one: the
// minutes of work and the working days (Monday to Saturday) of vacation or sickness on the days
// before `before`.
struct AverageCarry {
    QDate before;
    qint64 workMinutes = 0;
    qint64 absentWorkingDays = 0;
};

// The findings of one employee on the days first to last, sorted by day and rule. duties are
// the employee's duties sorted by day: those of the month, of the days before and after it that
// the rules reach to (LookBackDays and LookAheadDays, or HolidayReachDays when a holiday lies
// near), the Saturdays and Sundays of the year before them, and the days of the average's
// period not summed up in carry. holidays are the full public holidays of those days.
std::vector<Finding> checkDuties(const std::vector<CheckedDuty>& duties, const QDate& first,
                                 const QDate& last, const data::WorkingTimeRules& rules,
                                 const std::vector<QDate>& holidays = {},
                                 const AverageCarry& carry = {});

// How many days before the month the check reads duty by duty: the runs of days and the rests
// made up within four weeks; and after it: four weeks for a rest made up.
constexpr int LookBackDays = 31;
constexpr int LookAheadDays = 4 * 7;
// Before and after a month with a holiday on a working day near it: the eight weeks of a
// substitute rest day.
constexpr int HolidayReachDays = 8 * 7;

// A finding of a member of the group.
struct MemberFinding {
    int maNr = 0;
    int position = 0; // the member's column in the roster
    QString planName;
    Finding finding;
};

// Reads the duties of every shown member of the group (position above 0) and checks the month
// first to last. Sorted by employee (name, then position) and day. Throws EngineError.
std::vector<MemberFinding> checkGroupMonth(data::DataUmgebung& env, int group, const QDate& first,
                                           const QDate& last, const data::WorkingTimeRules& rules);

// The findings of the last check of a group's month under the stored rules, kept until the
// connection changes data (duties, rules, duty kinds, holidays and members all live in the
// file): a repaint that changed nothing reads nothing.
class WorkingTimeCache {
public:
    const std::vector<MemberFinding>& month(data::DataUmgebung& env, int group, const QDate& first,
                                            const QDate& last);
    void clear() { valid_ = false; }

private:
    bool valid_ = false;
    int group_ = 0;
    QDate first_;
    QDate last_;
    quint64 stamp_ = 0;
    const void* connection_ = nullptr;
    std::vector<MemberFinding> found_;
};

} // namespace roster
