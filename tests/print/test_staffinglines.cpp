// The line per shift under the printed roster and in its HTML page: none by default (the golden
// files of both stay as they are), and with the setting the counts of each day with the gaps
// marked, on the page under the table and as paragraphs after the HTML table.

#include "data/Staffing.h"
#include "platform/Formats.h"
#include "print/RosterHtml.h"
#include "print/RosterPage.h"
#include "tests/print/PrintRows.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/TestSession.h"

#include <QtTest>

class TestStaffingLines : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }

    void theLinesFollowTheSetting() {
        testing::TestSession t(QDate(2025, 1, 15));
        t.createDatabase();
        const int g = testing::wardRoster(t.env());
        engine::Connection& db = t.env().Datenbank;
        data::ensureStaffingTables(db);
        data::StaffingRequirement night;
        night.shift = QStringLiteral("Nacht");
        night.from = QTime(21, 0);
        night.to = QTime(6, 0);
        night.minimum = 1;
        data::saveStaffing(db, data::loadQualifications(db), {}, g, {night});
        const roster::MonthState month = testing::monthOf(t.env(), QDate(2025, 1, 1), g);
        // Anna's night of the 5th and Carla's of the 31st cover the window
        QString counts;
        for (int day = 1; day <= 31; ++day)
            counts += day == 5 || day == 31 ? QStringLiteral(" 1") : QStringLiteral(" 0!");
        const QStringList lines = {
            QStringLiteral("Nacht:") + counts,
            QStringLiteral("Anzahl je Tag vom 1. an; ! die Besetzung ist nicht erfüllt")};

        const auto draw = [&] {
            print::RosterPage page(t.session, month);
            print::RecordingSurface surface(testing::A4Long, testing::A4Short);
            surface.setFont(QFont(QStringLiteral("Arial"), 10));
            page.draw(surface, std::nullopt);
            return surface.ops.filter(QStringLiteral("Nacht:")) +
                   surface.ops.filter(QStringLiteral("Anzahl je Tag"));
        };
        const QString path = t.folder() + QStringLiteral("/plan.html");
        const auto html = [&] {
            if (!print::makehtmlplan(t.session, month, path)) return QStringList();
            return QString::fromLatin1(testing::readBytes(path))
                .split(QStringLiteral("\r\n"))
                .filter(QStringLiteral("<p>"));
        };
        QCOMPARE(draw(), QStringList());
        QCOMPARE(html(), QStringList());

        data::showStaffingLines(db, true);
        // under the table (700 + 36 rows of 260), half a row apart, with the text offset
        const QStringList ops = draw();
        QCOMPARE(ops.size(), 2);
        QVERIFY(ops.at(0).startsWith(QStringLiteral("text 0 10220 ")));
        QVERIFY(ops.at(0).endsWith(QLatin1Char('"') + lines.at(0) + QLatin1Char('"')));
        QVERIFY(ops.at(1).startsWith(QStringLiteral("text 0 10480 ")));
        QVERIFY(ops.at(1).endsWith(QLatin1Char('"') + lines.at(1) + QLatin1Char('"')));
        QCOMPARE(html(),
                 QStringList({QStringLiteral("<p>") + lines.at(0) + QStringLiteral("</p>"),
                              QStringLiteral("<p>") + lines.at(1) + QStringLiteral("</p>")}));
        data::showStaffingLines(db, false);
        QVERIFY(!data::staffingLinesShown(db));
    }
};

QTEST_MAIN(TestStaffingLines)
#include "test_staffinglines.moc"
