#include "data/WorkingTimeRules.h"

#include "data/DutyKinds.h"
#include "data/Schema.h"
#include "engine/Sqlite.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcData)

namespace data {

namespace {

const QString Table = QStringLiteral("Arbeitszeitregeln");

const QString Columns = QStringLiteral(
    "RuhezeitPruefen, Ruhezeit, HoechstarbeitszeitPruefen, PausenPruefen, SonntagePruefen, "
    "ArbeitstagePruefen, Arbeitstage, AusgleichPruefen, Durchschnitt, ErsatzruhetagPruefen, "
    "SonntagsruhePruefen");

// The columns of the rules that came after the first version of the table, as SQLite adds them.
// Durchschnitt: 0 off, 1 over 24 weeks, 2 over 6 calendar months. (Twelve columns in all: no
// table of the design has as many, so a salvage that reads rows without the file's schema never
// takes a row of this table for one of another.)
const QStringList LaterColumns = {
    QStringLiteral("AusgleichPruefen bit NOT NULL DEFAULT 1"),
    QStringLiteral("Durchschnitt int NOT NULL DEFAULT 1"),
    QStringLiteral("ErsatzruhetagPruefen bit NOT NULL DEFAULT 1"),
    QStringLiteral("SonntagsruhePruefen bit NOT NULL DEFAULT 1"),
};

} // namespace

void ensureWorkingTimeRulesTable(engine::Connection& connection) {
    if (!connection.tableExists(Table)) {
        connection.execute(schema::Arbeitszeitregeln);
    } else {
        QStringList present;
        for (const engine::ColumnInfo& c : connection.columns(Table))
            present << c.name.toLower();
        for (const QString& column : LaterColumns) {
            if (!present.contains(column.section(QLatin1Char(' '), 0, 0).toLower()))
                connection.executeNative(
                    QStringLiteral("ALTER TABLE Arbeitszeitregeln ADD COLUMN ") + column);
        }
    }
    ensureDutyKindsTable(connection);
}

void ensureWorkingTimeRulesTableQuietly(engine::Connection& connection) {
    try {
        ensureWorkingTimeRulesTable(connection);
    } catch (const std::exception& e) {
        qCWarning(lcData) << "Arbeitszeitregeln not created:" << e.what();
    }
}

WorkingTimeRules loadWorkingTimeRules(engine::Connection& connection) {
    WorkingTimeRules rules;
    if (!connection.isOpen() || !connection.tableExists(Table)) return rules;
    engine::Statement row(connection,
                          QStringLiteral("SELECT ") + Columns +
                              QStringLiteral(" FROM Arbeitszeitregeln ORDER BY ID LIMIT 1"));
    if (!row.step()) return rules;
    const auto flag = [&row](int column, bool fallback) {
        return row.isNull(column) ? fallback : row.int64(column) != 0;
    };
    rules.restOn = flag(0, rules.restOn);
    if (!row.isNull(1) && row.value(1).toDouble() == 10) rules.minRest = 10;
    rules.dailyOn = flag(2, rules.dailyOn);
    rules.breaksOn = flag(3, rules.breaksOn);
    rules.sundaysOn = flag(4, rules.sundaysOn);
    rules.runOn = flag(5, rules.runOn);
    const qint64 run = row.isNull(6) ? 0 : row.int64(6);
    if (run >= 1 && run <= WorkingTimeRules::MaxRunLimit) rules.maxRun = int(run);
    rules.compensationOn = flag(7, rules.compensationOn);
    const qint64 average = row.isNull(8) ? 1 : row.int64(8);
    rules.averageOn = average == 1 || average == 2;
    rules.averageMonths = average == 2;
    rules.substituteOn = flag(9, rules.substituteOn);
    rules.joinedRestOn = flag(10, rules.joinedRestOn);
    return rules;
}

void saveWorkingTimeRules(engine::Connection& connection, const WorkingTimeRules& rules) {
    engine::Transaction transaction(connection);
    ensureWorkingTimeRulesTable(connection);
    const QVariantList values = {rules.restOn,
                                 rules.minRest == 10 ? 10.0 : 11.0,
                                 rules.dailyOn,
                                 rules.breaksOn,
                                 rules.sundaysOn,
                                 rules.runOn,
                                 qBound(1, rules.maxRun, WorkingTimeRules::MaxRunLimit),
                                 rules.compensationOn,
                                 rules.averageOn ? (rules.averageMonths ? 2 : 1) : 0,
                                 rules.substituteOn,
                                 rules.joinedRestOn};
    const QStringList names = {QStringLiteral("r"), QStringLiteral("h"), QStringLiteral("t"),
                               QStringLiteral("p"), QStringLiteral("s"), QStringLiteral("f"),
                               QStringLiteral("n"), QStringLiteral("a"), QStringLiteral("d"),
                               QStringLiteral("e"), QStringLiteral("j")};
    const int changed = connection.execute(
        QStringLiteral("UPDATE Arbeitszeitregeln SET RuhezeitPruefen = r, Ruhezeit = h, "
                       "HoechstarbeitszeitPruefen = t, PausenPruefen = p, SonntagePruefen = s, "
                       "ArbeitstagePruefen = f, Arbeitstage = n, AusgleichPruefen = a, "
                       "Durchschnitt = d, ErsatzruhetagPruefen = e, "
                       "SonntagsruhePruefen = j WHERE ID = (SELECT MIN(ID) FROM "
                       "Arbeitszeitregeln)"),
        values, names);
    if (changed == 0)
        connection.execute(QStringLiteral("INSERT INTO Arbeitszeitregeln (") + Columns +
                               QStringLiteral(") VALUES (r, h, t, p, s, f, n, a, d, e, j)"),
                           values, names);
    transaction.commit();
}

} // namespace data
