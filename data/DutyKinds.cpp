#include "data/DutyKinds.h"

#include "data/Schema.h"
#include "engine/Sqlite.h"

#include <QRegularExpression>

namespace data {

namespace {

const QString Table = QStringLiteral("Dienstarten");

QString keyOf(const QString& kurzinfo) {
    return kurzinfo.trimmed().toCaseFolded();
}

} // namespace

QString dutyKindName(DutyKind kind) {
    switch (kind) {
    case DutyKind::Vacation:
        return QStringLiteral("Urlaub");
    case DutyKind::Sick:
        return QStringLiteral("krank");
    case DutyKind::Free:
        return QStringLiteral("Frei");
    case DutyKind::Work:
        break;
    }
    return QStringLiteral("Arbeit");
}

DutyKind presetDutyKind(const QString& kurzinfo, bool timed) {
    static const QRegularExpression word(QStringLiteral("\\b(urlaub|krank|frei)\\b"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression part(QStringLiteral("(urlaub|krank|frei)"),
                                         QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch m = word.match(kurzinfo);
    if (!m.hasMatch() && !timed) m = part.match(kurzinfo);
    if (!m.hasMatch()) return DutyKind::Work;
    const QString w = m.captured(1).toLower();
    return w == QLatin1String("urlaub")  ? DutyKind::Vacation
           : w == QLatin1String("krank") ? DutyKind::Sick
                                         : DutyKind::Free;
}

DutyKind DutyKinds::of(const QString& kurzinfo, bool timed) const {
    if (kurzinfo.isEmpty()) return DutyKind::Work;
    const auto it = byText_.constFind(keyOf(kurzinfo));
    return it != byText_.cend() ? *it : presetDutyKind(kurzinfo, timed);
}

void DutyKinds::set(const QString& kurzinfo, DutyKind kind) {
    byText_.insert(keyOf(kurzinfo), kind);
}

void ensureDutyKindsTable(engine::Connection& connection) {
    if (!connection.tableExists(Table)) connection.execute(schema::Dienstarten);
}

DutyKinds loadDutyKinds(engine::Connection& connection) {
    DutyKinds kinds;
    if (!connection.isOpen() || !connection.tableExists(Table)) return kinds;
    engine::Statement row(connection, QStringLiteral("SELECT Kurzinfo, Art FROM Dienstarten"));
    while (row.step()) {
        const qint64 art = row.int64(1);
        if (art >= 0 && art <= 3) kinds.set(row.value(0).toString(), DutyKind(art));
    }
    return kinds;
}

QList<StandardDutyKind> standardDutyKinds(engine::Connection& connection) {
    const DutyKinds kinds = loadDutyKinds(connection);
    QList<StandardDutyKind> list;
    engine::Statement row(connection,
                          QStringLiteral("SELECT Taste, Kurzinfo, (Anfang IS NOT NULL AND Ende IS "
                                         "NOT NULL) FROM Standarddienste WHERE "
                                         "Kurzinfo IS NOT NULL AND trim(Kurzinfo) <> '' "
                                         "ORDER BY Taste"));
    while (row.step()) {
        const QString kurz = row.value(1).toString();
        list.append({row.value(0).toString(), kurz, kinds.of(kurz, row.int64(2) != 0)});
    }
    return list;
}

void saveDutyKinds(engine::Connection& connection, const QList<StandardDutyKind>& kinds) {
    engine::Transaction transaction(connection);
    ensureDutyKindsTable(connection);
    for (const StandardDutyKind& k : kinds) {
        const QString text = k.kurzinfo.trimmed();
        const QStringList names = {QStringLiteral("k"), QStringLiteral("a")};
        const QVariantList values = {text, int(k.kind)};
        if (connection.execute(QStringLiteral("UPDATE Dienstarten SET Art = a WHERE Kurzinfo = k"),
                               values, names) == 0)
            connection.execute(
                QStringLiteral("INSERT INTO Dienstarten (Kurzinfo, Art) VALUES (k, a)"), values,
                names);
    }
    transaction.commit();
}

} // namespace data
