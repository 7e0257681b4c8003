// The monthly accounts of the 200 employees as CSV and the calendars of the 60-member group for
// a month, written to files as the menu commands write them.

#include "bench/BenchExports.h"

#include "bench/BenchRoster.h"
#include "bench/LargeDatabase.h"
#include "bench/Timing.h"
#include "platform/ScriptedPrompts.h"
#include "reports/DutyCalendar.h"
#include "reports/GroupMembers.h"
#include "reports/MonthAccountsCsv.h"
#include "roster/Konstanten.h"

#include <QTemporaryDir>

namespace bench {

void benchExports(data::Session& session) {
    platform::ScriptedPrompts prompts;
    if (!session.services.prompts) session.services.prompts = &prompts;
    openRosterTables(session.env);
    roster::MonthState month;
    month.firstDay = QDate(2025, 6, 1);
    month.groupNumber = 1; // all employees
    roster::changedate(month);
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("konten.csv"));
    row(QStringLiteral("monthly accounts CSV, 200 employees (goal 250 ms)"),
        medianMicros([&] { reports::writeMonthAccounts(session, month, csv); }, 10), 0);

    std::vector<reports::CalendarOwner> owners;
    for (const reports::GroupMember& m : reports::groupMembers(session.env, BigGroup))
        owners.push_back({m.basis.maNr, m.planName});
    row(QStringLiteral("iCalendar files, 60 employees, one month (goal 250 ms)"),
        medianMicros(
            [&] {
                reports::writeDutyCalendars(session, owners, month.firstDay, month.lastDay,
                                            dir.path());
            },
            10),
        0);
}

} // namespace bench
