// The tables of the staffing requirements and qualifications on every way a database comes to be
// opened (a current one without them, a new one, an old one rebuilt), with the preset list; and
// their rows through a rebuild from the table backups, a repair from a copy and a salvage of a
// file whose first page (the schema) is damaged.

#include "data/Staffing.h"
#include "data/StartCheck.h"
#include "engine/Recordset.h"
#include "engine/RowsetXml.h"
#include "tests/data/FilledDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QtTest>

using testing::TestSession;

namespace {

const QStringList Presets = {QStringLiteral("Pflegefachkraft"), QStringLiteral("Pflegehilfskraft"),
                             QStringLiteral("Auszubildende"), QStringLiteral("Praxisanleitung")};

QStringList names(engine::Connection& db) {
    QStringList list;
    for (const data::Qualification& q : data::loadQualifications(db))
        list << q.name;
    return list;
}

// A database with 3 employees, the preset list plus "Wundexperte", two requirements of group 1
// and the printed lines switched on: employees 1 and 2 nurses, 2 also wound expert. Closed again.
void fillStaffing(TestSession& t) {
    testing::fillDatabase(t, 3, 10);
    t.env().open(t.databasePath());
    engine::Connection& db = t.env().Datenbank;
    data::ensureStaffingTables(db);
    QList<data::Qualification> list = data::loadQualifications(db);
    list.append({0, QStringLiteral("Wundexperte"), QStringLiteral("WE"), true, {}});
    data::StaffingRequirement late;
    late.shift = QStringLiteral("Spätdienst");
    late.key = QStringLiteral("S");
    late.minimum = 3;
    late.qualNr = list.first().qualNr;
    late.qualMinimum = 1;
    data::StaffingRequirement night;
    night.shift = QStringLiteral("Nacht");
    night.from = QTime(21, 0);
    night.to = QTime(6, 0);
    night.days = data::SaturdayBit | data::SundayBit;
    night.maximum = 2;
    night.qualNr = data::newQualificationRef(4);
    night.qualShare = 50;
    data::saveStaffing(
        db, list,
        {{1, {list.first().qualNr}}, {2, {list.first().qualNr, data::newQualificationRef(4)}}}, 1,
        {late, night});
    data::showStaffingLines(db, true);
    t.env().close();
}

// What fillStaffing stored, as the program reads it.
void verifyStaffing(engine::Connection& db) {
    QCOMPARE(names(db), QStringList(Presets) << QStringLiteral("Wundexperte"));
    const QList<data::Qualification> list = data::loadQualifications(db);
    const QHash<int, QSet<int>> held = data::loadEmployeeQualifications(db);
    QCOMPARE(held.value(2), QSet<int>({list.at(0).qualNr, list.at(4).qualNr}));
    QCOMPARE(held.value(1), QSet<int>({list.at(0).qualNr}));
    const QList<data::StaffingRequirement> r = data::loadRequirements(db, 1);
    QCOMPARE(r.size(), 2);
    QCOMPARE(r.at(0).key, QStringLiteral("S"));
    QCOMPARE(r.at(0).qualNr, list.at(0).qualNr);
    QCOMPARE(r.at(1).from, QTime(21, 0));
    QCOMPARE(r.at(1).to, QTime(6, 0));
    QCOMPARE(r.at(1).days, data::SaturdayBit | data::SundayBit);
    QCOMPARE(r.at(1).maximum, std::optional<int>(2));
    QCOMPARE(r.at(1).qualNr, list.at(4).qualNr);
    QCOMPARE(r.at(1).qualShare, std::optional<double>(50));
    QVERIFY(data::staffingLinesShown(db));
}

} // namespace

class TestStaffingTables : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyWayOfOpeningCreatesTheTablesWithThePresets() {
        {
            TestSession t(QDate(2026, 12, 6), true);
            testing::fillDatabase(t, 1, 0);
            QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
            QCOMPARE(names(t.env().Datenbank), Presets);
        }
        {
            TestSession t(QDate(2026, 12, 6), true);
            t.prompts.queueAnswer(platform::Answer::Yes); // create the missing database
            QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
            QCOMPARE(names(t.env().Datenbank), Presets);
            QVERIFY(t.env().Datenbank.tableExists(QStringLiteral("Besetzung")));
            QVERIFY(t.env().Datenbank.tableExists(QStringLiteral("MaQualifikation")));
        }
    }

    void theRowsSurviveARebuildFromTheTableBackups() {
        TestSession t(QDate(2026, 12, 6), true);
        fillStaffing(t);
        // the backup files beside the database, as the rebuild looks for them
        engine::Connection db;
        db.open(t.databasePath());
        for (const data::TableDef& def : data::staffingTables()) {
            engine::Recordset rs;
            rs.openTable(db, def.name);
            const QFileInfo file(t.databasePath());
            engine::writeRowsetXml(file.absolutePath() + QLatin1Char('/') +
                                       file.completeBaseName() + def.suffix,
                                   rs.toData());
        }
        db.executeNative(QStringLiteral("UPDATE Einstellungen SET Firststart = 37527")); // old
        db.close();
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(QFile::exists(t.databasePath() + QStringLiteral(".old")));
        verifyStaffing(t.env().Datenbank);
    }

    void theRowsSurviveARepairAndASalvageWithoutSchema() {
        {
            TestSession t(QDate(2026, 12, 6), true);
            fillStaffing(t);
            QVERIFY(QFile::copy(t.databasePath(), t.databasePath() + QStringLiteral(".sav")));
            QFile damaged(t.databasePath());
            QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
            damaged.write(QByteArray(8192, '\x5a'));
            damaged.close();
            QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
            verifyStaffing(t.env().Datenbank);
        }
        TestSession t(QDate(2026, 12, 6), true);
        fillStaffing(t);
        testing::scribblePage(t.databasePath(), 1);
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QVERIFY(t.prompts.texts().at(1).contains(QStringLiteral("geretteten Daten")));
        verifyStaffing(t.env().Datenbank);
    }
};

QTEST_MAIN(TestStaffingTables)
#include "test_staffingtables.moc"
