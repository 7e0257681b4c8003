#include "reports/TimeSheet.h"

#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/MonthAccount.h"

namespace reports {

const QStringList SheetHeaders = {
    QStringLiteral(" "),        QStringLiteral("Anfang"),   QStringLiteral("Ende"),
    QStringLiteral("Pause"),    QStringLiteral("Pauschal"), QStringLiteral("Kurzinfo"),
    QStringLiteral("Zusatz 1"), QStringLiteral("Zusatz 2"), QStringLiteral("Arbeitszeit")};

namespace {

QString timeText(const QVariant& value) {
    return value.isNull() ? QString() : platform::timeText(engine::toDateTime(value).time());
}

QString plainNumber(const QVariant& value) {
    return value.isNull() ? QString() : platform::generalNumber(value.toDouble());
}

// The free days in the fixed weekend colour, the day labels in column 0.
void filldays(const roster::Holidays& holidays, const roster::MonthState& month,
              roster::GridSurface& grid) {
    grid.setRows(month.days + 1);
    grid.setFixedRows(1);
    for (QDate d = month.firstDay; d <= month.lastDay; d = d.addDays(1)) {
        if (roster::isFreeDay(holidays, d)) {
            for (int c = 0; c < grid.cols(); ++c)
                grid.setBackground(d.day(), c, roster::DefaultWeekendColor);
        }
        grid.setText(d.day(), 0, platform::dayLabel(d));
    }
    grid.setColumnWidth(0, grid.textWidth(QStringLiteral("Vormonat")));
}

// The actual hours of the month: timed hours less breaks, plus flat hours.
double showhours(data::DataUmgebung& env, const roster::MonthState& month, int maNr) {
    double worked = 0;
    engine::Recordset& sums = env.StundSum(month.firstDay, month.lastDay);
    if (sums.recordCount() > 0) {
        sums.moveFirst();
        if (sums.find(QStringLiteral("manr=%1").arg(maNr)))
            worked = roster::nullToDouble(sums.value(QStringLiteral("summe"))) +
                     roster::nullToDouble(sums.value(QStringLiteral("Summe2")));
    }
    sums.close();
    return worked;
}

void fillduties(data::DataUmgebung& env, const roster::Holidays& holidays,
                roster::GridSurface& grid) {
    engine::Recordset& duties = env.rsMaDienste;
    for (duties.moveFirst(); !duties.eof(); duties.moveNext()) {
        const QDate day = engine::toDate(duties.value(QStringLiteral("tag")));
        const int row = day.day();
        const QVariant anfang = duties.value(QStringLiteral("anfang"));
        const QVariant ende = duties.value(QStringLiteral("ende"));
        const QVariant pause = duties.value(QStringLiteral("pause"));
        const QVariant flat = duties.value(QStringLiteral("Normstunden"));
        const QVariant kurzinfo = duties.value(QStringLiteral("kurzinfo"));
        grid.setText(row, 1, timeText(anfang));
        grid.setText(row, 2, timeText(ende));
        grid.setText(row, 3, roster::fixedOrBlank(pause));
        grid.setText(row, 4, roster::fixedOrBlank(flat));
        grid.setText(row, 5, kurzinfo.isNull() ? QString() : kurzinfo.toString());
        grid.setText(row, 6, roster::fixedOrBlank(duties.value(QStringLiteral("s1"))));
        grid.setText(row, 7, roster::fixedOrBlank(duties.value(QStringLiteral("s2"))));
        // the same hours the month's sum counts (a break without times counts nothing)
        grid.setText(row, 8, platform::generalNumber(roster::dutyHours(anfang, ende, pause, flat)));
        const QVariant farbe = duties.value(QStringLiteral("farbe"));
        const quint32 colour = farbe.isNull() ? roster::White : quint32(farbe.toLongLong());
        if (!roster::isFreeDay(holidays, day) || colour != roster::White) {
            for (int c = 1; c <= 8; ++c)
                grid.setBackground(row, c, colour);
        }
    }
}

} // namespace

QString dayText(const roster::MonthState& month, int day) {
    return QStringLiteral("%1.%2.%3")
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(month.month)
        .arg(month.year);
}

SheetAccounts fillsheet(data::Session& session, const roster::MonthState& month, int maNr,
                        roster::GridSurface& grid) {
    data::DataUmgebung& env = session.env;
    env.rsMaDienste.close();
    env.MaDienste(month.firstDay, month.lastDay, maNr);
    grid.setRedraw(false);
    const int row = grid.row();
    const int col = grid.col();
    grid.setRows(0);
    grid.clearCells();
    grid.setCols(int(SheetHeaders.size()));
    grid.setRows(1);
    for (int c = 0; c < SheetHeaders.size(); ++c)
        grid.setText(0, c, SheetHeaders.at(c));

    SheetAccounts a;
    const double worked = showhours(env, month, maNr);
    const roster::Holidays holidays(env, month.firstDay, month.lastDay);
    filldays(holidays, month, grid);
    fillduties(env, holidays, grid);

    const roster::EmployeeAccountBasis employee = roster::employeeAccountBasis(env, maNr);
    const roster::MonthAccount account = roster::shownAccount(env, employee.basis, month.firstDay);
    const double previous = employee.stdbestand + account.carry;
    a.worked = platform::fixed(worked);
    a.target = platform::fixed(account.target);
    a.difference = platform::fixed(worked - account.target);
    a.previous = platform::fixed(previous);
    a.balance = platform::fixed(previous + worked - account.target);
    // the month's row, when there is one, is the current row of rsStatistik for its target field
    a.statisticsRow = roster::findStatRow(env, maNr, month.month, month.year);

    const QDate newYear(month.year, 1, 1);
    const QDate yearEnd(month.year, 12, 31);
    const auto count = [&](const QDate& from, const QDate& to, const char* label) {
        return roster::fixedOrBlankLong(
            roster::countDutiesLike(env, maNr, from, to, QLatin1String(label)));
    };
    a.sickMonth = count(month.firstDay, month.lastDay, "krank");
    a.vacationMonth = count(month.firstDay, month.lastDay, "urlaub");
    a.vacationYear = count(newYear, yearEnd, "Urlaub");
    a.sickYear = count(newYear, yearEnd, "krank");
    QVariant s1Year, s2Year, s1Month, s2Month;
    roster::sumExtraCounters(env, maNr, newYear, yearEnd, s1Year, s2Year);
    roster::sumExtraCounters(env, maNr, month.firstDay, month.lastDay, s1Month, s2Month);
    a.extra1Month = plainNumber(s1Month);
    a.extra2Month = plainNumber(s2Month);
    a.extra1Year = plainNumber(s1Year);
    a.extra2Year = plainNumber(s2Year);
    grid.setRedraw(true);
    grid.setCursor(qBound(1, row, grid.rows() - 1), qBound(1, col, grid.cols() - 1));
    return a;
}

} // namespace reports
