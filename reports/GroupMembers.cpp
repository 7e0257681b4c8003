#include "reports/GroupMembers.h"

#include "engine/DateValue.h"
#include "roster/Konstanten.h"
#include "roster/Query.h"

namespace reports {

std::vector<GroupMember> groupMembers(data::DataUmgebung& env, int group) {
    static const roster::Query members(
        QStringLiteral("SELECT Mitarbeiter.MaNr, PlanName, ersterArbeitstag, Sollstd, "
                       "Normstunden, StdBestand FROM Mitarbeiter INNER JOIN GpZuordnung ON "
                       "GpZuordnung.MaNr = Mitarbeiter.MaNr WHERE (GpZuordnung.GruppenNr = "
                       "[parGruppe]) AND (GpZuordnung.DienstPos > 0) ORDER BY "
                       "GpZuordnung.DienstPos"),
        {QStringLiteral("parGruppe")});
    std::vector<GroupMember> list;
    roster::QueryRun run(env.Datenbank, members, {group});
    while (run.next()) {
        GroupMember m;
        m.basis.maNr = run.value(0).toInt();
        m.planName = run.value(1).toString();
        m.basis.ersterArbeitstag = engine::toDate(run.value(2));
        if (!m.basis.ersterArbeitstag.isValid()) m.basis.ersterArbeitstag = engine::epoch();
        m.basis.sollstd = run.value(3);
        m.basis.normstunden = roster::nullToDouble(run.value(4));
        m.stdbestand = roster::nullToDouble(run.value(5));
        list.push_back(std::move(m));
    }
    return list;
}

} // namespace reports
