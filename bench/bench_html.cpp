// The HTML page of the 60-member group's month and one employee's working-time sheet, from the
// large database, next to the raw queries that fetch their rows.

#include "bench/BenchRoster.h"

#include "bench/LargeDatabase.h"
#include "bench/RawSql.h"
#include "bench/Timing.h"
#include "engine/DateValue.h"
#include "engine/SqlDialect.h"
#include "platform/ScriptedPrompts.h"
#include "print/RosterHtml.h"
#include "reports/TimeSheet.h"
#include "roster/Konstanten.h"
#include "roster/MemoryGrid.h"

#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace bench {

void benchHtml(data::Session& session, const QString& path) {
    platform::ScriptedPrompts prompts;
    if (!session.services.prompts) session.services.prompts = &prompts;
    data::DataUmgebung& env = session.env;
    openRosterTables(env);
    roster::MonthState month;
    month.firstDay = QDate(2025, 6, 1);
    month.groupNumber = BigGroup;
    roster::changedate(month);
    month.workDays = roster::workDays(env, month.firstDay, month.lastDay);

    sqlite3* raw = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    engine::registerDialectFunctions(raw);
    const double first = engine::dayNumber(month.firstDay);
    const double last = engine::dayNumber(month.lastDay);
    const QString statRow = QStringLiteral(
        "SELECT statnr FROM statistik WHERE (statistik.MaNr = ?1) AND (statistik.jahr = 2025) "
        "AND (statistik.monat = 6)");

    // the page: members, month sums, per member the statistics row and the duties
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("tnv-2025-06.html"));
    const QString members = commandSql(env, "MaNachGrp");
    const QString sums = commandSql(env, "StundSum");
    const QString duties = commandSql(env, "Dienst");
    const double rawPage = medianMicros(
        [&] {
            runRawSql(raw, members, {BigGroup});
            runRawSql(raw, sums, {first, last});
            for (int pos = 1; pos <= GroupMembers; ++pos) {
                runRawSql(raw, statRow, {pos});
                runRawSql(raw, duties, {first, last, pos, BigGroup});
            }
        },
        20);
    row(QStringLiteral("makehtmlplan, 60 members, one month (goal 250 ms)"),
        medianMicros([&] { print::makehtmlplan(session, month, page); }, 20), rawPage);

    // the sheet: the employee's duties, the month sums, the statistics row, counts and sums
    const int maNr = 1;
    const QString maDienste = commandSql(env, "MaDienste");
    const double rawSheet = medianMicros(
        [&] {
            runRawSql(raw, maDienste, {first, last, maNr});
            runRawSql(raw, sums, {first, last});
            runRawSql(raw, statRow, {maNr});
        },
        50);
    roster::MemoryGrid grid;
    row(QStringLiteral("fillsheet, one employee, one month (goal 30 ms)"),
        medianMicros([&] { reports::fillsheet(session, month, maNr, grid); }, 50), rawSheet);
    sqlite3_close(raw);
    if (session.services.prompts == &prompts) session.services.prompts = nullptr;
}

} // namespace bench
