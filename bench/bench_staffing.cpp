// The staffing check of the 60-member group's month: requirements for the early, late and night
// shift on every kind of day, half of the members registered nurses. The check reads the month's
// duties in one query (goal: under 20 ms); the repaint takes its marks from the cache (goal:
// under 50 ms with the marks).

#include "bench/BenchStaffing.h"

#include "bench/BenchRoster.h"
#include "bench/LargeDatabase.h"
#include "bench/RawSql.h"
#include "bench/Timing.h"
#include "data/Staffing.h"
#include "engine/DateValue.h"
#include "engine/SqlDialect.h"
#include "roster/GridPainter.h"
#include "roster/StaffingCheck.h"
#include "shell/FlexGrid.h"

#include <QFile>

#include <sqlite3.h>

namespace bench {

void benchStaffing(data::Session& session, const QString& path) {
    data::DataUmgebung& env = session.env;
    openRosterTables(env);
    engine::Connection& db = env.Datenbank;
    data::ensureStaffingTables(db);
    QList<data::Qualification> quals = data::loadQualifications(db);
    QHash<int, QSet<int>> held;
    for (int maNr = 1; maNr <= GroupMembers; ++maNr)
        held.insert(maNr, {quals.at(maNr % 2).qualNr});
    QList<data::StaffingRequirement> requirements;
    for (const auto& [shift, key, minimum] :
         {std::tuple{"Frühdienst", "F", 12}, std::tuple{"Spätdienst", "S", 10},
          std::tuple{"Nachtdienst", "N", 8}}) {
        data::StaffingRequirement r;
        r.shift = QString::fromUtf8(shift);
        r.key = QLatin1String(key);
        r.minimum = minimum;
        r.maximum = minimum + 4;
        r.qualNr = quals.at(0).qualNr;
        r.qualMinimum = 2;
        r.qualShare = 50;
        requirements << r;
    }
    data::saveStaffing(db, quals, held, BigGroup, requirements);

    roster::MonthState month;
    month.firstDay = QDate(2025, 6, 1);
    month.groupNumber = BigGroup;
    roster::changedate(month);

    sqlite3* raw = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    engine::registerDialectFunctions(raw);
    const double first = engine::dayNumber(month.firstDay);
    const double end = engine::dayNumber(month.lastDay.addDays(1));
    const auto rawCheck = [&] {
        runRawSql(raw,
                  QStringLiteral("SELECT d.Tag, d.MaNr, d.Kurzinfo, d.Anfang, d.Ende FROM "
                                 "GpZuordnung g JOIN Dienstzeiten d ON d.MaNr = g.MaNr WHERE "
                                 "g.GruppenNr = ?1 AND g.DienstPos > 0 AND d.Tag >= ?2 AND "
                                 "d.Tag < ?3"),
                  {BigGroup, first, end});
    };
    row(QStringLiteral("staffing marks, 60 members, one month"),
        medianMicros(
            [&] { roster::checkGroupStaffing(env, BigGroup, month.firstDay, month.lastDay); }, 20),
        medianMicros(rawCheck, 20));

    FlexGrid widget;
    widget.resize(1200, 800);
    roster::GridPainter onWidget(session, month, widget);
    roster::StaffingCache cache;
    const double plain = medianMicros([&] { onWidget.gridrepaint(); }, 20);
    onWidget.afterRepaint = [&] {
        roster::markStaffing(widget, cache.month(env, BigGroup, month.firstDay, month.lastDay));
    };
    // the same repaint with the marks, next to it under the same load
    row(QStringLiteral("gridrepaint with staffing marks (grid widget)"),
        medianMicros([&] { onWidget.gridrepaint(); }, 20), plain);
    const quint64 stamp = db.changeCounter();
    onWidget.gridrepaint();
    row(stamp == db.changeCounter() ? QStringLiteral("staffing marks from the cache")
                                    : QStringLiteral("staffing marks (repaint changed data)"),
        medianMicros(
            [&] {
                roster::markStaffing(widget,
                                     cache.month(env, BigGroup, month.firstDay, month.lastDay));
            },
            20),
        medianMicros(rawCheck, 20));
    sqlite3_close(raw);
}

} // namespace bench
