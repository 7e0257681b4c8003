// The working-time sheet on a fixed database, through its widgets: the grid of a month (rows,
// headers, times, hours, free-day and duty colours), the accounts and counts on the three tabs,
// duty keys and Delete, fields stored exactly as shown also when Escape closes the window, a
// refused number, and the sheet written as an HTML page and opened.

#include "platform/Formats.h"
#include "reports/TimeSheetHtml.h"
#include "reports/frmArbeitszeiten.h"
#include "roster/Konstanten.h"
#include "tests/print/HtmlRows.h"
#include "tests/support/DialogFixture.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/WriteFaults.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTabBar>
#include <QTableWidget>
#include <QtTest>

using testing::scalar;

class TestArbeitszeiten : public QObject, testing::DialogFixture<frmArbeitszeiten> {
    Q_OBJECT

    testing::HtmlRows rows;
    roster::MonthState month;

    void open(int employee, const QDate& first = QDate(2024, 3, 1)) {
        w.reset();
        month.firstDay = first;
        month.groupNumber = rows.group;
        roster::changedate(month);
        month.workDays = roster::workDays(env(), month.firstDay, month.lastDay);
        w = std::make_unique<frmArbeitszeiten>(t->session, month, employee,
                                               QStringLiteral("Station \"A\""));
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    QTableWidget* grid() { return child<QTableWidget>("Grid"); }
    QString cell(int row, int col) { return grid()->item(row, col)->text(); }
    quint32 colour(int row, int col) { return w->sheet().background(row, col); }
    void goToDay(int day) {
        grid()->setFocus();
        grid()->setCurrentCell(day, 1);
    }
    void typeInto(const char* name, const QString& text) {
        QLineEdit* e = edit(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    double stored(const char* column, int maNr, const QDate& day) {
        engine::Recordset rs;
        rs.openSql(env().Datenbank,
                   QStringLiteral("SELECT %1 FROM Dienstzeiten WHERE MaNr = [m] AND Tag = [d]")
                       .arg(QLatin1String(column)),
                   {maNr, day}, {QStringLiteral("m"), QStringLiteral("d")});
        return rs.eof() ? -1 : rs.value(0).toDouble();
    }
    int dutyCount(int maNr) { return testing::count(env(), QStringLiteral("Dienstzeiten"), maNr); }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanupTestCase() { platform::resetLocale(); }
    void init() {
        startSession(QDate(2024, 3, 15));
        rows = testing::htmlRows(env());
        testing::exec(env(),
                      QStringLiteral("INSERT INTO Standarddienste (Taste, Anfang, Ende, Pause, "
                                     "Kurzinfo, Farbe) VALUES ('F', [p0], [p1], 0.5, 'Früh', 255)"),
                      {engine::dayNumber(QTime(6, 0)), engine::dayNumber(QTime(14, 0))});
        env().rsStandarddienste.requery();
    }
    void cleanup() { endSession(); }

    void monthAsSheet() {
        open(rows.ivanova);
        QCOMPARE(w->windowTitle(), QStringLiteral("Arbeitszeiten für März 2024"));
        QCOMPARE(child<QComboBox>("DataCombo1")->currentText(), QStringLiteral("Иванова"));
        QCOMPARE(grid()->rowCount(), 32);
        QCOMPARE(grid()->columnCount(), 9);
        QStringList headers;
        for (int c = 0; c < 9; ++c)
            headers << cell(0, c);
        QCOMPARE(headers, QStringList({" ", "Anfang", "Ende", "Pause", "Pauschal", "Kurzinfo",
                                       "Zusatz 1", "Zusatz 2", "Arbeitszeit"}));
        QCOMPARE(cell(1, 0), QStringLiteral("01.Fr"));
        // 22:00 to 06:00 with half an hour's break, on a Sunday, without a colour of its own
        QCOMPARE(
            QStringList({cell(3, 1), cell(3, 2), cell(3, 3), cell(3, 4), cell(3, 5), cell(3, 8)}),
            QStringList({"22:00", "06:00", "0,50", "", "Nacht", "7,5"}));
        for (int c = 0; c <= 8; ++c)
            QCOMPARE(colour(3, c), roster::DefaultWeekendColor);
        QCOMPARE(grid()->item(3, 4)->background().color(), QColor(119, 253, 209));
        // flat hours alone
        QCOMPARE(QStringList({cell(12, 1), cell(12, 4), cell(12, 5), cell(12, 8)}),
                 QStringList({"", "8,00", "<script>", "8"}));
        QCOMPARE(colour(12, 8), roster::White); // a work day: white is written
        QCOMPARE(colour(13, 8), 0xFFFFFFFFu);   // a day without duty keeps no colour
        QCOMPARE(txt("txtArbTage"), QStringLiteral("20"));

        open(rows.mueller);
        QCOMPARE(colour(9, 0), roster::DefaultWeekendColor); // a coloured duty on a Saturday
        for (int c = 1; c <= 8; ++c)
            QCOMPARE(colour(9, c), quint32(testing::Red));
        QCOMPARE(cell(29, 0), QStringLiteral("29.Fr")); // the holiday
        QCOMPARE(colour(29, 0), roster::DefaultWeekendColor);

        open(rows.ivanova, QDate(2024, 4, 1)); // a month of 30 days
        QCOMPARE(grid()->rowCount(), 31);
        QCOMPARE(w->windowTitle(), QStringLiteral("Arbeitszeiten für April 2024"));
    }

    // The sheet opens within the screen's free area with its buttons and accounts inside it.
    void fitsTheScreen() {
        open(rows.mueller);
        const QRect screen = w->screen()->availableGeometry();
        QVERIFY(screen.contains(w->geometry()));
        for (const char* name : {"Command1", "cmdDrucken", "Text1", "DataCombo1"}) {
            auto* control = child<QWidget>(name);
            const QRect inWindow(control->mapTo(w.get(), QPoint(0, 0)), control->size());
            QVERIFY2(w->rect().contains(inWindow), name);
        }
    }

    void accountsAndCounts() {
        const int m = rows.mueller;
        testing::duty(env(), m, QDate(2024, 3, 11), {}, {}, 0, 0, 1.5, 0, QStringLiteral("Urlaub"));
        testing::duty(env(), m, QDate(2024, 3, 12), {}, {}, 0, 0, 1, 2, QStringLiteral("urlaub"));
        testing::duty(env(), m, QDate(2024, 3, 13), {}, {}, 0, 0, 0, 0,
                      QStringLiteral("Krankheit"));
        testing::duty(env(), m, QDate(2024, 1, 10), {}, {}, 0, 0, 4, 0, QStringLiteral("Urlaub"));
        open(m);
        QCOMPARE(txt("txtsum_0"), QStringLiteral("16,00"));
        QCOMPARE(txt("txtsum_1"), QStringLiteral("152,50"));
        QCOMPARE(txt("Text2"), QStringLiteral("-136,50"));
        QCOMPARE(txt("txtSumVormonat"), QStringLiteral("5,50"));
        QCOMPARE(txt("Text1"), QStringLiteral("-131,00"));
        QCOMPARE(txt("Text13"), QStringLiteral("152,50"));
        QVERIFY(edit("Text13")->isVisible() && child<QLabel>("Label22")->isVisible());
        QCOMPARE(QStringList({txt("Text3"), txt("Text4"), txt("Text5"), txt("Text6")}),
                 QStringList({"2,00", "1,00", "3,00", "1,00"}));
        QCOMPARE(QStringList({txt("Text11"), txt("Text12"), txt("Text8"), txt("Text7")}),
                 QStringList({"2,5", "2", "6,5", "2"}));
        QCOMPARE(edit("txtArbTage")->toolTip(), QStringLiteral("Arbeitstage für diesem Monat."));
        QCOMPARE(edit("txtsum_1")->toolTip(), QStringLiteral("Sollstunden"));
        QCOMPARE(edit("txtsum_0")->toolTip(), QStringLiteral("Tatsächliche Arbeitszeit"));

        // the tabs show one panel each
        auto* tabs = child<QTabBar>("TabStrip1");
        QCOMPARE(tabs->tabText(2), QStringLiteral("Zusatz Summen"));
        QVERIFY(child<QWidget>("Frame1_1")->isVisible() &&
                !child<QWidget>("Frame1_2")->isVisible());
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QVERIFY(!child<QWidget>("Frame1_1")->isVisible() &&
                child<QWidget>("Frame1_2")->isVisible());
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
        QVERIFY(!child<QWidget>("Frame1_2")->isVisible() &&
                child<QWidget>("Frame1_3")->isVisible());

        // without a statistics row: the roster's account (20 work days of 8 hours, nothing
        // carried), her own counts and not those shown before, no target override
        auto* chooser = child<QComboBox>("DataCombo1");
        chooser->setCurrentIndex(chooser->findData(rows.ivanova));
        Q_EMIT chooser->activated(chooser->currentIndex());
        QCOMPARE(QStringList({txt("txtsum_0"), txt("txtsum_1"), txt("Text2"), txt("txtSumVormonat"),
                              txt("Text1")}),
                 QStringList({"15,50", "160,00", "-144,50", "0,00", "-144,50"}));
        QCOMPARE(QStringList({txt("Text3"), txt("Text4"), txt("Text5"), txt("Text6")}),
                 QStringList({"", "", "", ""}));
        QVERIFY(edit("Text13")->isHidden() && child<QLabel>("Label22")->isHidden());
    }

    void dutyKeysAndDelete() {
        const int m = rows.mueller;
        open(m);
        const int before = dutyCount(m);
        goToDay(14);
        QCOMPARE(txt("txtTag"), QStringLiteral("14.3.2024"));
        QVERIFY(child<QGroupBox>("frame2")->isVisible() && child<QGroupBox>("fraZeit")->isHidden());
        QTest::keyClick(grid(), Qt::Key_Delete); // nothing to delete
        QCOMPARE(dutyCount(m), before);
        QVERIFY(prompts().messages().isEmpty());

        QTest::keyClick(grid(), Qt::Key_X);
        QCOMPARE(prompts().lastMessage().text,
                 QStringLiteral("Dieser Taste ist kein Dienst zugeordnet. \nTaste: X ; Code: 88"));
        QCOMPARE(dutyCount(m), before);

        QTest::keyClick(grid(), Qt::Key_F);
        QCOMPARE(dutyCount(m), before + 1);
        QCOMPARE(cell(14, 1), QStringLiteral("06:00"));
        QCOMPARE(cell(14, 8), QStringLiteral("7,5"));
        QCOMPARE(txt("txtsum_0"), QStringLiteral("23,50"));
        QCOMPARE(grid()->currentRow(), 14);
        QVERIFY(child<QGroupBox>("fraZeit")->isVisible());
        QCOMPARE(txt("Txtkurzinfo"), QStringLiteral("Früh"));
        QVERIFY(grid()->hasFocus());

        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(dutyCount(m), before);
        QCOMPARE(cell(14, 1), QString());
        QVERIFY(child<QGroupBox>("frame2")->isVisible());
    }

    void editsAreStoredAsShown() {
        const int iv = rows.ivanova;
        const QDate sunday(2024, 3, 3);
        open(iv);
        goToDay(3);
        QCOMPARE(txt("txtPause"), QStringLiteral("0,50"));
        typeInto("txtPause", QStringLiteral("1"));
        QTest::keyClick(edit("txtPause"), Qt::Key_Return); // Enter moves on like Tab
        QCOMPARE(stored("Pause", iv, sunday), 1.0);
        QCOMPARE(cell(3, 3), QStringLiteral("1,00"));
        QCOMPARE(cell(3, 8), QStringLiteral("7"));
        QVERIFY(edit("txtpauschalstunden")->hasFocus());

        // the end moves before the start: it runs past midnight and keeps its hours right
        typeInto("MaskEdBox1", QStringLiteral("0700"));
        QTest::keyClick(edit("MaskEdBox1"), Qt::Key_Tab);
        QCOMPARE(cell(3, 2), QStringLiteral("07:00"));
        QCOMPARE(cell(3, 8), QStringLiteral("8"));

        // a refused number keeps the focus and stores nothing
        typeInto("Text9", QStringLiteral("abc"));
        QTest::keyClick(edit("Text9"), Qt::Key_Tab);
        QCOMPARE(prompts().lastMessage().text, QStringLiteral("Überprüfen Sie Ihre Eingabe"));
        QTRY_VERIFY(edit("Text9")->hasFocus());
        QCOMPARE(stored("S1", iv, sunday), 0.0);
        typeInto("Text9", QStringLiteral("2,5"));
        QTest::keyClick(edit("Text9"), Qt::Key_Tab);
        QCOMPARE(stored("S1", iv, sunday), 2.5);
        QCOMPARE(cell(3, 6), QStringLiteral("2,50"));

        // Escape drops only the field still being typed in
        typeInto("Text10", QStringLiteral("9"));
        QTest::keyClick(edit("Text10"), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(stored("S2", iv, sunday), 0.0);
        QCOMPARE(stored("Pause", iv, sunday), 1.0);

        open(iv);
        goToDay(3);
        QCOMPARE(txt("txtPause"), QStringLiteral("1,00"));
        QCOMPARE(txt("Text9"), QStringLiteral("2,50"));
        QCOMPARE(txt("Text10"), QStringLiteral("0,00"));
        QCOMPARE(cell(3, 8), QStringLiteral("8"));
    }

    void targetOverrideAndSaveAndClose() {
        open(rows.mueller);
        typeInto("Text13", QStringLiteral("140"));
        goToDay(4);
        typeInto("txtBemerkung", QStringLiteral("Tausch & <Mo>"));
        click("Command1");
        QVERIFY(!w->isVisible());
        QCOMPARE(scalar(env(), QStringLiteral("SELECT Soll FROM Statistik WHERE MaNr = [p0]"),
                        {rows.mueller}),
                 140);
        engine::Recordset rs;
        rs.openSql(
            env().Datenbank,
            QStringLiteral("SELECT Bemerkung FROM Dienstzeiten WHERE MaNr = [m] AND Tag = [d]"),
            {rows.mueller, QDate(2024, 3, 4)}, {QStringLiteral("m"), QStringLiteral("d")});
        QCOMPARE(rs.value(0).toString(), QStringLiteral("Tausch & <Mo>"));
        open(rows.mueller);
        QCOMPARE(txt("txtsum_1"), QStringLiteral("140,00"));
    }

    void sheetAsPage() {
        QStringList opened;
        open(rows.mueller);
        w->openFile = [&opened](const QString& path) {
            opened << path;
            return true;
        };
        const QString documents = t->session.services.folders.documentsFolder;
        const QString path = documents + QStringLiteral("/blatt.html");
        prompts().queueFile(path);
        click("cmdDrucken");
        const platform::FileRequest asked = prompts().saveRequests.last();
        QCOMPARE(asked.defaultName, QStringLiteral("tnv-Müller & <Söhne>-03.html"));
        QCOMPARE(asked.defaultExtension, QStringLiteral(".html"));
        QCOMPARE(asked.filterIndex, 2);
        QCOMPARE(opened, QStringList({path}));
        QVERIFY(testing::matchesGolden(testing::readBytes(path),
                                       QStringLiteral("reports/sheet-2024-03.html")));
        QVERIFY(prompts().messages().isEmpty());

        // twice to the same path; no program for the page: said so
        w->openFile = [](const QString&) { return false; };
        prompts().queueFile(path);
        click("cmdDrucken");
        QVERIFY(prompts().lastMessage().text.contains(QStringLiteral("kein Programm")));
        QVERIFY(testing::matchesGolden(testing::readBytes(path),
                                       QStringLiteral("reports/sheet-2024-03.html")));

        // a disk that fills at the last bytes: the old page stays, a message, nothing opened
        opened.clear();
        w->openFile = [&opened](const QString& page) {
            opened << page;
            return true;
        };
        {
            const testing::FailingWrites failing(testing::FailingStep::LastWrite);
            prompts().queueFile(path);
            click("cmdDrucken");
        }
        QVERIFY(prompts().lastMessage().text.endsWith(QStringLiteral("Der Datenträger ist voll.")));
        QVERIFY(testing::matchesGolden(testing::readBytes(path),
                                       QStringLiteral("reports/sheet-2024-03.html")));
        QVERIFY(opened.isEmpty());

        // a folder that does not exist: a message, nothing opened
        prompts().queueFile(documents + QStringLiteral("/fehlt/blatt.html"));
        click("cmdDrucken");
        QVERIFY(prompts().lastMessage().text.contains(
            QStringLiteral("konnte nicht geschrieben werden")));

        // cancelled: nothing at all
        const qsizetype shown = prompts().messages().size();
        click("cmdDrucken");
        QCOMPARE(prompts().messages().size(), shown);

        QCOMPARE(reports::sheetPageName(QStringLiteral("A/B\\C:D"), month),
                 QStringLiteral("tnv-A-B-C-D-03.html"));
    }

private:
    QString txt(const char* name) { return edit(name)->text(); }
};

QTEST_MAIN(TestArbeitszeiten)
#include "test_arbeitszeiten.moc"
