#include "roster/Lookups.h"

#include "engine/DateValue.h"
#include "roster/Konstanten.h"
#include "roster/Query.h"

namespace roster {

const QString TimedHoursSql =
    QStringLiteral("HOUR(Ende - Anfang) + 1 / 60 * (MINUTE(ende - anfang)) + 24 * "
                   "(ROUND((Ende - Anfang) * 86400) = 86400) - pause");

namespace {

const QString Tag = QStringLiteral("parTag");
const QString MaNr = QStringLiteral("parMaNr");
const QString Pos = QStringLiteral("parPos");
const QString Gruppe = QStringLiteral("parGruppe");
const QString Monat = QStringLiteral("parMonat");
const QString Jahr = QStringLiteral("parJahr");
const QString Von = QStringLiteral("parVon");
const QString Bis = QStringLiteral("parBis");
const QString Muster = QStringLiteral("parMuster");

// Moves rs to its first row and searches it for "keyColumn = key"; true when the key exists.
bool positionOn(engine::Recordset& rs, const QString& keyColumn,
                const std::optional<QVariant>& key) {
    if (!key) return false;
    rs.moveFirst();
    rs.find(keyColumn + QStringLiteral(" = ") + QString::number(key->toLongLong()));
    return true;
}

// "... WHERE ((Tag >= F ) AND (Tag <= T ) AND (MaNr = M ))" of the duty aggregates
const QString DutyRange =
    QStringLiteral("WHERE ((Tag >= [parVon] ) AND (Tag <= [parBis] ) AND (MaNr = [parMaNr] ))");

} // namespace

bool findDuty(data::DataUmgebung& env, const QDate& day, int maNr) {
    static const Query query(
        QStringLiteral("SELECT  Dienstzeiten.dienstNr ") +
            QStringLiteral("FROM (Dienstzeiten INNER JOIN Mitarbeiter ON Dienstzeiten.MaNr = "
                           "Mitarbeiter.MaNr) ") +
            QStringLiteral("Where ((Dienstzeiten.Tag = [parTag]) And ( Dienstzeiten.MaNr = "
                           "[parMaNr]))"),
        {Tag, MaNr});
    return positionOn(env.rsDienstzeiten, QStringLiteral("DienstNr"),
                      query.scalar(env.Datenbank, {day, maNr}));
}

bool findDutyOfEmployee(data::DataUmgebung& env, const QDate& day, int maNr) {
    static const Query query(QStringLiteral("SELECT dienstNr FROM Dienstzeiten WHERE ") +
                                 QStringLiteral("((Dienstzeiten.Tag = [parTag]) And (MaNr = "
                                                "[parMaNr]))"),
                             {Tag, MaNr});
    return positionOn(env.rsDienstzeiten, QStringLiteral("DienstNr"),
                      query.scalar(env.Datenbank, {day, maNr}));
}

bool findDutyAtPosition(data::DataUmgebung& env, const QDate& day, int position, int group) {
    static const Query query(
        QStringLiteral("SELECT  Dienstzeiten.dienstNr FROM (Dienstzeiten INNER JOIN GpZuordnung "
                       "ON Dienstzeiten.MaNr = GpZuordnung.MaNr) ") +
            QStringLiteral("Where ((Dienstzeiten.Tag = [parTag]) And ( GpZuordnung.dienstpos = "
                           "[parPos])") +
            QStringLiteral("and (GpZuordnung.gruppennr = [parGruppe]))"),
        {Tag, Pos, Gruppe});
    return positionOn(env.rsDienstzeiten, QStringLiteral("DienstNr"),
                      query.scalar(env.Datenbank, {day, position, group}));
}

bool findStatRow(data::DataUmgebung& env, int maNr, int month, int year) {
    static const Query query(
        QStringLiteral("SELECT statnr FROM statistik ") +
            QStringLiteral("Where (statistik.MaNr = [parMaNr]) And (statistik.jahr = [parJahr]) ") +
            QStringLiteral("And (statistik.monat = [parMonat])"),
        {MaNr, Jahr, Monat});
    return positionOn(env.rsStatistik, QStringLiteral("StatNr"),
                      query.scalar(env.Datenbank, {maNr, year, month}));
}

bool findAssignment(data::DataUmgebung& env, int maNr, int group) {
    static const Query query(
        QStringLiteral("SELECT GpZuNr FROM GpZuordnung ") +
            QStringLiteral("Where (GpZuordnung.MaNr = [parMaNr]) And (GpZuordnung.GruppenNr = "
                           "[parGruppe]) "),
        {MaNr, Gruppe});
    return positionOn(env.rsGpZuordnung, QStringLiteral("GpZuNr"),
                      query.scalar(env.Datenbank, {maNr, group}));
}

namespace {
const QString AtPosition = QStringLiteral(
    "Where (GpZuordnung.Dienstpos = [parPos]) And (GpZuordnung.GruppenNr = [parGruppe]) ");
}

bool findAssignmentAtPosition(data::DataUmgebung& env, int position, int group) {
    static const Query query(QStringLiteral("SELECT GpZuNr FROM GpZuordnung ") + AtPosition,
                             {Pos, Gruppe});
    return positionOn(env.rsGpZuordnung, QStringLiteral("GpZuNr"),
                      query.scalar(env.Datenbank, {position, group}));
}

int employeeAtPosition(data::DataUmgebung& env, int position, int group) {
    static const Query query(QStringLiteral("SELECT MaNr FROM GpZuordnung ") + AtPosition,
                             {Pos, Gruppe});
    const auto maNr = query.scalar(env.Datenbank, {position, group});
    if (!positionOn(env.rsMitarbeiter, QStringLiteral("MaNr"), maNr)) return 0;
    return nullToLong(*maNr);
}

double lastBalance(data::DataUmgebung& env, int maNr, int year) {
    static const Query query(
        QStringLiteral("SELECT last(SumVormonat - soll + iststd) as letzter FROM statistik ") +
            QStringLiteral("Where (statistik.MaNr = [parMaNr]) And (statistik.jahr = [parJahr]) "),
        {MaNr, Jahr});
    return nullToDouble(query.scalar(env.Datenbank, {maNr, year}).value_or(QVariant()));
}

qint16 maxPosition(data::DataUmgebung& env, int group) {
    static const Query query(
        QStringLiteral("SELECT Max(GpZuordnung.DienstPos) AS [MaxDienstPos], "
                       "GpZuordnung.GruppenNr from GpZuordnung ") +
            QStringLiteral("GROUP BY GpZuordnung.GruppenNr HAVING ((GpZuordnung.GruppenNr)= "
                           "[parGruppe]);"),
        {Gruppe});
    return qint16(nullToLong(query.scalar(env.Datenbank, {group}).value_or(QVariant())));
}

QDate lastDutyDay(data::Session& session, int maNr) {
    static const Query query(QStringLiteral("SELECT max(Dienstzeiten.Tag)as Maxtag FROM "
                                            "Dienstzeiten ") +
                                 QStringLiteral("WHERE (Dienstzeiten.MaNr = [parMaNr]);"),
                             {MaNr});
    const auto day =
        engine::dayNumber(query.scalar(session.env.Datenbank, {maNr}).value_or(QVariant()));
    return day ? engine::dateOf(*day) : session.today();
}

double sumHours(data::DataUmgebung& env, int maNr, const QDate& first, const QDate& last) {
    static const Query query(QStringLiteral("SELECT MaNr, SUM(") + TimedHoursSql +
                                 QStringLiteral(") AS Summe, Sum(Normstunden) as summe2 FROM "
                                                "Dienstzeiten ") +
                                 DutyRange + QStringLiteral("GROUP BY MaNr"),
                             {Von, Bis, MaNr});
    QueryRun run(env.Datenbank, query, {first, last, maNr});
    if (!run.next()) return 0.0;
    return nullToDouble(run.value(2)) + nullToDouble(run.value(1));
}

const QStringList AbsenceLabels = {QStringLiteral("Frei"), QStringLiteral("Urlaub"),
                                   QStringLiteral("krank")};

bool isAbsence(const QString& kurzinfo) {
    for (const QString& label : AbsenceLabels) {
        if (kurzinfo.contains(label, Qt::CaseInsensitive)) return true;
    }
    return false;
}

qint32 countDutiesLike(data::DataUmgebung& env, int maNr, const QDate& first, const QDate& last,
                       const QString& text) {
    static const Query query(QStringLiteral("SELECT count(MaNr) as Anzahl FROM Dienstzeiten ") +
                                 DutyRange.chopped(1) +
                                 QStringLiteral("and(Kurzinfo Like [parMuster]));"),
                             {Von, Bis, MaNr, Muster});
    const QString pattern = QLatin1Char('%') + text + QLatin1Char('%');
    return nullToLong(
        query.scalar(env.Datenbank, {first, last, maNr, pattern}).value_or(QVariant()));
}

qint32 countWorkingDuties(data::DataUmgebung& env, int maNr, const QDate& first,
                          const QDate& last) {
    static const Query query(QStringLiteral("SELECT count(MaNr) as Anzahl FROM Dienstzeiten ") +
                                 DutyRange + QStringLiteral(";"),
                             {Von, Bis, MaNr});
    qint32 n = nullToLong(query.scalar(env.Datenbank, {first, last, maNr}).value_or(QVariant()));
    for (const QString& label : AbsenceLabels)
        n -= countDutiesLike(env, maNr, first, last, label);
    return n;
}

void sumExtraCounters(data::DataUmgebung& env, int maNr, const QDate& first, const QDate& last,
                      QVariant& summe1, QVariant& summe2) {
    static const Query query(
        QStringLiteral("SELECT MaNr, SUM(S1) as Summe1, SUM(S2) as Summe2 FROM Dienstzeiten ") +
            DutyRange + QStringLiteral("GROUP BY MaNr;"),
        {Von, Bis, MaNr});
    QueryRun run(env.Datenbank, query, {first, last, maNr});
    if (!run.next()) return;
    summe1 = run.isNull(1) ? QVariant() : QVariant(run.value(1).toDouble());
    summe2 = run.isNull(2) ? QVariant() : QVariant(run.value(2).toDouble());
}

} // namespace roster
