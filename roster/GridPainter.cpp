#include "roster/GridPainter.h"

#include "engine/DateValue.h"
#include "engine/Sqlite.h"
#include "platform/Formats.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/MonthAccount.h"
#include "roster/Statistics.h"
#include "roster/WorkingTimeCheck.h"

#include <QHash>

#include <cmath>
#include <optional>

namespace roster {

namespace {

// Each member's hours of the month from the month's sums (the first row of a member counts).
QHash<int, double> monthHours(engine::Recordset& sums) {
    QHash<int, double> hours;
    for (sums.moveFirst(); !sums.eof(); sums.moveNext()) {
        const int maNr = sums.value(QStringLiteral("manr")).toInt();
        if (!hours.contains(maNr))
            hours.insert(maNr, nullToDouble(sums.value(QStringLiteral("Summe2"))) +
                                   nullToDouble(sums.value(QStringLiteral("summe"))));
    }
    return hours;
}

} // namespace

void GridPainter::gridrepaintcheck() {
    if (month_.autoCalc) gridrepaint();
}

void GridPainter::gridrepaint() {
    data::DataUmgebung& env = session_.env;
    grid_.setBusy(true);
    grid_.setRedraw(false);
    month_.painting = true;
    int row = grid_.row();
    int col = grid_.col();
    grid_.setRows(0);
    grid_.clearCells();
    // one read transaction for the repaint's hundred-odd queries: the file's lock is taken and
    // its header read once, not once a query
    std::optional<engine::Transaction> reading;
    try {
        reading.emplace(env.Datenbank);
    } catch (const std::exception&) {
        // the queries then lock the file one by one and report what fails
    }
    try {
        env.rsMitarbeiter.requery();
        env.rsDienstzeiten.requery();
        env.rsFeiertage.requery();
        env.rsStatistik.requery();
        env.rsMaNachGrp.close();
        engine::Recordset& members = env.MaNachGrp(month_.groupNumber);
        members.setSort(QStringLiteral("Dienstpos"));
        if (members.recordCount() > 0) {
            members.moveLast();
            grid_.setCols(members.value(QStringLiteral("dienstpos")).toInt() + 1);
        } else {
            grid_.setCols(1);
            col = 0;
        }
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("gridrepaint"));
        grid_.setCols(qMax(1, grid_.cols()));
    }
    TageEintragen();
    MaEintragen();
    if (showMarks) markFindings();
    try {
        if (reading) reading->commit();
    } catch (const std::exception&) {
        // nothing was written; the destructor ends the transaction
    }
    grid_.setCursor(qMax(0, row), col < grid_.cols() ? qMax(0, col) : grid_.cols() - 1);
    grid_.setRedraw(true);
    month_.painting = false;
    if (afterRepaint) afterRepaint();
    grid_.setBusy(false);
}

void GridPainter::TageEintragen() {
    try {
        month_.workDays = month_.days;
        grid_.setRows(month_.days + 5);
        grid_.setFixedRows(2);
        const Holidays holidays(session_.env, month_.firstDay, month_.lastDay);
        for (QDate d = month_.firstDay; d <= month_.lastDay; d = d.addDays(1)) {
            const int row = d.day() + 1;
            if (isFreeDay(holidays, d)) {
                for (int c = 0; c < grid_.cols(); ++c)
                    grid_.setBackground(row, c, month_.weekendColor);
                --month_.workDays;
            }
            grid_.setText(row, 0, platform::dayLabel(d));
        }
        grid_.setText(month_.days + 2, 0, QStringLiteral("Stunden"));
        grid_.setAlignment(month_.days + 2, 0, Align::Right);
        grid_.setText(month_.days + 3, 0, QStringLiteral("Differenz"));
        grid_.setAlignment(month_.days + 3, 0, Align::Right);
        grid_.setText(month_.days + 4, 0, QStringLiteral("+ Vormonat"));
        grid_.setText(1, 0, QStringLiteral("Sollstd."));
        grid_.setAlignment(1, 0, Align::Right);
        grid_.setColumnWidth(0, grid_.textWidth(LabelColumnSample));
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("TageEintragen"));
    }
}

