#include "data/DataUmgebung.h"

#include "engine/Sqlite.h"
#include "engine/TextCompare.h"

#include <sqlite3.h>

#include <stdexcept>

namespace data {

namespace {

const QString StundSumText = QStringLiteral(
    "SELECT SUM(HOUR(Ende - Anfang) + 1 / 60 * (MINUTE(ende - anfang)) + 24 * (ROUND((Ende - "
    "Anfang) * 86400) = 86400) - pause) AS Summe, "
    "SUM(normstunden) as summe2, MaNr FROM Dienstzeiten WHERE (Tag >= `start`) AND (Tag <= "
    "`stop`) GROUP BY MaNr");

// The same sums for the members of one group only: each member's duties are summed in the order
// of their days as above, so the figures are the same to the last bit.
const QString StundSumGrpText =
    QString(StundSumText)
        .replace(QStringLiteral(" GROUP BY MaNr"),
                 QStringLiteral(" AND (MaNr IN (SELECT MaNr FROM GpZuordnung "
                                "WHERE GruppenNr = `gruppe`)) GROUP BY MaNr"));

const QString DienstText = QStringLiteral(
    "SELECT Dienstzeiten.*, GpZuordnung.DienstPos, GpZuordnung.GruppenNr FROM GpZuordnung INNER "
    "JOIN Dienstzeiten ON GpZuordnung.MaNr = Dienstzeiten.MaNr WHERE (((Dienstzeiten.Tag) >= "
    "`anf` AND (Dienstzeiten.Tag) <= `end`) AND (GpZuordnung.DienstPos = `pos`) AND "
    "((GpZuordnung.GruppenNr)=`gprNr`));");

const QString MaDiensteText = QStringLiteral(
    "SELECT Dienstzeiten.Tag, Dienstzeiten.Anfang, Dienstzeiten.Dienstnr, "
    "Dienstzeiten.normstunden, Dienstzeiten.Ende, Dienstzeiten.Pause, Dienstzeiten.Kurzinfo, "
    "Mitarbeiter.MaNr, Dienstzeiten.Bemerkung, Dienstzeiten.S1, Dienstzeiten.S2 , "
    "Dienstzeiten.farbe\r\n"
    "FROM Mitarbeiter INNER JOIN Dienstzeiten ON Mitarbeiter.MaNr = Dienstzeiten.MaNr \r\n"
    "WHERE (((Dienstzeiten.Tag)>=[anf] And (Dienstzeiten.Tag)<=[end]) and Mitarbeiter.MaNr "
    "=[nr]);\r\n");

const QString sortMaText =
    QStringLiteral("SELECT MaNr, PlanName, DienstPos FROM Mitarbeiter ORDER BY DienstPos");

const QString MaNachGrpText = QStringLiteral(
    "SELECT Mitarbeiter.PlanName, Mitarbeiter.Stdbestand, Mitarbeiter.sollstd, "
    "Mitarbeiter.Normstunden, Mitarbeiter.Stundenlohn, Mitarbeiter.ersterArbeitstag, "
    "Gruppen.Gruppenname, GpZuordnung.manr, Gruppen.GruppenNr, GpZuordnung.DienstPos FROM "
    "(Gruppen INNER JOIN GpZuordnung ON Gruppen.GruppenNr = GpZuordnung.GruppenNr) INNER JOIN "
    "Mitarbeiter ON GpZuordnung.MaNr = Mitarbeiter.MaNr WHERE (((Gruppen.GruppenNr) = "
    "`eingabe`));");

const QString StatMaText =
    QStringLiteral("SELECT Monat, Soll, IstStd, SumVormonat, Urlaubstage, Kranktage, MaNr FROM "
                   "Statistik WHERE MaNr = `MaNummer` AND Jahr= `SuchJahr`;");

// One standard duty per key, keys compared as key entry compares them ("ä" is "Ä"). The file's
// own index holds the rule for ASCII letters only (SQLite's NOCASE), so that the file needs
// nothing of the program's to be checked or changed by other tools; this holds it for all.
void checkStandardKey(const engine::Recordset& rs) {
    engine::Connection* connection = rs.connection();
    const QString key = rs.value(QStringLiteral("Taste")).toString();
    if (!connection || key.isEmpty()) return;
    const QVariant own = rs.status() == engine::RecordStatus::New
                             ? QVariant()
                             : rs.originalValue(QStringLiteral("id"));
    engine::Statement st(*connection, QStringLiteral("SELECT id, Taste FROM Standarddienste"));
    while (st.step()) {
        if (engine::sameText(st.value(1).toString(), key) &&
            (own.isNull() || st.int64(0) != own.toLongLong()))
            throw engine::sqliteError(
                SQLITE_CONSTRAINT, SQLITE_CONSTRAINT_UNIQUE,
                QStringLiteral("UNIQUE constraint failed: Standarddienste.Taste"));
    }
}

} // namespace

DataUmgebung::DataUmgebung(QObject* parent) : QObject(parent) {
    const auto table = [this](const char* name, engine::Recordset* rs) {
        commands_ << Command{QLatin1String(name), Kind::Table, QLatin1String(name), {}, rs};
        rs->setObjectName(QStringLiteral("rs") + QLatin1String(name));
    };
    table("Mitarbeiter", &rsMitarbeiter);
    table("Dienstzeiten", &rsDienstzeiten);
    table("Standarddienste", &rsStandarddienste);
    table("Einstellungen", &rsEinstellungen);
    table("Feiertage", &rsFeiertage);
    table("Statistik", &rsStatistik);
    table("Gruppen", &rsGruppen);
    table("GpZuordnung", &rsGpZuordnung);
    table("Jahreswerte", &rsJahreswerte);
    const auto sql = [this](const char* name, const QString& text, QStringList params,
                            engine::Recordset* rs) {
        commands_ << Command{QLatin1String(name), Kind::Sql, text, std::move(params), rs};
        rs->setObjectName(QStringLiteral("rs") + QLatin1String(name));
    };
    sql("StundSum", StundSumText, {QStringLiteral("start"), QStringLiteral("stop")}, &rsStundSum);
    sql("StundSumGrp", StundSumGrpText,
        {QStringLiteral("start"), QStringLiteral("stop"), QStringLiteral("gruppe")},
        &rsStundSumGrp);
    sql("Dienst", DienstText,
        {QStringLiteral("anf"), QStringLiteral("end"), QStringLiteral("pos"),
         QStringLiteral("gprNr")},
        &rsDienst);
    sql("MaDienste", MaDiensteText,
        {QStringLiteral("anf"), QStringLiteral("end"), QStringLiteral("nr")}, &rsMaDienste);
    sql("sortMa", sortMaText, {}, &rssortMa);
    sql("MaNachGrp", MaNachGrpText, {QStringLiteral("eingabe")}, &rsMaNachGrp);
    sql("StatMa", StatMaText, {QStringLiteral("MaNummer"), QStringLiteral("SuchJahr")}, &rsStatMa);
    rsStandarddienste.setWriteCheck(checkStandardKey);
}

DataUmgebung::~DataUmgebung() {
    close();
}

void DataUmgebung::open(const QString& path) {
    close();
    Datenbank.open(path);
}

void DataUmgebung::close() {
    for (const Command& c : std::as_const(commands_))
        c.recordset->close();
    Datenbank.close();
}

const DataUmgebung::Command& DataUmgebung::command(const QString& name) const {
    for (const Command& c : commands_) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0) return c;
    }
    throw std::invalid_argument("unknown command " + name.toStdString());
}

