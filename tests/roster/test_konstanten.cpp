// Hours of a duty, the text of a roster cell, free and working days, null-safe conversions.

#include "platform/Formats.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QTest>

using namespace roster;
using testing::timeValue;

class TestKonstanten : public QObject {
    Q_OBJECT

private slots:
    void init() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { platform::resetLocale(); }

    // The rule in memory gives what the database sums give.
    void hourRule_data() {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QTime>("end");
        QTest::addColumn<double>("pause");
        QTest::addColumn<double>("flat");
        QTest::addColumn<double>("hours");
        QTest::newRow("night with break") << QTime(22, 0) << QTime(6, 0) << 0.5 << 0.0 << 7.5;
        QTest::newRow("minutes and flat") << QTime(6, 0) << QTime(14, 15) << 0.0 << 1.5 << 9.75;
        QTest::newRow("no times: no break") << QTime() << QTime() << 0.5 << 7.7 << 7.7;
    }
    void hourRule() {
        QFETCH(QTime, start);
        QFETCH(QTime, end);
        QFETCH(double, pause);
        QFETCH(double, flat);
        QFETCH(double, hours);
        QCOMPARE(dutyHours(timeValue(start), timeValue(end, end < start), pause, flat), hours);
        testing::TestSession t(QDate(2024, 3, 15));
        t.createDatabase();
        const int ma = testing::addEmployee(t.env(), "Anna", QDate(2024, 1, 1));
        testing::addDuty(t.env(), ma, QDate(2024, 3, 4), start, end, pause, "Urlaub", flat);
        QCOMPARE(sumHours(t.env(), ma, QDate(2024, 3, 1), QDate(2024, 3, 31)), hours);
    }

    void cellTexts() {
        const QVariant none;
        const QVariant eight = timeValue(QTime(8, 0)), half5 = timeValue(QTime(16, 30));
        QCOMPARE(dutyText(eight, half5, "Frühdienst", 0.0), QString("08:00 - 16:30 Fr"));
        QCOMPARE(dutyText(eight, half5, none, none), QString("08:00 - 16:30 "));
        QCOMPARE(dutyText(timeValue(QTime(22, 0)), timeValue(QTime(6, 0), true), "NB", none),
                 QString("22:00 - 06:00 NB"));
        QCOMPARE(dutyText(none, none, "Urlaub", 7.7), QString("Urlaub"));
        QCOMPARE(dutyText(QString(""), none, "", 7.5), QString("7,5"));
        QCOMPARE(dutyText(none, none, none, none), QString("berechne"));
    }

    void freeAndWorkingDays() {
        testing::TestSession t(QDate(2024, 3, 15));
        t.createDatabase();
        data::DataUmgebung& env = t.env();
        for (const QDate& d : {QDate(2024, 4, 1), QDate(2024, 5, 2), QDate(2030, 5, 1)})
            testing::addRow(env.rsFeiertage, {{"Tag", engine::dateVariant(d)}});
        // April 2024: 30 days, 8 weekend days, Easter Monday
        QCOMPARE(workDays(env, QDate(2024, 4, 1), QDate(2024, 4, 30)), 21);
        QVERIFY(isFreeDay(env, QDate(2024, 12, 28))); // a Saturday
        QVERIFY(isFreeDay(env, QDate(2024, 5, 2)));   // a Thursday holiday
        QVERIFY(!isFreeDay(env, QDate(2024, 2, 5)));  // day and month are not swapped
        QVERIFY(isFreeDay(env, QDate(2030, 5, 1)));   // nor is 2030 read as 1930
        QCOMPARE(workDays(env, QDate(2030, 5, 1), QDate(2030, 5, 31)), 22);
    }

    void valueHelpers() {
        QCOMPARE(lastDayOfMonth(QDate(2024, 2, 15)), QDate(2024, 2, 29));
        QCOMPARE(fixedOrBlank(QVariant()) + fixedOrBlank(0.0) + fixedOrBlankLong(0), QString());
        QCOMPARE(fixedOrBlank(12.5), QString("12,50"));
        QCOMPARE(nullToDouble(QString("")), 0.0);
        QCOMPARE(nullToLong(2.5), 2); // halves to the even neighbour
        QVERIFY(emptyToNull(QString("")).isNull() && !emptyToNull(0).isNull());
    }
};

QTEST_MAIN(TestKonstanten)
#include "test_konstanten.moc"
