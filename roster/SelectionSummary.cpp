#include "roster/SelectionSummary.h"

#include "platform/Formats.h"
#include "roster/Konstanten.h"
#include "roster/Query.h"

namespace roster {

std::optional<QStringList> selectionSummary(data::DataUmgebung& env, const MonthState& month,
                                            int firstRow, int lastRow, int col) {
    const int top = qMin(firstRow, lastRow);
    const int bottom = qMax(firstRow, lastRow);
    if (month.painting || top < 2 || bottom > month.days + 1) return std::nullopt;

    QString name;
    double wage = 0;
    engine::Recordset& members = env.rsMaNachGrp;
    if (members.isOpen()) {
        members.setSort(QStringLiteral("Dienstpos"));
        members.moveFirst();
        if (members.find(QStringLiteral("DienstPos=") + QString::number(col))) {
            name = members.value(QStringLiteral("Planname")).toString();
            wage = nullToDouble(members.value(QStringLiteral("stundenlohn")));
        }
    }

    const QDate from = month.firstDay.addDays(top - 2);
    const QDate to = month.firstDay.addDays(bottom - 2);
    const QString days = from == to ? platform::shortDate(from)
                                    : QStringLiteral("%1. - %2.").arg(from.day()).arg(to.day());

    // the duties of the member at that position, day by day
    static const Query duties(
        QStringLiteral("SELECT Dienstzeiten.Anfang, Dienstzeiten.Ende, Dienstzeiten.Pause, "
                       "Dienstzeiten.Normstunden, Dienstzeiten.S1, Dienstzeiten.S2, "
                       "Dienstzeiten.Kurzinfo FROM Dienstzeiten INNER JOIN GpZuordnung ON "
                       "Dienstzeiten.MaNr = GpZuordnung.MaNr WHERE (Dienstzeiten.Tag >= "
                       "[parVon]) AND (Dienstzeiten.Tag <= [parBis]) AND (GpZuordnung.DienstPos "
                       "= [parPos]) AND (GpZuordnung.GruppenNr = [parGruppe]) ORDER BY "
                       "Dienstzeiten.Tag, Dienstzeiten.DienstNr"),
        {QStringLiteral("parVon"), QStringLiteral("parBis"), QStringLiteral("parPos"),
         QStringLiteral("parGruppe")});
    double hours = 0, pause = 0, flat = 0, s1 = 0, s2 = 0;
    QString kurzinfo;
    QueryRun run(env.Datenbank, duties, {from, to, col, month.groupNumber});
    while (run.next()) {
        pause += nullToDouble(run.value(2));
        flat += nullToDouble(run.value(3));
        s1 += nullToDouble(run.value(4));
        s2 += nullToDouble(run.value(5));
        kurzinfo = run.value(6).toString();
        hours += dutyHours(run.value(0), run.value(1), run.value(2), run.value(3));
    }
    return QStringList{days,
                       name,
                       platform::fixed(hours),
                       platform::fixed(pause),
                       platform::fixed(flat),
                       platform::fixed(s1),
                       platform::fixed(s2),
                       kurzinfo,
                       platform::currency(hours * wage)};
}

} // namespace roster
