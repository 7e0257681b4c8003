#include "roster/MonthAccount.h"

#include "roster/Konstanten.h"
#include "roster/Lookups.h"

#include <cmath>

namespace roster {

MonthAccount shownAccount(data::DataUmgebung& env, const TargetBasis& e, const QDate& first) {
    // not employed yet: no target, nothing carried, whatever rows are left
    if (lastDayOfMonth(first) < e.ersterArbeitstag) return {};
    if (findStatRow(env, e.maNr, first.month(), first.year()) && !env.rsStatistik.eof()) {
        const double soll = nullToDouble(env.rsStatistik.value(QStringLiteral("soll")));
        return {std::round(soll * 100) / 100,
                nullToDouble(env.rsStatistik.value(QStringLiteral("sumvormonat")))};
    }
    return accountWithoutRow(env, e, first);
}

EmployeeAccountBasis employeeAccountBasis(data::DataUmgebung& env, int maNr) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank,
               QStringLiteral("SELECT MaNr, ersterArbeitstag, Sollstd, Normstunden, StdBestand "
                              "FROM Mitarbeiter WHERE MaNr = [n]"),
               {maNr}, {QStringLiteral("n")});
    EmployeeAccountBasis result;
    if (rs.eof()) return result;
    result.basis = targetBasis(rs);
    result.stdbestand = nullToDouble(rs.value(QStringLiteral("StdBestand")));
    return result;
}

} // namespace roster
