// Months, groups and the dialog commands of the real main window: going back and forth, another
// group keeping the month, the start-up's group steps, the status-bar summary of a selection,
// and what the employee, group and holiday commands do afterwards.

#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "platform/ScriptedPrompts.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/Modal.h"
#include "tests/support/TestDesk.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace testing;

class TestNavigation : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> desk;
    std::unique_ptr<frmTurnova> w;

    data::DataUmgebung& env() { return w->session().env; }
    FlexGrid* grid() { return w->grid(); }
    QString panel(int n) { return w->statusPanels().at(n - 1)->text(); }
    void start() {
        w = std::make_unique<frmTurnova>(desk->services);
        QVERIFY(w->Turnova_Load(desk->db()));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        desk->prompts.clear();
    }
    void restart() {
        w->close();
        w.reset();
        start();
    }
    void chooseGroup(const QString& name) {
        QComboBox* chooser = w->groupChooser();
        chooser->setCurrentIndex(chooser->findText(name));
        Q_EMIT chooser->activated(chooser->currentIndex());
    }
    void clickCell(int row, int col, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, mods,
                          grid()->visualRect(grid()->model()->index(row, col)).center());
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void init() {
        desk = std::make_unique<TestDesk>(QDate(2024, 3, 31));
        desk->prompts.queueAnswer(platform::Answer::Yes); // create the database
        start();
    }
    void cleanup() {
        if (w) w->close();
        w.reset();
        desk.reset();
    }

    void monthsBackAndForthAndAnotherGroupKeepsTheMonth() {
        group(env(), QStringLiteral("Nacht"));
        restart();
        QCOMPARE(w->monthTitle()->text(), QStringLiteral("März.24"));
        QCOMPARE(grid()->rowCount(), 31 + 5);
        grid()->setCursor(20, 0);
        QTest::mouseClick(in<QPushButton>(w.get(), "datumDown"), Qt::LeftButton);
        QCOMPARE(w->monthTitle()->text(), QStringLiteral("Februar.24"));
        QCOMPARE(w->month().firstDay, QDate(2024, 2, 1));
        QCOMPARE(w->month().days, 29);
        QCOMPARE(grid()->rowCount(), 29 + 5);
        QCOMPARE(grid()->text(30, 0), QStringLiteral("29.Do"));
        QCOMPARE(grid()->row(), 2); // the first day (a group without members has no cell)
        QTest::mouseClick(in<QPushButton>(w.get(), "datumUp"), Qt::LeftButton);
        QTest::mouseClick(in<QPushButton>(w.get(), "datumUp"), Qt::LeftButton);
        QCOMPARE(w->monthTitle()->text(), QStringLiteral("April.24"));
        QCOMPARE(grid()->rowCount(), 30 + 5);

        const int allGroup = w->month().groupNumber;
        chooseGroup(QStringLiteral("Nacht"));
        QVERIFY(w->month().groupNumber != allGroup);
        QCOMPARE(w->monthTitle()->text(), QStringLiteral("April.24"));
        QCOMPARE(w->month().firstDay, QDate(2024, 4, 1));
    }

    void keysGoToTheRosterAfterStartAndToolbarControls() {
        group(env(), QStringLiteral("Nacht"));
        restart();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTRY_COMPARE(QApplication::focusWidget(), grid());
        for (const char* button : {"datumUp", "datumDown"}) {
            QTest::mouseClick(in<QPushButton>(w.get(), button), Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), grid());
        }
        // the group chooser: closed, Down only opens it; once chosen, the focus returns
        QComboBox* chooser = w->groupChooser();
        chooser->setFocus();
        const QString first = chooser->currentText();
        const int shown = w->month().groupNumber;
        QTest::keyClick(chooser, Qt::Key_Down);
        QCOMPARE(chooser->currentText(), first);
        QCOMPARE(w->month().groupNumber, shown);
        QTRY_VERIFY(chooser->view()->isVisible());
        chooser->hidePopup();
        chooseGroup(QStringLiteral("Nacht"));
        QVERIFY(w->month().groupNumber != shown);
        QCOMPARE(QApplication::focusWidget(), grid());
    }

    void startUpMakesGroupsAndPositionsConsistent() {
        const int night = group(env(), QStringLiteral("Nacht"));
        const int a = employee(env(), QStringLiteral("A"), 1);
        const int b = employee(env(), QStringLiteral("B"), QVariant());
        member(env(), night, a, 3);
        member(env(), night, b, 7);
        restart();
        QCOMPARE(groupPositions(env(), 1), (QMap<int, int>{{a, 1}, {b, 2}}));
        QCOMPARE(groupPositions(env(), night), (QMap<int, int>{{a, 1}, {b, 2}}));
        QCOMPARE(grid()->columnCount(), 3);
        QCOMPARE(grid()->text(0, 2), QStringLiteral("B"));
    }

    void theStatusBarSumsTheSelectedDaysOfOneColumn() {
        const int anna = employee(env(), QStringLiteral("Anna"), 1, 12.5);
        const int ben = employee(env(), QStringLiteral("Ben"), 2, 20);
        member(env(), 1, anna, 1);
        member(env(), 1, ben, 2);
        for (int day = 1; day <= 9; ++day)
            duty(env(), anna, QDate(2024, 3, day), QTime(8, 0), QTime(16, 0), 0.5, 0, 1, 0,
                 QStringLiteral("T%1").arg(day));
        duty(env(), ben, QDate(2024, 3, 4), QTime(6, 0), QTime(14, 0));
        w->gridrepaint();
        clickCell(4, 1);
        QCOMPARE(panel(1), platform::shortDate(QDate(2024, 3, 3)));
        QCOMPARE(panel(2), QStringLiteral("Anna"));
        QCOMPARE(panel(3), QStringLiteral("7,50"));
        clickCell(8, 2, Qt::ShiftModifier); // days 3 to 7, over two columns
        QCOMPARE(grid()->selectedBlock(), QRect(QPoint(1, 4), QPoint(2, 8)));
        // only the current column counts
        QCOMPARE(panel(1), QStringLiteral("3. - 7."));
        QCOMPARE(panel(2), QStringLiteral("Ben"));
        QCOMPARE(panel(3), QStringLiteral("8,00"));
        clickCell(4, 1);
        clickCell(8, 1, Qt::ShiftModifier);
        const QStringList expected{
            QStringLiteral("3. - 7."), QStringLiteral("Anna"), QStringLiteral("37,50"),
            QStringLiteral("2,50"),    QStringLiteral("0,00"), QStringLiteral("5,00"),
            QStringLiteral("0,00"),    QStringLiteral("T7"),   platform::currency(37.5 * 12.5)};
        for (int i = 1; i <= 9; ++i)
            QCOMPARE(panel(i), expected.at(i - 1));
        // a repaint keeps the summary of the selection
        w->gridrepaint();
        QCOMPARE(panel(1), platform::shortDate(QDate(2024, 3, 7)));
    }

    void theEmployeeCommandOpensOnTheColumnsEmployee() {
        const int anna = employee(env(), QStringLiteral("Anna"), 1);
        const int ben = employee(env(), QStringLiteral("Ben"), 2);
        member(env(), 1, anna, 1);
        member(env(), 1, ben, 2);
        w->gridrepaint();
        clickCell(5, 2);
        QString shown;
        onModal([&shown](QWidget* window) {
            shown = in<QLineEdit>(window, "txtPlanName")->text();
            QTest::mouseClick(in<QPushButton>(window, "cmdAddnew"), Qt::LeftButton);
            in<QLineEdit>(window, "txtNachname")->setText(QStringLiteral("Clara"));
            in<QLineEdit>(window, "txtPlanName")->setText(QStringLiteral("Clara"));
            QTest::mouseClick(in<QPushButton>(window, "cmdClose"), Qt::LeftButton);
        });
        w->menuAction(QStringLiteral("mnumitarb"))->trigger();
        QCOMPARE(shown, QStringLiteral("Ben"));
        // the new employee is in group 1 at the next position, and the roster shows him
        const int clara = scalar(env(), QStringLiteral("SELECT MaNr FROM Mitarbeiter WHERE "
                                                       "PlanName = 'Clara'"));
        QCOMPARE(groupPositions(env(), 1).value(clara), 3);
        QCOMPARE(grid()->columnCount(), 4);
        QCOMPARE(grid()->text(0, 3), QStringLiteral("Clara"));
        // his statistics start with the shown month
        QCOMPARE(scalar(env(),
                        QStringLiteral("SELECT count(*) FROM Statistik WHERE MaNr = [p0] "
                                       "AND Jahr = 2024 AND Monat = 3"),
                        {clara}),
                 1);
        QVERIFY(desk->prompts.shown.isEmpty());
    }

    void theGroupCommandShowsTheGroupChosenThere() {
        const int anna = employee(env(), QStringLiteral("Anna"), 1);
        member(env(), 1, anna, 1);
        w->gridrepaint();
        onModal([](QWidget* window) {
            QCOMPARE(in<QComboBox>(window, "DataCombo1")->currentText(),
                     QStringLiteral("Alle Ma."));
            QTimer::singleShot(0, [] {
                QWidget* name = QApplication::activeModalWidget();
                in<QLineEdit>(name, "Text1")->setText(QStringLiteral("Bereitschaft"));
                QTest::mouseClick(in<QPushButton>(name, "cmdSave"), Qt::LeftButton);
            });
            QTest::mouseClick(in<QPushButton>(window, "Command3"), Qt::LeftButton);
            auto* all = in<QListWidget>(window, "lstAllMa");
            QTest::mouseClick(all->viewport(), Qt::LeftButton, {},
                              all->visualItemRect(all->item(0)).center());
            QTest::mouseClick(in<QPushButton>(window, "Command1"), Qt::LeftButton);
            QTest::mouseClick(in<QPushButton>(window, "Command5"), Qt::LeftButton);
        });
        w->menuAction(QStringLiteral("mnuGruppeb"))->trigger();
        QCOMPARE(w->groupChooser()->currentText(), QStringLiteral("Bereitschaft"));
        QCOMPARE(w->groupChooser()->count(), 2);
        QCOMPARE(w->month().groupNumber,
                 scalar(env(), QStringLiteral("SELECT GruppenNr FROM Gruppen WHERE Gruppenname = "
                                              "'Bereitschaft'")));
        QCOMPARE(grid()->text(0, 1), QStringLiteral("Anna"));
    }

    void aNewHolidayIsFreeAndLowersTheTarget() {
        const int anna = employee(env(), QStringLiteral("Anna"), 1);
        member(env(), 1, anna, 1);
        exec(env(),
             QStringLiteral("UPDATE Mitarbeiter SET normstunden = 8, ersterArbeitstag = "
                            "[p0], lastChange = [p0]"),
             {QDate(2024, 1, 1)});
        w->berStatistik2();
        w->gridrepaint();
        QCOMPARE(grid()->text(1, 1), QStringLiteral("168,00")); // 21 working days in March 2024
        onModal([](QWidget* window) {
            QTest::mouseClick(in<QPushButton>(window, "cmdnew"), Qt::LeftButton);
            QTest::keyClicks(in<QLineEdit>(window, "MaskEdBox1"), QStringLiteral("130324"));
            in<QLineEdit>(window, "txtName")->setText(QStringLiteral("Betriebsfest"));
            QTest::mouseClick(in<QPushButton>(window, "cmdClose"), Qt::LeftButton);
        });
        w->menuAction(QStringLiteral("mnufreier"))->trigger();
        QCOMPARE(grid()->background(14, 0), w->month().weekendColor); // Wednesday the 13th
        QCOMPARE(grid()->text(1, 1), QStringLiteral("160,00"));
        QVERIFY(desk->prompts.shown.isEmpty());
    }
};

QTEST_MAIN(TestNavigation)
#include "test_navigation.moc"
