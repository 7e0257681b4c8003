#pragma once
// The working-time check of a month: the duties as stored, held against the German working-time
// law (Arbeitszeitgesetz) and the run of working days the house agreed on. It changes nothing;
// it finds the duties that break a rule and says why, with the figures.
//
// What counts as work: a duty with start and end whose short text names no day off ("Frei",
// "Urlaub", "krank", as the statistics count them) is timed work; its hours are the duty hours
// without flat hours, its end lies as far after its start as the duty hours say (a night duty
// ends on the next day). The rest, daily-maximum and break rules look at timed work only. A
// working day (for the Sundays and the run of days) is a day with timed work or with flat hours
// that are no day off.

#include "data/DataUmgebung.h"
#include "data/WorkingTimeRules.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace roster {

enum class Rule { Rest, DailyMaximum, Breaks, Sundays, WorkingDaysInRow };

// The rule with its paragraph, as the findings window lists it: "Ruhezeit (§ 5 ArbZG)".
QString ruleName(Rule rule);

// One stored duty as the check reads it.
struct CheckedDuty {
    QDate day;
    std::optional<double> anfang; // day numbers as stored (time of day; Ende one day later
    std::optional<double> ende;   // when the duty ends after midnight)
    double pause = 0;
    double flatHours = 0;
    QString kurzinfo;
};

struct Finding {
    QDate day;
    Rule rule;
    QString text; // "Ruhezeit 9,5 Std. (mindestens 11 Std.) nach dem Dienst am 04.12."
};

// The findings of one employee on the days first to last, sorted by day and rule. duties are
// the employee's duties sorted by day: those of the month, of the days before it that a rest
// period or a run of days reaches back to, and the Sundays of the year before them.
std::vector<Finding> checkDuties(const std::vector<CheckedDuty>& duties, const QDate& first,
                                 const QDate& last, const data::WorkingTimeRules& rules);

// How many days before the month the check reads for rest periods and runs of days.
constexpr int LookBackDays = 31;

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

} // namespace roster
