#pragma once
// The settings of the working-time check: which rules are checked, the minimum rest between two
// duties (11 hours, or 10 in hospitals and care homes), the period of the six-month average and
// the longest run of working days. They live in one row of their own table, Arbeitszeitregeln,
// which the start-up creates when it is missing (and to which it adds the columns of rules that
// came later); a database without the table or its row checks with the defaults.

#include "engine/Connection.h"

namespace data {

struct WorkingTimeRules {
    bool restOn = true;         // rest period between two duties
    double minRest = 11;        // hours: 11, or 10
    bool dailyOn = true;        // at most 10 hours of work in one duty
    bool breaksOn = true;       // 30 minutes of break above 6 hours of work, 45 above 9
    bool sundaysOn = true;      // 15 Sundays of the year without duty
    bool runOn = true;          // working days in a row
    int maxRun = 6;             // at most this many working days in a row
    bool compensationOn = true; // a rest shortened below 11 hours made up by one of 12 hours
    bool averageOn = true;      // at most 8 hours a working day on average ...
    bool averageMonths = false; // ... over 24 weeks, or over 6 calendar months
    bool substituteOn = true;   // a substitute rest day after work on a Sunday or holiday
    bool joinedRestOn = true;   // the Sunday rest joined to the daily rest

    // true when at least one rule is switched on
    bool anyOn() const {
        return restOn || dailyOn || breaksOn || sundaysOn || runOn || compensationOn || averageOn ||
               substituteOn || joinedRestOn;
    }

    static constexpr int MaxRunLimit = 31;
    bool operator==(const WorkingTimeRules&) const = default;
};

// Creates the table when it is missing, adds the columns a table of an older version lacks, and
// creates the table of the duty kinds (data/DutyKinds) when it is missing.
void ensureWorkingTimeRulesTable(engine::Connection& connection);
// The same, for the start-up: a failure only leaves the defaults in force and is logged.
void ensureWorkingTimeRulesTableQuietly(engine::Connection& connection);

// The stored settings; the defaults when the table or its row is missing. Values out of range
// (a rest other than 10 hours, a run outside 1 to 31 days) read as the defaults.
WorkingTimeRules loadWorkingTimeRules(engine::Connection& connection);

// Stores the settings in the one row (created with the table when missing), in one transaction.
// Throws EngineError when the database refuses.
void saveWorkingTimeRules(engine::Connection& connection, const WorkingTimeRules& rules);

} // namespace data
