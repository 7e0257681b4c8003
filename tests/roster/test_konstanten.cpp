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

    void hourRuleInMemoryAndInTheDatabase_data() {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QTime>("end");
        QTest::addColumn<double>("pause");
        QTest::addColumn<double>("flat");
        QTest::addColumn<double>("hours");
        QTest::newRow("night with break") << QTime(22, 0) << QTime(6, 0) << 0.5 << 0.0 << 7.5;
        QTest::newRow("early with minutes") << QTime(8, 0) << QTime(16, 30) << 0.5 << 0.0 << 8.0;
        QTest::newRow("times and flat hours") << QTime(6, 0) << QTime(14, 15) << 0.0 << 1.5 << 9.75;
        // without times the break drops out with them: only the flat hours count
        QTest::newRow("no times") << QTime() << QTime() << 0.5 << 7.7 << 7.7;
    }
    void hourRuleInMemoryAndInTheDatabase() {
        QFETCH(QTime, start);
        QFETCH(QTime, end);
        QFETCH(double, pause);
        QFETCH(double, flat);
        QFETCH(double, hours);
        const bool nextDay = start.isValid() && end < start;
        QCOMPARE(dutyHours(timeValue(start), timeValue(end, nextDay), pause, flat), hours);

        testing::TestSession t(QDate(2024, 3, 15));
        t.createDatabase();
        const int ma = testing::addEmployee(t.env(), "Anna", QDate(2024, 1, 1));
        testing::addDuty(t.env(), ma, QDate(2024, 3, 4), start, end, pause, "Urlaub", flat);
        QCOMPARE(sumHours(t.env(), ma, QDate(2024, 3, 1), QDate(2024, 3, 31)), hours);
    }

    void cellTexts() {
        const QVariant none;
        QCOMPARE(dutyText(timeValue(QTime(8, 0)), timeValue(QTime(16, 30)), "Frühdienst", 0.0),
                 QString("08:00 - 16:30 Fr"));
        QCOMPARE(dutyText(timeValue(QTime(8, 0)), timeValue(QTime(16, 30)), "", 0.0),
                 QString("08:00 - 16:30 "));
        QCOMPARE(dutyText(timeValue(QTime(8, 0)), timeValue(QTime(16, 30)), none, none),
                 QString("08:00 - 16:30 "));
        // the extra day of a night duty's end never shows
        QCOMPARE(dutyText(timeValue(QTime(22, 0)), timeValue(QTime(6, 0), true), "NB", none),
                 QString("22:00 - 06:00 NB"));
        QCOMPARE(dutyText(none, none, "Urlaub", 7.7), QString("Urlaub"));
        QCOMPARE(dutyText(QString(""), none, "", 7.5), QString("7,5"));
        QCOMPARE(dutyText(none, none, none, none), QString("berechne"));
        QCOMPARE(dutyText(none, none, "", none), QString("berechne"));
    }

    void freeAndWorkingDays() {
        testing::TestSession t(QDate(2024, 3, 15));
        t.createDatabase();
        data::DataUmgebung& env = t.env();
        testing::addHoliday(env, QDate(2024, 4, 1), "Ostermontag");
        testing::addHoliday(env, QDate(2024, 5, 2)); // a Thursday
        testing::addHoliday(env, QDate(2030, 5, 1)); // a Wednesday
        // April 2024: 30 days, 8 weekend days, Easter Monday
        QCOMPARE(workDays(env, QDate(2024, 4, 1), QDate(2024, 4, 30)), 21);
        QVERIFY(isFreeDay(env, QDate(2024, 4, 1)));
        QVERIFY(isFreeDay(env, QDate(2024, 12, 28))); // a Saturday
        QVERIFY(isFreeDay(env, QDate(2024, 5, 2)));
        // day and month are never swapped: 2 May does not make 5 February free
        QVERIFY(!isFreeDay(env, QDate(2024, 2, 5)));
        // nor is 2030 read as 1930
        QVERIFY(isFreeDay(env, QDate(2030, 5, 1)));
        QVERIFY(!isFreeDay(env, QDate(2030, 5, 2)));
        QCOMPARE(workDays(env, QDate(2030, 5, 1), QDate(2030, 5, 31)),
                 22); // 31 days, 8 weekend days
        QCOMPARE(workDays(env, QDate(2024, 4, 5), QDate(2024, 4, 4)), 0);
        // the holiday read for a range is the same as one day at a time
        const Holidays april(env, QDate(2024, 4, 1), QDate(2024, 4, 30));
        for (QDate d(2024, 4, 1); d.month() == 4; d = d.addDays(1))
            QCOMPARE(isFreeDay(april, d), isFreeDay(env, d));
    }

    void lastDays() {
        QCOMPARE(lastDayOfMonth(QDate(2024, 1, 31)), QDate(2024, 1, 31));
        QCOMPARE(lastDayOfMonth(QDate(2024, 2, 15)), QDate(2024, 2, 29));
        QCOMPARE(lastDayOfMonth(QDate(2023, 2, 1)), QDate(2023, 2, 28));
        QCOMPARE(lastDayOfMonth(QDate(2024, 12, 1)), QDate(2024, 12, 31));
    }

    void nullSafeValues() {
        QCOMPARE(fixedOrBlank(QVariant()), QString());
        QCOMPARE(fixedOrBlank(0.0), QString());
        QCOMPARE(fixedOrBlank(12.5), QString("12,50"));
        QCOMPARE(fixedOrBlankLong(0), QString());
        QCOMPARE(fixedOrBlankLong(-3), QString("-3,00"));
        QCOMPARE(nullToDouble(QVariant()), 0.0);
        QCOMPARE(nullToDouble(QString("")), 0.0);
        QCOMPARE(nullToDouble(7.25), 7.25);
        QCOMPARE(nullToLong(QVariant()), 0);
        QCOMPARE(nullToLong(qint64(17)), 17);
        QCOMPARE(nullToLong(2.5), 2); // halves to the even neighbour
        QCOMPARE(nullToLong(3.5), 4);
        QVERIFY(emptyToNull(QString("")).isNull());
        QCOMPARE(emptyToNull(QString("F")), QVariant(QString("F")));
        QCOMPARE(emptyToNull(0), QVariant(0));
    }

    void fontCopy() {
        QFont src(QStringLiteral("Courier"), 11);
        src.setBold(true);
        src.setItalic(true);
        QFont dst(QStringLiteral("Arial"), 8);
        dst.setUnderline(true);
        copyFont(src, dst);
        QCOMPARE(dst.family(), src.family());
        QCOMPARE(dst.pointSizeF(), 11.0);
        QVERIFY(dst.bold() && dst.italic());
        QVERIFY(dst.underline()); // not one of the copied properties
    }
};

QTEST_MAIN(TestKonstanten)
#include "test_konstanten.moc"
