// The yearly table of the annual overview for the 60-member group, next to the raw queries that
// fetch its figures: the year's hour sums, and per member the four counts and the last balance.

#include "bench/BenchReports.h"

#include "bench/LargeDatabase.h"
#include "bench/RawSql.h"
#include "bench/Timing.h"
#include "reports/AnnualFigures.h"

#include <QFile>

#include <sqlite3.h>

namespace bench {

void benchAnnualTable(data::Session& session, const QString& path) {
    data::DataUmgebung& env = session.env;
    const int year = lastDutyDay().year() - 1;
    env.MaNachGrp(BigGroup);

    sqlite3* raw = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const double first = engine::dayNumber(QDate(year, 1, 1));
    const double last = engine::dayNumber(QDate(year, 12, 31));
    const QString count = QStringLiteral(
        "SELECT count(MaNr) FROM Dienstzeiten WHERE Tag >= ?1 AND Tag <= ?2 AND MaNr = ?3");
    const QString like = count + QStringLiteral(" AND Kurzinfo LIKE ?4");
    const auto rawTable = [&] {
        runRawSql(raw,
                  QStringLiteral("SELECT MaNr, sum(Normstunden), sum(Ende - Anfang - Pause / 24.0) "
                                 "FROM Dienstzeiten WHERE Tag >= ?1 AND Tag <= ?2 GROUP BY MaNr"),
                  {first, last});
        for (int maNr = 1; maNr <= GroupMembers; ++maNr) {
            runRawSql(raw, count, {first, last, maNr});
            for (const char* label : {"%urlaub%", "%krank%", "%frei%", "%urlaub%", "%krank%"})
                runRawSql(raw, like, {first, last, maNr, QString::fromLatin1(label)});
            runRawSql(raw,
                      QStringLiteral("SELECT SumVormonat - Soll + IstStd FROM Statistik WHERE "
                                     "MaNr = ?1 AND Jahr = ?2 ORDER BY Monat DESC LIMIT 1"),
                      {maNr, year});
        }
    };
    row(QStringLiteral("annual overview, yearly table of 60 members (goal 300 ms)"),
        medianMicros([&] { (void)reports::annualLines(env, year); }, 10),
        medianMicros(rawTable, 10));
    sqlite3_close(raw);
}

} // namespace bench
