// The change hooks lower lastChange whatever recordset change they are told about, zero the
// statistics when the basis of an employee's targets changes, and move the end of a night
// standard duty to the next day.

#include "data/ChangeHooks.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "tests/support/TestSession.h"

#include <QTest>

namespace {

QVariant dateValue(const QDate& d) {
    return engine::dateVariant(d);
}

int addEmployee(data::DataUmgebung& env, const QString& name, const QDate& firstDay) {
    engine::Recordset& rs = env.rsMitarbeiter;
    rs.addNew();
    rs.setValue("PlanName", name);
    rs.setValue("Nachname", name);
    rs.setValue("ersterArbeitstag", dateValue(firstDay));
    rs.setValue("normstunden", 8.0);
    rs.update();
    return rs.value("MaNr").toInt();
}

void addDuty(data::DataUmgebung& env, int maNr, const QDate& day) {
    engine::Recordset& rs = env.rsDienstzeiten;
    rs.addNew();
    rs.setValue("Tag", dateValue(day));
    rs.setValue("MaNr", maNr);
    rs.setValue("Kurzinfo", "F");
    rs.update();
}

void addStatRow(data::DataUmgebung& env, int maNr, int month, int year) {
    engine::Recordset& rs = env.rsStatistik;
    rs.addNew();
    rs.setValue("MaNr", maNr);
    rs.setValue("Monat", month);
    rs.setValue("Jahr", year);
    rs.setValue("Soll", 160.0);
    rs.setValue("IstStd", 150.0);
    rs.setValue("SumVormonat", 3.0);
    rs.setValue("Urlaubstage", 2);
    rs.setValue("Kranktage", 1);
    rs.update();
}

// Sets lastChange in the table, past the hooks.
void setLastChange(data::DataUmgebung& env, int maNr, const QVariant& day) {
    env.Datenbank.execute("UPDATE Mitarbeiter SET lastChange = [d] WHERE MaNr = [m]", {day, maNr},
                          {"d", "m"});
}

QDate lastChange(data::DataUmgebung& env, int maNr) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank, "SELECT lastChange FROM Mitarbeiter WHERE MaNr = [m]", {maNr}, {"m"});
    return engine::toDate(rs.value(0));
}

bool moveTo(engine::Recordset& rs, const QString& criterion) {
    rs.moveFirst();
    return rs.find(criterion);
}

} // namespace

class TestChangeHooks : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing::TestSession> t;
    data::DataUmgebung& env() { return t->env(); }
    int anna = 0, bert = 0;

