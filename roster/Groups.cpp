#include "roster/Groups.h"

#include "engine/Sqlite.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/Query.h"

#include <vector>

namespace roster {

namespace {

const QString MaNr = QStringLiteral("parMaNr");
const QString Pos = QStringLiteral("parPos");
const QString Gruppe = QStringLiteral("parGruppe");
const QString Nr = QStringLiteral("parNr");

// Reads the current row of a shared recordset again after statements changed the table; the
// first row when it is gone. A pending change is left alone.
void stayOnCurrentRow(engine::Recordset& rs) {
    if (!rs.isOpen() || rs.isEditing()) return;
    if (rs.eof() || rs.bof()) {
        rs.requery();
        return;
    }
    const engine::Bookmark bm = rs.bookmark();
    rs.requery();
    try {
        rs.setBookmark(bm);
    } catch (const engine::EngineError&) {
        rs.moveFirst();
    }
}

std::optional<int> employeePosition(data::DataUmgebung& env, int maNr) {
    static const Query query(QStringLiteral("SELECT DienstPos FROM Mitarbeiter WHERE MaNr = "
                                            "[parMaNr]"),
                             {MaNr});
    const auto pos = query.scalar(env.Datenbank, {maNr});
    if (!pos)
        throw engine::EngineError(
            engine::err::NoCurrentRecord,
            QStringLiteral("Der Mitarbeiter %1 ist nicht vorhanden.").arg(maNr));
    if (pos->isNull()) return std::nullopt;
    return nullToLong(*pos);
}

void setEmployeePosition(data::DataUmgebung& env, int maNr, int position) {
    env.Datenbank.execute(
        QStringLiteral("UPDATE Mitarbeiter SET DienstPos = [parPos] WHERE MaNr = [parMaNr]"),
        {position, maNr}, {Pos, MaNr});
}

// The employees from position `after` on (exclusive) move up by one.
void closeUpEmployees(data::DataUmgebung& env, int after) {
    env.Datenbank.execute(QStringLiteral("UPDATE Mitarbeiter SET DienstPos = DienstPos - 1 "
                                         "WHERE DienstPos > [parPos]"),
                          {after}, {Pos});
}

void setMemberPosition(data::DataUmgebung& env, qint64 gpZuNr, int position) {
    env.Datenbank.execute(
        QStringLiteral("UPDATE GpZuordnung SET DienstPos = [parPos] WHERE GpZuNr = [parNr]"),
        {position, gpZuNr}, {Pos, Nr});
}

struct Member {
    qint64 gpZuNr;
    int position;
};

std::vector<Member> memberList(data::DataUmgebung& env, const Query& query,
                               const QVariantList& values) {
    std::vector<Member> found;
    QueryRun run(env.Datenbank, query, values);
    while (run.next())
        found.push_back(Member{run.value(0).toLongLong(), nullToLong(run.value(1))});
    return found;
}

// The memberships of a group from position `above` on (exclusive), in their order.
std::vector<Member> membersAbove(data::DataUmgebung& env, int group, int above) {
    static const Query all(QStringLiteral("SELECT GpZuNr, DienstPos FROM GpZuordnung WHERE "
                                          "(GruppenNr = [parGruppe]) AND (DienstPos > [parPos]) "
                                          "ORDER BY DienstPos, GpZuNr"),
                           {Gruppe, Pos});
    return memberList(env, all, {group, above});
}

// The memberships of a group that its roster shows (an existing employee who is not hidden), in
// their order; one shown again after hiding, still at 0, comes behind the others.
std::vector<Member> shownMembers(data::DataUmgebung& env, int group) {
    static const Query shown(
        QStringLiteral("SELECT GpZuordnung.GpZuNr, GpZuordnung.DienstPos FROM GpZuordnung "
                       "INNER JOIN Mitarbeiter ON GpZuordnung.MaNr = Mitarbeiter.MaNr WHERE "
                       "(GpZuordnung.GruppenNr = [parGruppe]) AND (Mitarbeiter.DienstPos Is "
                       "Null OR Mitarbeiter.DienstPos > 0) ORDER BY (GpZuordnung.DienstPos < 1), "
                       "GpZuordnung.DienstPos, GpZuordnung.GpZuNr"),
        {Gruppe});
    return memberList(env, shown, {group});
}

// Gives the members the positions from `first` on, in their order.
void closeUp(data::DataUmgebung& env, const std::vector<Member>& members, int first) {
    int k = first;
    for (const Member& m : members) {
        if (m.position != k) setMemberPosition(env, m.gpZuNr, k);
        ++k;
    }
}

void renumberAll(data::DataUmgebung& env) {
    static const Query groups(QStringLiteral("SELECT GruppenNr FROM Gruppen ORDER BY GruppenNr"),
                              {});
    std::vector<int> numbers;
    QueryRun run(env.Datenbank, groups, {});
    while (run.next())
        numbers.push_back(nullToLong(run.value(0)));
    // a hidden employee leaves every roster: his memberships stand at 0, which no roster shows
    env.Datenbank.execute(QStringLiteral("UPDATE GpZuordnung SET DienstPos = 0 WHERE DienstPos "
                                         "<> 0 AND MaNr IN (SELECT MaNr FROM Mitarbeiter WHERE "
                                         "DienstPos < 1)"));
    for (const int group : numbers)
        closeUp(env, shownMembers(env, group), 1);
}

} // namespace

void defaultGroup(data::DataUmgebung& env) {
    engine::Recordset& rs = env.rsGruppen;
    if (rs.recordCount() > 0) return;
    rs.addNew();
    rs.setValue(QStringLiteral("Gruppenname"), DefaultGroupName);
    rs.update();
}

void allEmployeesGroup(data::DataUmgebung& env) {
    static const Query highest(QStringLiteral("SELECT Max(DienstPos) FROM Mitarbeiter"), {});
    static const Query withoutPosition(
        QStringLiteral("SELECT MaNr FROM Mitarbeiter WHERE DienstPos Is Null ORDER BY MaNr"), {});
    static const Query notInGroup(
        QStringLiteral("SELECT MaNr, DienstPos FROM Mitarbeiter WHERE MaNr NOT IN (SELECT MaNr "
                       "FROM GpZuordnung WHERE GruppenNr = [parGruppe]) ORDER BY DienstPos, "
                       "MaNr"),
        {Gruppe});
    engine::Transaction transaction(env.Datenbank);
    int top = qMax(0, nullToLong(highest.scalar(env.Datenbank, {}).value_or(QVariant())));

    std::vector<int> unplaced;
    {
        QueryRun run(env.Datenbank, withoutPosition, {});
        while (run.next())
            unplaced.push_back(nullToLong(run.value(0)));
    }
    for (const int maNr : unplaced)
        setEmployeePosition(env, maNr, ++top);

    std::vector<std::pair<int, int>> missing; // employee, position
    {
        QueryRun run(env.Datenbank, notInGroup, {AllEmployeesGroup});
        while (run.next())
            missing.emplace_back(nullToLong(run.value(0)), nullToLong(run.value(1)));
    }
    for (auto& [maNr, position] : missing) {
        env.Datenbank.execute(QStringLiteral("INSERT INTO GpZuordnung (GruppenNr, MaNr, "
                                             "DienstPos) VALUES ([parGruppe], [parMaNr], "
                                             "[parPos])"),
                              // a hidden employee joins outside the shown positions
                              {AllEmployeesGroup, maNr, position > 0 ? position : 0},
                              {Gruppe, MaNr, Pos});
    }
    transaction.commit();
    stayOnCurrentRow(env.rsMitarbeiter);
    stayOnCurrentRow(env.rsGpZuordnung);
}

void renumberPositions(data::DataUmgebung& env, int shownGroup) {
    engine::Transaction transaction(env.Datenbank);
    renumberAll(env);
    transaction.commit();
    stayOnCurrentRow(env.rsGpZuordnung);
    if (shownGroup > 0) env.MaNachGrp(shownGroup);
}

void addMember(data::DataUmgebung& env, int maNr, int group) {
    const int highest = maxPosition(env, group);
    engine::Recordset& rs = env.rsGpZuordnung;
    rs.addNew();
    try {
        rs.setValue(QStringLiteral("MaNr"), maNr);
        rs.setValue(QStringLiteral("GruppenNr"), group);
        rs.setValue(QStringLiteral("DienstPos"), highest + 1);
        rs.update();
    } catch (...) {
        rs.cancelUpdate();
        throw;
    }
}

bool removeMember(data::DataUmgebung& env, int maNr, int group) {
    static const Query position(QStringLiteral("SELECT DienstPos, GpZuNr FROM GpZuordnung WHERE "
                                               "(MaNr = [parMaNr]) AND (GruppenNr = "
                                               "[parGruppe])"),
                                {MaNr, Gruppe});
    engine::Transaction transaction(env.Datenbank);
    QueryRun run(env.Datenbank, position, {maNr, group});
    if (!run.next()) return false;
    const int p = nullToLong(run.value(0));
    const qint64 gpZuNr = run.value(1).toLongLong();
    env.Datenbank.execute(QStringLiteral("DELETE FROM GpZuordnung WHERE GpZuNr = [parNr]"),
                          {gpZuNr}, {Nr});
    // every later member moves up; a missing position is passed over
    closeUp(env, membersAbove(env, group, p), qMax(1, p));
    transaction.commit();
    stayOnCurrentRow(env.rsGpZuordnung);
    return true;
}

void deleteGroup(data::DataUmgebung& env, int group) {
    engine::Transaction transaction(env.Datenbank);
    env.Datenbank.execute(QStringLiteral("DELETE GpZuordnung.Gruppennr from GpZuordnung WHERE "
                                         "((GpZuordnung.Gruppennr)=[parGruppe]);"),
                          {group}, {Gruppe});
    env.Datenbank.execute(QStringLiteral("DELETE FROM Gruppen WHERE GruppenNr = [parGruppe]"),
                          {group}, {Gruppe});
    transaction.commit();
    stayOnCurrentRow(env.rsGpZuordnung);
    stayOnCurrentRow(env.rsGruppen);
}

int nextEmployeePosition(data::DataUmgebung& env) {
    static const Query highest(QStringLiteral("SELECT Max(DienstPos) FROM Mitarbeiter"), {});
    return qMax(0, nullToLong(highest.scalar(env.Datenbank, {}).value_or(QVariant()))) + 1;
}

bool hideEmployee(data::DataUmgebung& env, int maNr) {
    static const Query lowest(QStringLiteral("SELECT Min(DienstPos) FROM Mitarbeiter"), {});
    engine::Transaction transaction(env.Datenbank);
    const auto position = employeePosition(env, maNr);
    if (!position || *position <= 0) return false;
    const int low = nullToLong(lowest.scalar(env.Datenbank, {}).value_or(QVariant()));
    setEmployeePosition(env, maNr, qMin(low, 1) - 1);
    closeUpEmployees(env, *position);
    renumberAll(env);
    transaction.commit();
    stayOnCurrentRow(env.rsGpZuordnung);
    return true;
}

bool showEmployee(data::DataUmgebung& env, int maNr) {
    engine::Transaction transaction(env.Datenbank);
    const auto position = employeePosition(env, maNr);
    if (position && *position > 0) return false;
    setEmployeePosition(env, maNr, nextEmployeePosition(env));
    renumberAll(env);
    transaction.commit();
    stayOnCurrentRow(env.rsGpZuordnung);
    return true;
}

void deleteEmployee(data::DataUmgebung& env, int maNr) {
    engine::Transaction transaction(env.Datenbank);
    const auto position = employeePosition(env, maNr);
    env.Datenbank.execute(QStringLiteral("DELETE FROM Mitarbeiter WHERE MaNr = [parMaNr]"), {maNr},
                          {MaNr});
    env.Datenbank.execute(QStringLiteral("DELETE GpZuordnung.MaNr from GpZuordnung WHERE "
                                         "((GpZuordnung.MaNr)=[parMaNr]);"),
                          {maNr}, {MaNr});
    env.Datenbank.execute(QStringLiteral("DELETE Dienstzeiten.MaNr from Dienstzeiten WHERE "
                                         "((Dienstzeiten.MaNr)=[parMaNr]);"),
                          {maNr}, {MaNr});
    env.Datenbank.execute(QStringLiteral("DELETE Statistik.MaNr from Statistik WHERE "
                                         "((Statistik.MaNr)=[parMaNr]);"),
                          {maNr}, {MaNr});
    if (position && *position > 0) closeUpEmployees(env, *position);
    renumberAll(env);
    transaction.commit();
    stayOnCurrentRow(env.rsGpZuordnung);
}

} // namespace roster
