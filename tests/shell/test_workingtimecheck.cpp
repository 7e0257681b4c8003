// The working-time check in the real main window: the marks and tooltips of the roster, the
// menu entry "Prüfung", the window "Arbeitszeitprüfung" with its findings, the double-click
// that moves the roster's cursor, and the rules dialog (OK stores, Esc leaves the settings).

#include "data/WorkingTimeRules.h"
#include "platform/Formats.h"
#include "reports/frmArbeitszeitpruefung.h"
#include "shell/CheckMenu.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/Modal.h"
#include "tests/support/TestDesk.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace testing;

namespace {

QDate dec(int day) {
    return QDate(2026, 12, day);
}

} // namespace

class TestWorkingTimeCheckWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> desk;
    std::unique_ptr<frmTurnova> w;

    data::DataUmgebung& env() { return w->session().env; }
    FlexGrid* grid() { return w->grid(); }

    frmArbeitszeitpruefung* openFindings() {
        w->menuAction(QStringLiteral("mnuArbeitszeitpruefung"))->trigger();
        frmArbeitszeitpruefung* list = findingsWindow(*w);
        return list && list->isVisible() ? list : nullptr;
    }
    QStringList rows(frmArbeitszeitpruefung* list) {
        QStringList lines;
        QTreeWidget* tree = in<QTreeWidget>(list, "lvwBefunde");
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < tree->columnCount(); ++c)
                cells << tree->topLevelItem(i)->text(c);
            lines << cells.join(QStringLiteral(" | "));
        }
        return lines;
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void init() {
        desk = std::make_unique<TestDesk>(dec(6));
        desk->prompts.queueAnswer(platform::Answer::Yes); // create the database
        w = std::make_unique<frmTurnova>(desk->services);
        QVERIFY(w->Turnova_Load(desk->db()));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        desk->prompts.clear();
        const int anna = employee(env(), QStringLiteral("Anna"), 1);
        const int ben = employee(env(), QStringLiteral("Ben & <Ärzte>"), 2);
        member(env(), w->month().groupNumber, anna, 1);
        member(env(), w->month().groupNumber, ben, 2);
        duty(env(), anna, dec(3), QTime(14, 0), QTime(22, 0), 0.5);
        duty(env(), anna, dec(4), QTime(6, 0), QTime(14, 0), 0.5);
        duty(env(), ben, dec(10), QTime(6, 0), QTime(17, 30), 0.75);
        duty(env(), ben, dec(11), QTime(), QTime(), 0, 7.7, 0, 0, QStringLiteral("Urlaub"));
        w->gridrepaint();
    }
    void cleanup() {
        if (w) w->close();
        w.reset();
        desk.reset();
    }

    void theMenuEntryFollowsTheAnnualOverview() {
        QStringList captions;
        for (QAction* a : w->menuBar()->actions())
            captions << a->text();
        const int overview = int(captions.indexOf(QStringLiteral("Jahresübersicht")));
        QVERIFY(overview >= 0);
        QCOMPARE(captions.value(overview + 1), QStringLiteral("Prüfung"));
        QAction* entry = w->menuAction(QStringLiteral("mnuPruefung"));
        QVERIFY(entry && entry->isVisible() && entry->shortcut().isEmpty());
        QStringList entries;
        for (QAction* a : entry->menu()->actions())
            entries << a->objectName() + QLatin1Char(' ') + a->text();
        QCOMPARE(entries, QStringList({QStringLiteral("mnuArbeitszeitpruefung Arbeitszeitprüfung"),
                                       QStringLiteral("mnuBesetzung Besetzung")}));
        // the database got the settings table of the check at start-up
        QVERIFY(env().Datenbank.tableExists(QStringLiteral("Arbeitszeitregeln")));
    }

    void markedCellsCarryTheFindingsAsTooltips() {
        QCOMPARE(
            grid()->item(5, 1)->toolTip(),
            QStringLiteral("Ruhezeit 8:00 Std. (mindestens 11:00 Std.) nach dem Dienst am 03.12."));
        QCOMPARE(grid()->mark(5, 1), grid()->item(5, 1)->toolTip());
        QCOMPARE(grid()->item(11, 2)->toolTip(),
                 QStringLiteral("Arbeitszeit 10:45 Std. (höchstens 10:00 Std.)"));
        for (const auto& [row, col] : {std::pair{4, 1}, {12, 2}, {6, 1}})
            QCOMPARE(grid()->mark(row, col), QString());
        // the mark is painted into the cell's corner
        const QRect cell = grid()->visualRect(grid()->model()->index(5, 1));
        const QImage shot = grid()->viewport()->grab().toImage();
        const QColor corner = shot.pixelColor(cell.right() - 1, cell.top() + 1);
        QVERIFY2(corner.red() > 180 && corner.green() < 80, qPrintable(corner.name()));
        const QColor plain =
            shot.pixelColor(grid()->visualRect(grid()->model()->index(4, 1)).right() - 1,
                            cell.top() - cell.height() + 1);
        QVERIFY(plain.green() > 150);
    }

    void theWindowListsTheFindingsAndMovesTheCursor() {
        frmArbeitszeitpruefung* list = openFindings();
        QVERIFY(list);
        QCOMPARE(list->windowTitle(), QStringLiteral("Arbeitszeitprüfung"));
        QCOMPARE(in<QLabel>(list, "lblMonat")->text(), QStringLiteral("Dezember 2026: 2 Befunde"));
        QCOMPARE(rows(list),
                 QStringList({"Anna | 04.Fr 04.12.26 | Ruhezeit (§ 5 ArbZG) | Ruhezeit 8:00 Std. "
                              "(mindestens 11:00 Std.) nach dem Dienst am 03.12.",
                              "Ben & <Ärzte> | 10.Do 10.12.26 | Höchstarbeitszeit (§ 3 ArbZG) | "
                              "Arbeitszeit 10:45 Std. (höchstens 10:00 Std.)"}));
        QTreeWidget* tree = in<QTreeWidget>(list, "lvwBefunde");
        const QPoint at = tree->visualItemRect(tree->topLevelItem(1)).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(grid()->currentRow(), 11);
        QCOMPARE(grid()->currentColumn(), 2);

        // the open window follows the roster to the next month, and the menu brings it back
        QTest::mouseClick(in<QPushButton>(w.get(), "datumUp"), Qt::LeftButton);
        QCOMPARE(in<QLabel>(list, "lblMonat")->text(),
                 QStringLiteral("Januar 2027: keine Verstöße gegen die geprüften Regeln"));
        QCOMPARE(tree->topLevelItemCount(), 0);
        QTest::mouseClick(in<QPushButton>(list, "cmdClose"), Qt::LeftButton);
        QVERIFY(!list->isVisible());
        QCOMPARE(openFindings(), list);
    }

    void theRulesDialogStoresOnOKAndNotOnEsc() {
        frmArbeitszeitpruefung* list = openFindings();
        QVERIFY(list);
        // Esc: nothing changes
        bool shown = false;
        onModal([&shown](QWidget* dialog) {
            shown = dialog->objectName() == QLatin1String("frmPruefregeln");
            in<QCheckBox>(dialog, "chkRuhezeit")->setChecked(false);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QTest::mouseClick(in<QPushButton>(list, "cmdRegeln"), Qt::LeftButton);
        QVERIFY(shown);
        QVERIFY(data::loadWorkingTimeRules(env().Datenbank).restOn);
        QCOMPARE(rows(list).size(), 2);
        // OK: the rest period is no longer checked, in the window and on the roster
        onModal([](QWidget* dialog) {
            in<QCheckBox>(dialog, "chkRuhezeit")->setChecked(false);
            QTest::mouseClick(in<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        });
        QTest::mouseClick(in<QPushButton>(list, "cmdRegeln"), Qt::LeftButton);
        data::WorkingTimeRules expected;
        expected.restOn = false;
        QCOMPARE(data::loadWorkingTimeRules(env().Datenbank), expected);
        QCOMPARE(rows(list).size(), 1);
        QCOMPARE(grid()->mark(5, 1), QString());
        QVERIFY(!grid()->mark(11, 2).isEmpty());
        QVERIFY(desk->prompts.messages().isEmpty());

        // a run of 0 or 99 days is refused with its range, and nothing is stored; with every
        // rule off the window says so
        onModal([this](QWidget* dialog) {
            for (const char* wrong : {"0", "99", "x"}) {
                auto* days = in<QLineEdit>(dialog, "txtArbeitstage");
                days->clear();
                QTest::keyClicks(days, QLatin1String(wrong));
                QTest::mouseClick(in<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
                QVERIFY(dialog->isVisible());
                QCOMPARE(desk->prompts.lastMessage().text,
                         QStringLiteral("\"Arbeitstage in Folge\" muss eine ganze Zahl von 1 "
                                        "bis 31 sein."));
            }
            for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
                box->setChecked(false);
            in<QLineEdit>(dialog, "txtArbeitstage")->setText(QStringLiteral("6"));
            QTest::mouseClick(in<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        });
        QTest::mouseClick(in<QPushButton>(list, "cmdRegeln"), Qt::LeftButton);
        QVERIFY(!data::loadWorkingTimeRules(env().Datenbank).anyOn());
        QCOMPARE(in<QLabel>(list, "lblMonat")->text(),
                 QStringLiteral("Dezember 2026: Keine Regel eingeschaltet"));
    }
};

QTEST_MAIN(TestWorkingTimeCheckWindow)
#include "test_workingtimecheck.moc"