private slots:
    void init() {
        t = std::make_unique<testing::TestSession>(QDate(2024, 3, 25));
        t->createDatabase();
        data::attachChangeHooks(t->session);
        data::attachChangeHooks(t->session); // a second call adds nothing
        anna = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        bert = addEmployee(env(), "Bert", QDate(2024, 1, 1));
    }
    void cleanup() {
        t.reset();
        platform::resetLocale();
    }

    void deletedDutyLowersLastChange_data() {
        QTest::addColumn<QVariant>("before");
        QTest::addColumn<QDate>("after");
        QTest::newRow("later") << dateValue(QDate(2024, 3, 20)) << QDate(2024, 3, 10);
        QTest::newRow("earlier") << dateValue(QDate(2024, 3, 5)) << QDate(2024, 3, 5);
        QTest::newRow("null") << QVariant() << QDate(2024, 3, 10);
    }
    void deletedDutyLowersLastChange() {
        QFETCH(QVariant, before);
        QFETCH(QDate, after);
        addDuty(env(), anna, QDate(2024, 3, 10));
        setLastChange(env(), anna, before);
        setLastChange(env(), bert, before);
        QVERIFY(moveTo(env().rsDienstzeiten, "MaNr = " + QString::number(anna)));
        env().rsDienstzeiten.deleteCurrent();
        QCOMPARE(lastChange(env(), anna), after);
        QCOMPARE(lastChange(env(), bert), engine::toDate(before));
        QVERIFY(t->prompts.shown.isEmpty());
    }

    void changedDutyCountsForBothDays() {
        addDuty(env(), anna, QDate(2024, 3, 10));
        setLastChange(env(), anna, QVariant());
        setLastChange(env(), bert, QVariant());
        engine::Recordset& rs = env().rsDienstzeiten;
        QVERIFY(moveTo(rs, "MaNr = " + QString::number(anna)));
        rs.setValue("Tag", dateValue(QDate(2024, 3, 20)));
        rs.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 3, 10)); // the day it left
        rs.setValue("MaNr", bert);
        rs.update();
        QCOMPARE(lastChange(env(), bert), QDate(2024, 3, 20));
    }

    void holidaysConcernEveryEmployee() {
        setLastChange(env(), anna, dateValue(QDate(2024, 4, 20)));
        setLastChange(env(), bert, dateValue(QDate(2024, 3, 1)));
        engine::Recordset& rs = env().rsFeiertage;
        rs.addNew();
        rs.setValue("Tag", dateValue(QDate(2024, 5, 1)));
        rs.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 4, 20)); // already earlier
        setLastChange(env(), anna, QVariant());
        rs.addNew();
        rs.setValue("Tag", dateValue(QDate(2024, 5, 2)));
        rs.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 5, 2));
        QCOMPARE(lastChange(env(), bert), QDate(2024, 3, 1));

        // a holiday moved to a later day still counts from the day it left
        setLastChange(env(), anna, QVariant());
        QVERIFY(moveTo(rs, "Tag = #5/2/2024#"));
        rs.setValue("Tag", dateValue(QDate(2024, 5, 9)));
        rs.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 5, 2));

        setLastChange(env(), anna, QVariant());
        setLastChange(env(), bert, QVariant());
        QVERIFY(moveTo(rs, "Tag = #5/1/2024#"));
        rs.deleteCurrent();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 5, 1));
        QCOMPARE(lastChange(env(), bert), QDate(2024, 5, 1));
    }

    void firstWorkingDayAndNormHoursZeroTheStatistics() {
        addStatRow(env(), anna, 1, 2024);
        addStatRow(env(), anna, 2, 2024);
        addStatRow(env(), bert, 2, 2024);
        engine::Recordset& rs = env().rsMitarbeiter;
        QVERIFY(moveTo(rs, "MaNr = " + QString::number(anna)));
        rs.setValue("ersterArbeitstag", dateValue(QDate(2024, 2, 1)));
        rs.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 2, 1));
        engine::Recordset check;
        check.openSql(env().Datenbank,
                      "SELECT sum(IstStd) + sum(SumVormonat) + sum(Urlaubstage) + "
                      "sum(Kranktage), sum(Soll) FROM Statistik WHERE MaNr = [m]",
                      {anna}, {"m"});
        QCOMPARE(check.value(0).toDouble(), 0.0);
        QCOMPARE(check.value(1).toDouble(), 320.0); // targets stay
        check.requery();
        QCOMPARE(env().rsStatistik.recordCount(), 3);
        QVERIFY(moveTo(env().rsStatistik, "MaNr = " + QString::number(bert)));
        QCOMPARE(env().rsStatistik.value("IstStd").toDouble(), 150.0);

        setLastChange(env(), anna, dateValue(QDate(2024, 3, 5)));
        QVERIFY(moveTo(rs, "MaNr = " + QString::number(anna)));
        rs.setValue("normstunden", 7.5);
        QVERIFY(rs.isEditing()); // the hook set the field on the row being edited
        QCOMPARE(engine::toDate(rs.value("lastChange")), QDate(2024, 2, 1));
        rs.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 2, 1));
    }

    void cancelledChangeStillRecomputesTheZeroedRows() {
        addStatRow(env(), anna, 2, 2024);
        setLastChange(env(), anna, QVariant());
        engine::Recordset& rs = env().rsMitarbeiter;
        QVERIFY(moveTo(rs, "MaNr = " + QString::number(anna)));
        rs.setValue("ersterArbeitstag", dateValue(QDate(2024, 3, 1)));
        rs.cancelUpdate();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 1, 1));
    }

    void pendingEmployeeChangeIsNotDisturbed() {
        addDuty(env(), anna, QDate(2024, 3, 10));
        addDuty(env(), bert, QDate(2024, 3, 12));
        setLastChange(env(), anna, QVariant());
        setLastChange(env(), bert, QVariant());
        engine::Recordset& rs = env().rsMitarbeiter;
        QVERIFY(moveTo(rs, "MaNr = " + QString::number(anna)));
        rs.setValue("PlanName", "Anna B.");

        QVERIFY(moveTo(env().rsDienstzeiten, "MaNr = " + QString::number(bert)));
        env().rsDienstzeiten.deleteCurrent();
        QVERIFY(moveTo(env().rsDienstzeiten, "MaNr = " + QString::number(anna)));
        env().rsDienstzeiten.deleteCurrent();

        QVERIFY(rs.isEditing());
        QCOMPARE(rs.value("PlanName").toString(), QString("Anna B."));
        QCOMPARE(engine::toDate(rs.value("lastChange")), QDate(2024, 3, 10));
        QCOMPARE(lastChange(env(), bert), QDate(2024, 3, 12));
        rs.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 3, 10));
        QCOMPARE(rs.value("PlanName").toString(), QString("Anna B."));
    }

    void changedStatisticsRowNeedsNoDateText() {
        // an order of day and month other than German's must not matter
        platform::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        addStatRow(env(), anna, 11, 2024);
        setLastChange(env(), anna, QVariant());
        QVERIFY(moveTo(env().rsStatistik, "Monat = 11"));
        env().rsStatistik.setValue("Soll", 140.0);
        env().rsStatistik.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 11, 1));
        env().rsStatistik.deleteCurrent();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 11, 1));
    }

    void nightStandardDutyEndsNextDay() {
        engine::Recordset& rs = env().rsStandarddienste;
        const auto add = [&rs](const char* key, QTime start, QTime end) {
            rs.addNew();
            rs.setValue("Taste", key);
            rs.setValue("Anfang", engine::dateVariant(engine::dayNumber(start)));
            rs.setValue("Ende", engine::dateVariant(engine::dayNumber(end)));
            rs.update();
            return engine::toDateTime(rs.value("Ende"));
        };
        const QDateTime zero(engine::epoch(), QTime(0, 0), Qt::UTC);
        QCOMPARE(add("N", QTime(22, 0), QTime(6, 0)), zero.addDays(1).addSecs(6 * 3600));
        QCOMPARE(add("F", QTime(6, 0), QTime(14, 0)), zero.addSecs(14 * 3600));
        // saved again, the night duty keeps its one extra day
        QVERIFY(moveTo(rs, "Taste = 'N'"));
        rs.setValue("Pause", 0.5);
        rs.update();
        QCOMPARE(engine::toDateTime(rs.value("Ende")), zero.addDays(1).addSecs(6 * 3600));
    }
};

QTEST_MAIN(TestChangeHooks)
#include "test_changehooks.moc"
