// Number and date texts in German and in US English, set explicitly.

#include "platform/Formats.h"

#include <QTest>

using namespace platform;

class TestFormats : public QObject {
    Q_OBJECT

private:
    static QLocale german() { return QLocale(QLocale::German, QLocale::Germany); }
    static QLocale american() { return QLocale(QLocale::English, QLocale::UnitedStates); }

private slots:
    void cleanup() { resetLocale(); }

    void numbers_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("fixedText");
        QTest::addColumn<QString>("general");
        const auto row = [](const char* name, const QLocale& locale, double value,
                            const char* fixedText, const char* general) {
            QTest::newRow(name) << locale << value << QString(fixedText) << QString(general);
        };
        row("de 7.5", german(), 7.5, "7,50", "7,5");
        row("de -7.5", german(), -7.5, "-7,50", "-7,5");
        row("de 8", german(), 8.0, "8,00", "8");
        row("de no minus on zero", german(), -0.001, "0,00", "-0,001");
        row("de negative zero", german(), -0.0, "0,00", "0");
        row("de thousands", german(), 12345.678, "12345,68", "12345,678");
        row("de third", german(), 1.0 / 3, "0,33", "0,333333333333333");
        row("de sum of tenths", german(), 0.1 + 0.2, "0,30", "0,3");
        row("en 7.5", american(), 7.5, "7.50", "7.5");
        row("en thousands", american(), 1234567.5, "1234567.50", "1234567.5");
    }
    void numbers() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(QString, fixedText);
        QFETCH(QString, general);
        setLocale(locale);
        QCOMPARE(fixed(value), fixedText);
        QCOMPARE(sumText(value), fixedText + "   ");
        QCOMPARE(generalNumber(value), general);
    }

    void parse_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("de comma") << german() << "1,5" << true << 1.5;
        QTest::newRow("de full stop") << german() << "7.5" << true << 7.5;
        QTest::newRow("de full stop, three decimals") << german() << "1.250" << true << 1.25;
        QTest::newRow("de blanks") << german() << "  -2,25 " << true << -2.25;
        QTest::newRow("de empty") << german() << "" << false << 0.0;
        QTest::newRow("de letters") << german() << "abc" << false << 0.0;
        QTest::newRow("de two commas") << german() << "1,2,3" << false << 0.0;
        QTest::newRow("de grouped") << german() << "1.234,5" << false << 0.0;
        QTest::newRow("en full stop") << american() << "7.5" << true << 7.5;
        QTest::newRow("en comma") << american() << "7,5" << false << 0.0;
    }
    void parse() {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        setLocale(locale);
        bool ok = !valid;
        QCOMPARE(parseNumber(text, &ok), value);
        QCOMPARE(ok, valid);
        QCOMPARE(parseNumber(fixed(value)), value); // what the program writes it reads back
    }

    void germanDates() {
        setLocale(german());
        const QDate tuesday(2024, 3, 5);
        QCOMPARE(dayLabel(tuesday), QString("05.Di"));
        QCOMPARE(monthName(3), QString("März"));
        QCOMPARE(monthTitle(QDate(2026, 12, 1)), QString("Dezember.26"));
        QCOMPARE(monthTitle(QDate(2005, 1, 1)), QString("Januar.05"));
        QCOMPARE(monthYear(QDate(2026, 12, 1)), QString("Dezember 2026"));
        QCOMPARE(shortDatePattern(), QString("dd.MM.yy"));
        QCOMPARE(shortDate(tuesday), QString("05.03.24"));
        QCOMPARE(dateSeparator(), QString("."));
    }

    void americanDates() {
        setLocale(american());
        QCOMPARE(dayLabel(QDate(2024, 3, 5)), QString("05.Tue"));
        QCOMPARE(monthYear(QDate(2026, 12, 1)), QString("December 2026"));
        QCOMPARE(dateSeparator(), QString("/"));
        QCOMPARE(shortDate(QDate(2024, 3, 5)), QString("3/5/24"));
    }

    void localeIndependentTexts() {
        for (const QLocale& locale : {german(), american()}) {
            setLocale(locale);
            QCOMPARE(timeText(QTime(7, 5)), QString("07:05"));
            QCOMPARE(sqlDate(QDate(2024, 3, 15)), QString("3/15/2024"));
            QCOMPARE(sqlDateLiteral(QDate(2024, 12, 1)), QString("#12/1/2024#"));
            QCOMPARE(sqlDateLiteral(QDate(999, 1, 2)), QString("#1/2/0999#"));
        }
    }

    void localeRule() {
        setLocale(german());
        QCOMPARE(locale(), german());
        resetLocale();
        const QLocale expected =
            QLocale::system().language() == QLocale::C ? german() : QLocale::system();
        QCOMPARE(locale(), expected);
        setLocale(american());
        setLocale(QLocale::system()); // the default locale restores the rule
        QCOMPARE(locale(), expected);
    }

    void currencyUsesLocale() {
        setLocale(german());
        QVERIFY(currency(7.5).contains("7,50"));
        QVERIFY(currency(7.5).contains(QChar(0x20AC)));
    }
};

QTEST_GUILESS_MAIN(TestFormats)
#include "test_formats.moc"
