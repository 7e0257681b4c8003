#include "reports/AnnualFigures.h"

#include "platform/Formats.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"

namespace reports {

QList<AnnualLine> annualLines(data::DataUmgebung& env, int year) {
    const QDate first(year, 1, 1);
    const QDate last(year, 12, 31);
    QList<AnnualLine> lines;
    engine::Recordset& sums = env.StundSum(first, last);
    const bool anyHours = sums.recordCount() > 0;
    engine::Recordset& members = env.rsMaNachGrp;
    members.setSort(QStringLiteral("Dienstpos"));
    try {
        for (members.moveFirst(); !members.eof(); members.moveNext()) {
            const int maNr = roster::nullToLong(members.value(QStringLiteral("manr")));
            AnnualLine line;
            line.planName = members.value(QStringLiteral("PlanName")).toString();
            line.urlaubstage = roster::fixedOrBlankLong(
                roster::countDutiesLike(env, maNr, first, last, QStringLiteral("urlaub")));
            line.arbeitstage =
                roster::fixedOrBlankLong(roster::countWorkingDuties(env, maNr, first, last));
            if (anyHours) {
                sums.moveFirst();
                if (sums.find(QStringLiteral("manr=") + QString::number(maNr)))
                    line.stunden =
                        platform::fixed(roster::nullToDouble(sums.value(QStringLiteral("Summe"))) +
                                        roster::nullToDouble(sums.value(QStringLiteral("summe2"))));
            }
            line.stundenkonto = platform::fixed(roster::lastBalance(env, maNr, year));
            line.kranktage = roster::fixedOrBlankLong(
                roster::countDutiesLike(env, maNr, first, last, QStringLiteral("krank")));
            lines << line;
        }
    } catch (...) {
        sums.close();
        throw;
    }
    sums.close();
    return lines;
}

} // namespace reports
