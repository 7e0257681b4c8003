// The change hooks lower lastChange whatever recordset change they are told about, zero the
// statistics when the basis of an employee's targets changes, and let a night standard duty
// end on the next day.

#include "data/ChangeHooks.h"
#include "platform/Formats.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QTest>

using namespace testing;

namespace {

QVariant day(int y, int m, int d) {
    return engine::dateVariant(QDate(y, m, d));
}

engine::Recordset& at(engine::Recordset& rs, const QString& criterion) {
    rs.moveFirst();
    if (!rs.find(criterion)) qFatal("no row %s", qPrintable(criterion));
    return rs;
}

} // namespace

class TestChangeHooks : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestSession> t;
    data::DataUmgebung& env() { return t->env(); }
    int anna = 0, bert = 0;
    QString isAnna() const { return "MaNr = " + QString::number(anna); }

private slots:
    void init() {
        t = std::make_unique<TestSession>(QDate(2024, 3, 25));
        t->createDatabase();
        data::attachChangeHooks(t->session);
        data::attachChangeHooks(t->session); // a second call adds nothing
        anna = addEmployee(env(), "Anna", QDate(2024, 1, 1));
        bert = addEmployee(env(), "Bert", QDate(2024, 1, 1));
        addDuty(env(), anna, QDate(2024, 3, 10));
        addDuty(env(), bert, QDate(2024, 3, 12));
    }
    void cleanup() {
        t.reset();
        platform::resetLocale();
    }

    void deletedDutyLowersLastChange_data() {
        QTest::addColumn<QVariant>("before");
        QTest::addColumn<QDate>("after");
        QTest::newRow("later") << day(2024, 3, 20) << QDate(2024, 3, 10);
        QTest::newRow("earlier") << day(2024, 3, 5) << QDate(2024, 3, 5);
        QTest::newRow("null") << QVariant() << QDate(2024, 3, 10);
    }
    void deletedDutyLowersLastChange() {
        QFETCH(QVariant, before);
        QFETCH(QDate, after);
        setLastChange(env(), anna, before);
        setLastChange(env(), bert, before);
        at(env().rsDienstzeiten, isAnna()).deleteCurrent();
        QCOMPARE(lastChange(env(), anna), after);
        QCOMPARE(lastChange(env(), bert), engine::toDate(before));
    }

    void movedDutyCountsFromTheDayItLeft() {
        setLastChange(env(), anna, QVariant());
        engine::Recordset& rs = at(env().rsDienstzeiten, isAnna());
        rs.setValue("Tag", day(2024, 3, 20));
        rs.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 3, 10));
    }

    void holidaysConcernEveryEmployee() {
        setLastChange(env(), anna, day(2024, 5, 20));
        setLastChange(env(), bert, day(2024, 3, 1));
        addRow(env().rsFeiertage, {{"Tag", day(2024, 5, 1)}});
        QCOMPARE(lastChange(env(), anna), QDate(2024, 5, 1));
        QCOMPARE(lastChange(env(), bert), QDate(2024, 3, 1));
        setLastChange(env(), bert, QVariant());
        at(env().rsFeiertage, "Tag = #5/1/2024#").deleteCurrent();
        QCOMPARE(lastChange(env(), bert), QDate(2024, 5, 1));
    }

    void basisOfTargetsZeroesTheStatistics() {
        for (const int ma : {anna, bert})
            addRow(env().rsStatistik, {{"MaNr", ma},
                                       {"Monat", 2},
                                       {"Jahr", 2024},
                                       {"Soll", 160},
                                       {"IstStd", 150},
                                       {"SumVormonat", 3},
                                       {"Urlaubstage", 2}});
        engine::Recordset& rs = at(env().rsMitarbeiter, isAnna());
        rs.setValue("ersterArbeitstag", day(2024, 2, 1));
        QCOMPARE(engine::toDate(rs.value("lastChange")), QDate(2024, 2, 1)); // on the edited row
        rs.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 2, 1));
        engine::Recordset sums;
        sums.openSql(env().Datenbank, "SELECT sum(IstStd + SumVormonat + Urlaubstage), sum(Soll) "
                                      "FROM Statistik GROUP BY MaNr ORDER BY MaNr");
        QCOMPARE(sums.value(0).toDouble() + sums.value(1).toDouble(), 0.0 + 160.0);
        sums.moveNext();
        QCOMPARE(sums.value(0).toDouble(), 155.0); // Bert's stay

        // a cancelled change still has the zeroed rows recomputed from the stored first day
        setLastChange(env(), anna, QVariant());
        at(env().rsMitarbeiter, isAnna()).setValue("normstunden", 7.5);
        env().rsMitarbeiter.cancelUpdate();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 2, 1));
    }

    void aNewFlatTargetReachesTheMonthsThatHadTheOldOne() {
        addRow(env().rsMitarbeiter, {{"PlanName", "Cora"},
                                     {"Nachname", "Cora"},
                                     {"ersterArbeitstag", day(2024, 1, 1)},
                                     {"Sollstd", 150.0}});
        const int cora = env().rsMitarbeiter.value("MaNr").toInt();
        for (const auto& [month, soll] :
             {std::pair{1, 150.0}, std::pair{2, 140.0}, std::pair{3, 150.0}})
            addRow(env().rsStatistik, {{"MaNr", cora},
                                       {"Monat", month},
                                       {"Jahr", 2024},
                                       {"Soll", soll},
                                       {"IstStd", 12.0}});
        const auto targets = [&] {
            engine::Recordset rs;
            rs.openSql(env().Datenbank,
                       "SELECT Soll FROM Statistik WHERE MaNr = [m] ORDER BY Monat", {cora}, {"m"});
            QList<double> list;
            for (; !rs.eof(); rs.moveNext())
                list << rs.value(0).toDouble();
            return list;
        };
        const QString isCora = "MaNr = " + QString::number(cora);
        // a cancelled change leaves the targets alone
        setLastChange(env(), cora, QVariant());
        at(env().rsMitarbeiter, isCora).setValue("Sollstd", 160.0);
        env().rsMitarbeiter.cancelUpdate();
        QCOMPARE(targets(), QList<double>({150, 140, 150}));
        // 150 to 160: the month entered by hand keeps its target; all months are recomputed
        engine::Recordset& rs = at(env().rsMitarbeiter, isCora);
        rs.setValue("Sollstd", 160.0);
        QCOMPARE(engine::toDate(rs.value("lastChange")), QDate(2024, 1, 1));
        rs.update();
        QCOMPARE(targets(), QList<double>({160, 140, 160}));
        QCOMPARE(lastChange(env(), cora), QDate(2024, 1, 1));
        // back to automatic targets: the run works them out; nothing is zeroed
        at(env().rsMitarbeiter, isCora).setValue("Sollstd", 0.0);
        env().rsMitarbeiter.update();
        QCOMPARE(targets(), QList<double>({160, 140, 160}));
        engine::Recordset hours;
        hours.openSql(env().Datenbank, "SELECT sum(IstStd) FROM Statistik WHERE MaNr = [m]", {cora},
                      {"m"});
        QCOMPARE(hours.value(0).toDouble(), 36.0);
        // from automatic to a flat target: every month takes it
        at(env().rsMitarbeiter, isCora).setValue("Sollstd", 120.0);
        env().rsMitarbeiter.update();
        QCOMPARE(targets(), QList<double>({120, 120, 120}));
    }

    void dutiesWrittenTogetherLowerEachEmployeeOnce() {
        setLastChange(env(), anna, day(2024, 3, 20));
        setLastChange(env(), bert, QVariant());
        using Day = data::DataUmgebung::DutyDay;
        Q_EMIT env().dutiesWritten({Day{anna, QDate(2024, 3, 15)}, Day{bert, QDate(2024, 3, 18)},
                                    Day{anna, QDate(2024, 3, 11)}});
        QCOMPARE(lastChange(env(), anna), QDate(2024, 3, 11));
        QCOMPARE(lastChange(env(), bert), QDate(2024, 3, 18));
        // the employees' recordset stands on the last one, as after single changes
        engine::Recordset& rs = env().rsMitarbeiter;
        QCOMPARE(rs.value("MaNr").toInt(), bert);
        QCOMPARE(engine::toDate(rs.value("lastChange")), QDate(2024, 3, 18));
        // an earlier day stays; an employee the recordset's filter hides is lowered all the same
        rs.setFilter("MaNr = " + QString::number(anna));
        Q_EMIT env().dutiesWritten({Day{anna, QDate(2024, 3, 12)}, Day{bert, QDate(2024, 3, 2)}});
        QCOMPARE(lastChange(env(), anna), QDate(2024, 3, 11));
        QCOMPARE(lastChange(env(), bert), QDate(2024, 3, 2));
        QVERIFY(rs.eof());
    }

    void pendingEmployeeChangeIsNotDisturbed() {
        setLastChange(env(), anna, QVariant());
        setLastChange(env(), bert, QVariant());
        engine::Recordset& rs = at(env().rsMitarbeiter, isAnna());
        rs.setValue("PlanName", "Anna B.");
        at(env().rsDienstzeiten, "MaNr = " + QString::number(bert)).deleteCurrent();
        at(env().rsDienstzeiten, isAnna()).deleteCurrent();
        QVERIFY(rs.isEditing());
        QCOMPARE(rs.value("PlanName").toString(), QString("Anna B."));
        QCOMPARE(lastChange(env(), bert), QDate(2024, 3, 12));
        rs.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 3, 10));
    }

    void statisticsRowNeedsNoDateText() {
        platform::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        addRow(env().rsStatistik, {{"MaNr", anna}, {"Monat", 11}, {"Jahr", 2024}});
        setLastChange(env(), anna, QVariant());
        at(env().rsStatistik, "Monat = 11").setValue("Soll", 140.0);
        env().rsStatistik.update();
        QCOMPARE(lastChange(env(), anna), QDate(2024, 11, 1));
    }

    void nightStandardDutyEndsNextDay() {
        const auto ende = [this](const char* key, QTime start, QTime end) {
            addRow(env().rsStandarddienste,
                   {{"Taste", key}, {"Anfang", timeValue(start)}, {"Ende", timeValue(end)}});
            return engine::toDateTime(env().rsStandarddienste.value("Ende"));
        };
        const QDateTime zero(engine::epoch(), QTime(0, 0), Qt::UTC);
        QCOMPARE(ende("N", QTime(22, 0), QTime(6, 0)), zero.addDays(1).addSecs(6 * 3600));
        QCOMPARE(ende("F", QTime(6, 0), QTime(14, 0)), zero.addSecs(14 * 3600));
    }
};

QTEST_MAIN(TestChangeHooks)
#include "test_changehooks.moc"