void GridPainter::MaEintragen() {
    data::DataUmgebung& env = session_.env;
    int line = 0;
    // Runs one step; a missing current row (3021) is passed over, any other error ends the
    // painting of the columns. Returns false then.
    const auto step = [&](int number, const std::function<void()>& f) {
        line = number;
        try {
            f();
            return true;
        } catch (const std::exception& e) {
            if (data::errorNumber(e) == engine::err::NoCurrentRecord) return true;
            data::report(session_, e, QStringLiteral("MaEintragen Line =%1").arg(line));
            env.rsStundSumGrp.close();
            return false;
        }
    };
    engine::Recordset& members = env.rsMaNachGrp;
    bool empty = true;
    if (!step(1,
              [&] {
                  members.moveFirst();
                  empty = members.eof();
              }) ||
        empty)
        return;
    if (!step(2, [&] { env.StundSumGrp(month_.firstDay, month_.lastDay, month_.groupNumber); }))
        return;
    engine::Recordset& sums = env.rsStundSumGrp;
    // the members' hours of the month, read from the sums once
    QHash<int, double> hoursByMember;
    bool sumsRead = false;
    const int columnWidth = grid_.textWidth(DutyColumnSample);
    if (!step(3, [&] { members.setSort(QStringLiteral("Dienstpos")); })) return;
    for (members.moveFirst(); !members.eof(); members.moveNext()) {
        const int pos = members.value(QStringLiteral("dienstpos")).toInt();
        if (pos <= 0) continue;
        const int maNr = members.value(QStringLiteral("manr")).toInt();
        double target = 0;
        double start = 0;
        double hours = 0;
        if (!step(4, [&] {
                grid_.setColumnAlignment(pos, Align::Center);
                grid_.setText(0, pos, members.value(QStringLiteral("Planname")).toString());
                grid_.setColumnWidth(pos, columnWidth);
            }))
            return;
        if (!step(5, [&] {
                const double stdbestand = nullToDouble(members.value(QStringLiteral("stdbestand")));
                const TargetBasis basis = targetBasis(members);
                const MonthAccount account = shownAccount(env, basis, month_.firstDay);
                target = account.target;
                start = stdbestand + account.carry;
                grid_.setText(1, pos, platform::fixed(target));
            }))
            return;
        if (!step(6, [&] {
                engine::Recordset& duties =
                    env.Dienst(month_.firstDay, month_.lastDay, pos, month_.groupNumber);
                // the fields by number: a month holds a few thousand duties
                const int tag = duties.requireField(QStringLiteral("tag")),
                          farbe = duties.requireField(QStringLiteral("farbe")),
                          anfang = duties.requireField(QStringLiteral("anfang")),
                          ende = duties.requireField(QStringLiteral("ende")),
                          kurzinfo = duties.requireField(QStringLiteral("kurzinfo")),
                          normstunden = duties.requireField(QStringLiteral("Normstunden"));
                for (duties.moveFirst(); !duties.eof(); duties.moveNext()) {
                    const int row = engine::toDate(duties.value(tag)).day() + 1;
                    const QVariant colour = duties.value(farbe);
                    if (!colour.isNull() && quint32(colour.toLongLong()) != White)
                        grid_.setBackground(row, pos, quint32(colour.toLongLong()));
                    grid_.setText(row, pos,
                                  dutyText(duties.value(anfang), duties.value(ende),
                                           duties.value(kurzinfo), duties.value(normstunden)));
                }
                duties.close();
            }))
            return;
        if (!step(7, [&] {
                if (!sumsRead) hoursByMember = monthHours(sums);
                sumsRead = true;
                const int row = month_.days + 2;
                if (sums.recordCount() > 0) {
                    hours = hoursByMember.value(maNr, 0.0);
                    grid_.setText(row, pos, platform::sumText(hours));
                    grid_.setAlignment(row, pos, Align::General);
                }
            }))
            return;
        if (!step(8, [&] {
                grid_.setAlignment(month_.days + 3, pos, Align::General);
                grid_.setText(month_.days + 3, pos, platform::sumText(hours - target));
                grid_.setAlignment(month_.days + 4, pos, Align::General);
                grid_.setText(month_.days + 4, pos, platform::sumText(start + hours - target));
            }))
            return;
    }
    sums.close();
}

void GridPainter::markFindings() {
    try {
        QHash<QPair<int, int>, QString> tips;
        for (const MemberFinding& f :
             findings_.month(session_.env, month_.groupNumber, month_.firstDay, month_.lastDay)) {
            QString& tip = tips[{f.finding.day.day() + 1, f.position}];
            if (!tip.isEmpty()) tip += QLatin1Char('\n');
            tip += f.finding.text;
        }
        for (auto it = tips.cbegin(); it != tips.cend(); ++it) {
            if (it.key().second < grid_.cols())
                grid_.setMark(it.key().first, it.key().second, it.value());
        }
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Arbeitszeitprüfung"));
    }
}

} // namespace roster
