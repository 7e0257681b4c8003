// The roster as a planner works in it all day, on the real main window: the names, targets and
// labels stay in place while the cells scroll and the cursor stays out of them; the window fits
// a small screen; the status panels never overlap and keep their texts readable or in their
// tooltips; every modal window opened from the roster gives the keyboard focus back to the
// grid; a hidden employee leaves the roster at once.

#include "engine/Recordset.h"
#include "platform/Formats.h"
#include "platform/ScreenFit.h"
#include "platform/ScriptedPrompts.h"
#include "roster/Konstanten.h"
#include "shell/FlexGrid.h"
#include "shell/StatusPanel.h"
#include "shell/frmTurnova.h"
#include "tests/support/Modal.h"
#include "tests/support/TestDesk.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

#include <functional>

using testing::ModalSeen;
using testing::onModal;
using testing::TestDesk;

namespace {

// December 2026: the 1st is a Tuesday, the 26th and 27th are a weekend.
const QDate December(2026, 12, 1);

} // namespace

class TestRosterDesk : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> desk;
    std::unique_ptr<frmTurnova> w;
    QList<int> staff;

    data::DataUmgebung& env() { return w->session().env; }
    FlexGrid* grid() { return w->grid(); }
    void exec(const QString& sql, const QVariantList& values = {}, const QStringList& names = {}) {
        env().Datenbank.execute(sql, values, names);
    }
    int scalar(const QString& sql, const QVariantList& values = {}, const QStringList& names = {}) {
        engine::Recordset rs;
        rs.openSql(env().Datenbank, sql, values, names);
        return rs.eof() ? -1 : rs.value(0).toInt();
    }
    // Employees M1 to Mn at positions 1 to n of "Alle Ma."
    void addStaff(int n) {
        for (int i = 1; i <= n; ++i) {
            exec(QStringLiteral("INSERT INTO Mitarbeiter (PlanName, Nachname, normstunden, "
                                "DienstPos) VALUES (n, n, 8, p)"),
                 {QStringLiteral("M%1").arg(i), i}, {QStringLiteral("n"), QStringLiteral("p")});
            staff << int(env().Datenbank.lastInsertRowId());
            exec(QStringLiteral(
                     "INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES (1, m, p)"),
                 {staff.last(), i}, {QStringLiteral("m"), QStringLiteral("p")});
        }
    }
    QModelIndex at(int row, int col) { return grid()->model()->index(row, col); }
    QRect rectOf(int row, int col) { return grid()->visualRect(at(row, col)); }
    bool inView(const QRect& r) { return grid()->viewport()->rect().contains(r); }
    int dutiesOf(int maNr, const QDate& day) {
        return scalar(
            QStringLiteral("SELECT count(*) FROM Dienstzeiten WHERE MaNr = m AND Tag = d"),
            {maNr, day}, {QStringLiteral("m"), QStringLiteral("d")});
    }
    void wheel(int notches) {
        const QPoint pos = grid()->viewport()->rect().center();
        QWheelEvent event(pos, grid()->viewport()->mapToGlobal(pos), QPoint(),
                          QPoint(0, -120 * notches), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid()->viewport(), &event);
    }
    // The roster window in front with the focus somewhere else than in the grid.
    void focusAway() {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->groupChooser()->setFocus();
        QTRY_VERIFY(w->groupChooser()->hasFocus());
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }

    void init() {
        desk = std::make_unique<TestDesk>();
        desk->prompts.queueAnswer(platform::Answer::Yes); // create the database
        w = std::make_unique<frmTurnova>(desk->services);
        QVERIFY(w->Turnova_Load(desk->db()));
        staff.clear();
        addStaff(25);
        exec(QStringLiteral("INSERT INTO Standarddienste (Taste, Anfang, Ende, Kurzinfo, Farbe, "
                            "Pauschalstunden) VALUES ('F', 0.25, 0.5833333333333334, "
                            "'Frühdienst+Übg.', 255, 0)"));
        env().rsStandarddienste.requery();
        w->GprSel_Click();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        desk->prompts.clear();
    }

    void cleanup() {
        if (w) w->close();
        w.reset();
        desk.reset();
    }

    void theFixedRowsAndColumnStayWhileTheCellsScroll() {
        w->resize(700, 420);
        const int days = w->month().days;
        QCOMPARE(grid()->columnCount(), 26);
        // the last day of the last member
        grid()->setCursor(days + 1, 25);
        QVERIFY(grid()->horizontalScrollBar()->value() > 0);
        QVERIFY(grid()->verticalScrollBar()->value() > 0);
        const QRect name = rectOf(0, 25);
        const QRect target = rectOf(1, 25);
        const QRect label = rectOf(days + 1, 0);
        const QRect cursor = rectOf(days + 1, 25);
        QVERIFY(inView(name) && inView(target) && inView(label) && inView(cursor));
        QCOMPARE(name.top(), 0);
        QCOMPARE(label.left(), 0);
        // the cursor cell lies clear of the fixed parts, in the row and column of its labels
        QVERIFY(cursor.top() > target.bottom() && cursor.left() > label.right());
        QCOMPARE(cursor.left(), name.left());
        QCOMPARE(cursor.top(), label.top());
        // the fixed cells are what the pointer finds there
        QCOMPARE(grid()->indexAt(name.center()), at(0, 25));
        QCOMPARE(grid()->indexAt(label.center()), at(days + 1, 0));
        QCOMPARE(grid()->itemAt(target.center())->text(), grid()->text(1, 25));
        QCOMPARE(grid()->text(0, 25), QStringLiteral("M25"));
        // and are drawn there: the weekend colour of the label of the 26th, the labels' colour
        // above the cells
        const QImage shot = grid()->viewport()->grab().toImage();
        const QRect saturday = rectOf(27, 0);
        QVERIFY(inView(saturday));
        QCOMPARE(shot.pixelColor(saturday.left() + 2, saturday.center().y()),
                 QColor(119, 253, 209));
        QCOMPARE(shot.pixelColor(name.left() + 2, name.center().y()),
                 grid()->palette().button().color());
        // a duty key writes into the cell under the cursor
        QTest::keyClick(grid(), Qt::Key_F);
        QCOMPARE(dutiesOf(staff.last(), December.addDays(days - 1)), 1);
        QCOMPARE(grid()->text(days + 1, 25), QStringLiteral("06:00 - 14:00 Fr"));
        // a cell changed outside a repaint, by the grid or through its item, is redrawn
        QSignalSpy changes(grid()->model(), &QAbstractItemModel::dataChanged);
        grid()->setBackground(days + 2, 2, 0x0000FF);
        QVERIFY(!changes.isEmpty());
        QCOMPARE(changes.last()[0].toModelIndex(), at(days + 2, 2));
        changes.clear();
        grid()->item(days + 2, 2)->setToolTip(QStringLiteral("Spät & <früh>"));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(grid()->item(days + 2, 2)->background().color(), QColor(255, 0, 0));
        QCOMPARE(grid()->model()->data(at(days + 2, 2), Qt::ToolTipRole).toString(),
                 QStringLiteral("Spät & <früh>"));
        // the repaint that follows leaves the view where it was
        const QPoint scrolled(grid()->horizontalScrollBar()->value(),
                              grid()->verticalScrollBar()->value());
        w->gridrepaint();
        QCOMPARE(
            QPoint(grid()->horizontalScrollBar()->value(), grid()->verticalScrollBar()->value()),
            scrolled);
        QCOMPARE(rectOf(days + 1, 25), cursor);
        // keyboard scrolling back to the first cell shows it below and beside the labels
        QTest::keyClick(grid(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(grid()->currentRow(), 2);
        QCOMPARE(grid()->currentColumn(), 1);
        QCOMPARE(grid()->verticalScrollBar()->value(), 0);
        QCOMPARE(grid()->horizontalScrollBar()->value(), 0);
    }

    void theCursorAndSelectionStayOutOfTheFixedParts() {
        w->resize(700, 420);
        grid()->setCursor(2, 1);
        QTest::keyClick(grid(), Qt::Key_Up);
        QTest::keyClick(grid(), Qt::Key_Left);
        QTest::keyClick(grid(), Qt::Key_PageUp);
        QCOMPARE(grid()->currentRow(), 2);
        QCOMPARE(grid()->currentColumn(), 1);
        grid()->setCursor(5, 3);
        QTest::keyClick(grid(), Qt::Key_Home);
        QCOMPARE(grid()->currentColumn(), 1);
        // a click on a name or a label leaves the cursor; a double-click there opens nothing
        grid()->setCursor(6, 2);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, rectOf(0, 3).center());
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, rectOf(10, 0).center());
        ModalSeen seen;
        onModal([](QWidget* dialog) { dialog->close(); }, &seen);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {},
                           rectOf(w->month().days + 3, 0).center());
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, rectOf(1, 2).center());
        QCOMPARE(grid()->currentRow(), 6);
        QCOMPARE(grid()->currentColumn(), 2);
        QVERIFY(seen.name.isEmpty());
        // a selection dragged up into the names ends at the first day
        const QPoint from = rectOf(5, 2).center();
        QTest::mousePress(grid()->viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, rectOf(0, 3).center(),
                         grid()->viewport()->mapToGlobal(rectOf(0, 3).center()), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid()->viewport(), &move);
        QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, {}, rectOf(0, 3).center());
        QCOMPARE(grid()->selectedBlock(), QRect(QPoint(2, 2), QPoint(3, 5)));
        // the wheel takes a lone cursor along, so that a key never writes out of sight
        grid()->setCursor(2, 2);
        wheel(5);
        QVERIFY(grid()->verticalScrollBar()->value() > 0);
        QVERIFY(grid()->currentRow() > 2);
        QCOMPARE(grid()->currentColumn(), 2);
        const QRect cursor = rectOf(grid()->currentRow(), 2);
        QVERIFY(inView(cursor) && cursor.top() > rectOf(1, 2).bottom());
        // a selected block stays where it is
        grid()->setCursor(20, 2);
        grid()->setRangeSelected(QTableWidgetSelectionRange(20, 2, 22, 3), true);
        const QRect block = grid()->selectedBlock();
        wheel(-10);
        QCOMPARE(grid()->verticalScrollBar()->value(), 0);
        QCOMPARE(grid()->selectedBlock(), block);
    }

    void theWindowFitsTheScreen() {
        const QMargins frame(8, 32, 8, 8);
        // a 1024 x 768 screen less a panel of 32 pixels
        const QRect small(0, 0, 1024, 736);
        const QRect inner = platform::fittedGeometry(small, QSize(1100, 760), frame);
        QVERIFY(small.contains(inner.marginsAdded(frame)));
        QCOMPARE(inner.width(), 1024 - 16);
        QCOMPARE(inner.height(), 736 - 40);
        // a large screen: the wanted size, centred
        const QRect large(1920, 0, 1920, 1200);
        const QRect roomy = platform::fittedGeometry(large, QSize(1100, 760), frame);
        QCOMPARE(roomy.size(), QSize(1100, 760));
        QCOMPARE(roomy.marginsAdded(frame).center(), large.center());
        // the real window on the screen it opens on
        frmTurnova second(desk->services);
        QVERIFY(second.screen()->availableGeometry().contains(second.frameGeometry()));
        QVERIFY(second.width() <= 1100 && second.height() <= 760);
    }

    void theStatusPanelsNeitherOverlapNorHideTheirTexts() {
        exec(QStringLiteral("UPDATE Mitarbeiter SET PlanName = 'Marie-Luise Oberhuber-Großmann', "
                            "Stundenlohn = 1234.5 WHERE MaNr = m"),
             {staff.first()}, {QStringLiteral("m")});
        w->gridrepaint();
        for (int row = 3; row <= 9; ++row) {
            grid()->setCursor(row, 1);
            QTest::keyClick(grid(), Qt::Key_F);
        }
        grid()->setCursor(3, 1);
        grid()->setRangeSelected(QTableWidgetSelectionRange(3, 1, 9, 1), true);
        const QList<QLabel*>& panels = w->statusPanels();
        QCOMPARE(panels.size(), 9);
        QCOMPARE(panels.at(1)->text(), QStringLiteral("Marie-Luise Oberhuber-Großmann"));
        QCOMPARE(panels.at(7)->text(), QStringLiteral("Frühdienst+Übg."));
        QVERIFY(w->progressBar()->isHidden()); // idle, it leaves its room to the panels
        for (const int width : {800, 1100, 1600}) {
            w->resize(width, 600);
            QTRY_COMPARE(w->width(), width);
            QApplication::processEvents();
            const QRect bar = w->findChild<QWidget*>(QStringLiteral("StatusBar1"))->rect();
            for (int i = 0; i < panels.size(); ++i) {
                auto* panel = qobject_cast<StatusPanel*>(panels.at(i));
                QVERIFY(panel);
                QVERIFY2(bar.contains(panel->geometry()), qPrintable(panel->objectName()));
                for (int j = i + 1; j < panels.size(); ++j)
                    QVERIFY2(!panel->geometry().intersects(panels.at(j)->geometry()),
                             qPrintable(QStringLiteral("%1 at %2").arg(i + 1).arg(width)));
                // the tooltip says what the panel shows, and carries a text cut short
                const QPoint inside(2, 2);
                QHelpEvent help(QEvent::ToolTip, inside, panel->mapToGlobal(inside));
                QApplication::sendEvent(panel, &help);
                QVERIFY(!panel->toolTip().isEmpty());
                if (!panel->textFits())
                    QVERIFY2(panel->toolTip().endsWith(panel->text()),
                             qPrintable(panel->toolTip()));
            }
            if (width == 1600)
                for (QLabel* panel : panels)
                    QVERIFY2(qobject_cast<StatusPanel*>(panel)->textFits(),
                             qPrintable(panel->text()));
        }
        QToolTip::hideText();
        QCOMPARE(panels.at(2)->toolTip(), QStringLiteral("Summe der Stunden der Auswahl"));
        QCOMPARE(panels.at(8)->toolTip(), QStringLiteral("Stunden der Auswahl mal Stundenlohn"));
    }

    void everyModalWindowGivesTheFocusBackToTheGrid() {
        const int days = w->month().days;
        exec(QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Kurzinfo, Normstunden) "
                            "VALUES (d, m, 'Urlaub', 8)"),
             {December.addDays(3), staff.at(1)}, {QStringLiteral("d"), QStringLiteral("m")});
        exec(QStringLiteral("INSERT INTO Feiertage (Tag, Name) VALUES (d, 'Weihnachten')"),
             {QDate(2026, 12, 25)}, {QStringLiteral("d")});
        w->gridrepaint();
        const auto closeWith = [](Qt::Key key) {
            return [key](QWidget* dialog) { QTest::keyClick(dialog, key); };
        };
        struct Case {
            const char* modal;
            std::function<void(QWidget*)> close;
            std::function<void()> open;
        };
        const QList<Case> cases = {
            {"frmMa", closeWith(Qt::Key_Escape),
             [this] { w->menuAction(QStringLiteral("mnumitarb"))->trigger(); }},
            {"frmGruppen", [](QWidget* d) { d->close(); },
             [this] { w->menuAction(QStringLiteral("mnuGruppeb"))->trigger(); }},
            {"frmStdDienste", [](QWidget* d) { d->close(); },
             [this] { w->menuAction(QStringLiteral("mnustdedit"))->trigger(); }},
            // the duty entry by Enter, the target hours by a double-click on a sum
            {"frmDiensteingabe", closeWith(Qt::Key_Escape),
             [this] {
                 grid()->setCursor(5, 2);
                 QTest::keyClick(grid(), Qt::Key_Return);
             }},
            {"frmSollStd", closeWith(Qt::Key_Escape),
             [this, days] {
                 QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {},
                                    rectOf(days + 2, 3).center());
             }},
            // the holidays closed through their failure question: a second Christmas
            {"frmFeiertage",
             [](QWidget* d) {
                 QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdnew")),
                                   Qt::LeftButton);
                 auto* date = d->findChild<QLineEdit*>(QStringLiteral("MaskEdBox1"));
                 QTest::keyClicks(date, QStringLiteral("251226"));
                 QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdClose")),
                                   Qt::LeftButton);
             },
             [this] {
                 desk->prompts.queueAnswer(platform::Answer::Yes); // close all the same
                 w->menuAction(QStringLiteral("mnufreier"))->trigger();
             }},
        };
        for (const Case& c : cases) {
            focusAway();
            ModalSeen seen;
            onModal(c.close, &seen);
            c.open();
            QCOMPARE(seen.name, QString::fromLatin1(c.modal));
            QVERIFY(!QApplication::activeModalWidget());
            QTRY_VERIFY2(grid()->hasFocus(), c.modal);
        }
        QCOMPARE(desk->prompts.shown.size(), 1);
        QVERIFY(desk->prompts.shown.first().text.startsWith(
            QStringLiteral("Beim Speichern des Tages ist ein Fehler aufgetreten.")));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Feiertage")), 1);
    }

    void aHiddenEmployeeLeavesTheRosterAtOnce() {
        grid()->setCursor(4, 2); // M2
        onModal([](QWidget* dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdHide")),
                              Qt::LeftButton);
            auto* list = dialog->findChild<QTableWidget*>(QStringLiteral("DataGrid1"));
            QCOMPARE(list->findItems(QStringLiteral("M2 (ausgeblendet)"), Qt::MatchExactly).size(),
                     1);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        w->menuAction(QStringLiteral("mnumitarb"))->trigger();
        QCOMPARE(grid()->columnCount(), 25);
        for (int col = 1; col < grid()->columnCount(); ++col)
            QVERIFY(grid()->text(0, col) != QStringLiteral("M2"));
        QCOMPARE(grid()->text(0, 2), QStringLiteral("M3"));
        QCOMPARE(scalar(QStringLiteral("SELECT DienstPos FROM GpZuordnung WHERE MaNr = m"),
                        {staff.at(1)}, {QStringLiteral("m")}),
                 0);
        // shown again, behind the last one
        QComboBox* chooser = w->groupChooser();
        QCOMPARE(chooser->currentText(), QStringLiteral("Alle Ma."));
        env().rsMitarbeiter.requery();
        onModal([](QWidget* dialog) {
            auto* list = dialog->findChild<QTableWidget*>(QStringLiteral("DataGrid1"));
            const auto hidden =
                list->findItems(QStringLiteral("M2 (ausgeblendet)"), Qt::MatchExactly);
            QCOMPARE(hidden.size(), 1);
            list->setCurrentItem(hidden.first());
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdShow")),
                              Qt::LeftButton);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        w->menuAction(QStringLiteral("mnumitarb"))->trigger();
        QCOMPARE(grid()->columnCount(), 26);
        QCOMPARE(grid()->text(0, 25), QStringLiteral("M2"));
        QCOMPARE(grid()->text(0, 2), QStringLiteral("M3"));
    }
};

QTEST_MAIN(TestRosterDesk)
#include "test_rosterdesk.moc"