bool DataUmgebung::hasCommand(const QString& commandName) const {
    for (const Command& c : commands_)
        if (c.name.compare(commandName, Qt::CaseInsensitive) == 0) return true;
    return false;
}

engine::Recordset& DataUmgebung::recordset(const QString& commandName) {
    return *command(commandName).recordset;
}

engine::Recordset& DataUmgebung::execute(const QString& commandName, const QVariantList& values) {
    const Command& c = command(commandName);
    c.recordset->close();
    if (c.kind == Kind::Table)
        c.recordset->openTable(Datenbank, c.text);
    else
        c.recordset->openSql(Datenbank, c.text, values, c.parameters);
    return *c.recordset;
}

engine::Recordset& DataUmgebung::StundSum(const QDate& start, const QDate& stop) {
    return execute(QStringLiteral("StundSum"), {start, stop});
}

engine::Recordset& DataUmgebung::StundSumGrp(const QDate& start, const QDate& stop, int gruppe) {
    return execute(QStringLiteral("StundSumGrp"), {start, stop, gruppe});
}

engine::Recordset& DataUmgebung::Dienst(const QDate& anf, const QDate& end, int pos, int gprNr) {
    return execute(QStringLiteral("Dienst"), {anf, end, pos, gprNr});
}

engine::Recordset& DataUmgebung::MaDienste(const QDate& anf, const QDate& end, int nr) {
    return execute(QStringLiteral("MaDienste"), {anf, end, nr});
}

engine::Recordset& DataUmgebung::sortMa() {
    return execute(QStringLiteral("sortMa"));
}

engine::Recordset& DataUmgebung::MaNachGrp(int eingabe) {
    return execute(QStringLiteral("MaNachGrp"), {eingabe});
}

engine::Recordset& DataUmgebung::StatMa(int maNummer, int suchJahr) {
    return execute(QStringLiteral("StatMa"), {maNummer, suchJahr});
}

} // namespace data
