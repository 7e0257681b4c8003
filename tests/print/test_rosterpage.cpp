// The roster page drawn on the recording surface and compared, operation by operation, with the
// golden files; the page picture's colours under the free-day band.

#include "platform/Formats.h"
#include "print/QPainterSurface.h"
#include "print/RosterPage.h"
#include "tests/print/PrintRows.h"
#include "tests/support/TestSession.h"

#include <QFontInfo>
#include <QImage>
#include <QtTest>

using print::RecordingSurface;

class TestRosterPage : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::TestSession> t;

    // Every page of the month on a sheet of that size, in a 10-point print font.
    RecordingSurface drawAll(int group, const QDate& first, double width, double height,
                             int* pages = nullptr) {
        const roster::MonthState month = testing::monthOf(t->env(), first, group);
        print::RosterPage page(t->session, month);
        page.windowFont = QFont(QStringLiteral("Sans"), 8);
        RecordingSurface surface(width, height);
        surface.setFont(QFont(QStringLiteral("Arial"), 10));
        const int n = page.draw(surface, std::nullopt);
        if (pages) *pages = n;
        return surface;
    }
    static int count(const RecordingSurface& s, const QString& start) {
        int n = 0;
        for (const QString& op : s.ops)
            n += op.startsWith(start) ? 1 : 0;
        return n;
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void init() {
        t = std::make_unique<testing::TestSession>(QDate(2025, 1, 15));
        t->createDatabase();
    }
    void cleanup() { t.reset(); }

    void geometryFollowsThePrintFont() {
        const roster::MonthState month = testing::monthOf(t->env(), QDate(2025, 1, 1), 1);
        RecordingSurface surface(testing::A4Long, testing::A4Short);
        surface.setFont(QFont(QStringLiteral("Arial"), 10));
        const print::PageGeometry g = print::RosterPage(t->session, month).measure(surface);
        QCOMPARE(g.rowHeight, 260);  // 200 × 1.3
        QCOMPARE(g.colWidth, 1600);  // "22:00 - 22:00 NB"
        QCOMPARE(g.labelWidth, 800); // "Vormonat"
        QCOMPARE(g.textOffset, 30);
        QCOMPARE(g.tableBottom, 700 + 36 * 260);
        surface.setFont(QFont(QStringLiteral("Arial"), 9));
        QCOMPARE(print::RosterPage(t->session, month).measure(surface).rowHeight, 234);
        // halves go to the even neighbour
        QCOMPARE(print::roundHalfEven(2.5), 2);
        QCOMPARE(print::roundHalfEven(3.5), 4);
        QCOMPARE(print::roundHalfEven(-0.5), 0);
    }

    // A 31-day month with a holiday; positions 1, 2, 3 and 7 and one at 0; a member without
    // duties; stored targets of 0 falling back to the flat target and to work days × norm hours;
    // coloured duties on free days and on a weekday.
    void wardMonthInLandscape() {
        const int g = testing::wardRoster(t->env());
        int pages = 0;
        const RecordingSurface s =
            drawAll(g, QDate(2025, 1, 1), testing::A4Long, testing::A4Short, &pages);
        QCOMPARE(pages, 1);
        QVERIFY(!s.text().contains(QStringLiteral("Dora")));
        QVERIFY(testing::matchesGolden(s, QStringLiteral("ward-2025-01")));
    }

    void februaryInPortrait() {
        const int g = testing::wardRoster(t->env());
        const RecordingSurface s = drawAll(g, QDate(2025, 2, 1), testing::A4Short, testing::A4Long);
        QVERIFY(s.text().contains(QStringLiteral("\"28.Fr\"")));
        QVERIFY(!s.text().contains(QStringLiteral("\"29.")));
        QVERIFY(testing::matchesGolden(s, QStringLiteral("ward-2025-02-portrait")));
    }

    // Names as long as the database allows: the heading stands after the month and before the
    // maker line, shortened with "..."; a long name stays in its column, a duty text as wide as
    // the column stays whole.
    void longTextsStayInTheirPlaces() {
        testing::exec(t->env(), QStringLiteral("INSERT INTO Einstellungen (OrgName) VALUES ([p0])"),
                      {QString(50, QLatin1Char('O'))});
        const int g = testing::group(t->env(), QString(50, QLatin1Char('G')));
        const int ma = testing::employee(t->env(), QString(49, QLatin1Char('N')), 1);
        testing::member(t->env(), g, ma, 1);
        testing::colouredDuty(t->env(), ma, QDate(2025, 1, 6), QTime(), QTime(),
                              QStringLiteral("Fortbildung BS1"), 0xFFFFFF, 8);
        t->env().rsMitarbeiter.requery();
        t->env().MaNachGrp(g);
        const RecordingSurface s = drawAll(g, QDate(2025, 1, 1), testing::A4Long, testing::A4Short);
        QVERIFY(testing::matchesGolden(s, QStringLiteral("long-texts")));
        for (const QString& op : s.ops) {
            if (!op.startsWith(QLatin1String("text "))) continue;
            const double x = op.section(QLatin1Char(' '), 1, 1).toDouble();
            const QString text = op.section(QLatin1Char('"'), 1, 1);
            if (text.startsWith(QLatin1Char('O'))) {
                QVERIFY(x >= 200 + 11 * 160); // after "Januar 2025" in 16 points
                QVERIFY(x + text.size() * 160 <= testing::A4Long - 7 * 160); // before "Karbeno"
                QVERIFY(text.endsWith(QLatin1String("...")));
            }
            if (text.startsWith(QLatin1Char('N')) || text.startsWith(QLatin1String("Fort"))) {
                QVERIFY(x >= 800); // inside the column after the labels
                QVERIFY(x + text.size() * 100 <= 800 + 1600);
                QCOMPARE(text.endsWith(QLatin1String("...")), text.startsWith(QLatin1Char('N')));
            }
        }
    }

    // Nine columns fit across a landscape sheet and six across a portrait one: 18 members fill
    // the last page exactly, and no page of labels alone follows it.
    void membersSpreadOverPages_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("members");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("golden");
        QTest::newRow("landscape")
            << testing::A4Long << testing::A4Short << 18 << 2 << QStringLiteral("wide-landscape");
        QTest::newRow("portrait") << testing::A4Short << testing::A4Long << 18 << 3
                                  << QStringLiteral("wide-portrait");
        QTest::newRow("portrait, one more")
            << testing::A4Short << testing::A4Long << 19 << 4 << QString();
    }
    void membersSpreadOverPages() {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, members);
        QFETCH(int, pages);
        QFETCH(QString, golden);
        const int g = testing::wideGroup(t->env(), members, QDate(2025, 3, 1));
        int drawn = 0;
        const RecordingSurface s = drawAll(g, QDate(2025, 3, 1), width, height, &drawn);
        QCOMPARE(drawn, pages);
        QCOMPARE(count(s, QStringLiteral("newpage")), pages - 1);
        // every page: the labels left and right, the title and the maker line
        QCOMPARE(count(s, QStringLiteral("text 0 ")), pages * (31 + 4));
        QCOMPARE(s.text().count(QStringLiteral("\"Sollstd.\"")), 2 * pages);
        QCOMPARE(s.text().count(QStringLiteral("\"März 2025\"")), pages);
        QCOMPARE(s.text().count(QStringLiteral("\"Karbeno\"")), pages);
        QCOMPARE(s.text().count(QStringLiteral("\"06:00 - 14:00 \"")), members);
        if (!golden.isEmpty()) QVERIFY(testing::matchesGolden(s, golden));
    }

    // The preview draws only the chosen page but counts them all.
    void previewDrawsTheChosenPage() {
        const int g = testing::wideGroup(t->env(), 18, QDate(2025, 3, 1));
        const roster::MonthState month = testing::monthOf(t->env(), QDate(2025, 3, 1), g);
        print::RosterPage page(t->session, month);
        RecordingSurface second(testing::A4Long, testing::A4Short);
        second.setFont(QFont(QStringLiteral("Arial"), 10));
        QCOMPARE(page.draw(second, 2), 2);
        QVERIFY(!second.text().contains(QStringLiteral("\"M09\"")));
        QVERIFY(second.text().contains(QStringLiteral("\"M10\"")));
        QVERIFY(second.text().contains(QStringLiteral("\"M18\"")));
        QCOMPARE(second.text().count(QStringLiteral("newpage")), 0);
        RecordingSurface none(testing::A4Long, testing::A4Short);
        none.setFont(QFont(QStringLiteral("Arial"), 10));
        QCOMPARE(page.draw(none, 3), 2);
        QCOMPARE(none.ops.size(), 1); // the font alone
    }

    // The maker line's font is found as its metric-compatible substitute where it is missing.
    void makerFontIsMetricCompatible() {
        const QString family = QFontInfo(QFont(QStringLiteral("Times New Roman"))).family();
        QVERIFY2(family == QLatin1String("Times New Roman") ||
                     family == QLatin1String("Liberation Serif"),
                 qPrintable(family));
    }

    // Page 1 as a picture: the band over a Saturday is light grey, a red duty on a Sunday turns
    // into 220/35/35, a duty without colour on a weekday has no fill.
    void bandColoursOnThePicture() {
        const int g = testing::wardRoster(t->env());
        const roster::MonthState month = testing::monthOf(t->env(), QDate(2025, 1, 1), g);
        QImage image(1123, 794, QImage::Format_RGB32); // A4 landscape at 96 dpi
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        print::QPainterSurface surface(image, testing::A4Long);
        surface.setFont(QFont(QStringLiteral("Liberation Sans"), 10));
        QVERIFY(surface.begin());
        print::RosterPage page(t->session, month);
        QCOMPARE(page.draw(surface, 1), 1);
        QVERIFY(surface.end());
        const print::PageGeometry geo = page.measure(surface);
        // a cell of a column (1-based) and a day of January, two pixels above its bottom rule,
        // below the text
        const auto cell = [&](int column, int day) {
            const double x = geo.labelWidth + (column - 1) * geo.colWidth + geo.colWidth / 2.0;
            const double bottom = print::TableTop + (day + 2) * geo.rowHeight;
            return image.pixelColor(int(x / 15), int(bottom / 15) - 2);
        };
        QCOMPARE(cell(2, 4), QColor(220, 220, 220)); // Saturday, Bernd has no duty
        QCOMPARE(cell(1, 5), QColor(220, 35, 35));   // Sunday, Anna's red night duty
        QCOMPARE(cell(1, 6), QColor(255, 255, 255)); // Monday, Anna's duty without colour
        QCOMPARE(cell(2, 7), QColor(255, 255, 255)); // a weekday without duty
        QCOMPARE(cell(3, 1), QColor(220, 220, 220)); // the holiday
        // Emil's yellow leave on the Saturday: its fill and its text under the band
        QCOMPARE(cell(3, 4), QColor(220, 220, 35));
        int darkest = 255;
        const int top = (print::TableTop + 5 * geo.rowHeight) / 15 + 2;
        const int left = (geo.labelWidth + 2 * geo.colWidth) / 15 + 2;
        for (int y = top; y < top + geo.rowHeight / 15 - 3; ++y)
            for (int x = left; x < left + geo.colWidth / 15 - 4; ++x)
                darkest = qMin(darkest, qGray(image.pixel(x, y)));
        QVERIFY2(darkest >= 35 && darkest < 120, qPrintable(QString::number(darkest)));
    }
};

QTEST_MAIN(TestRosterPage)
#include "test_rosterpage.moc"
