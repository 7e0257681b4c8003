// Undo and redo in the real main window: every kind of change to the duties (a key, the Delete
// key, paste, cut, block delete, copy and move here, a file inserted, a duty dropped from the
// overview, the duty dialog, a position swap) is one step; Ctrl+Z brings the duty table back
// row for row and the statistics with it, Ctrl+Y and Ctrl+Shift+Z bring the change again. A
// hundred steps in a row, a step in another month, a failed paste, and a deleted employee.

#include "engine/Sqlite.h"
#include "platform/Desktop.h"
#include "platform/Formats.h"
#include "reports/frmstdinfo.h"
#include "shell/BlockCommands.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/roster/RosterRows.h"
#include "tests/shell/BlockRoster.h"
#include "tests/support/Modal.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace testing;

class TestUndo : public QObject, BlockRoster {
    Q_OBJECT

    // Every row of a table, every field, in key order.
    QString rows(const QString& table, const QString& key) {
        engine::Statement s(env().Datenbank, QStringLiteral("SELECT * FROM ") + table +
                                                 QStringLiteral(" ORDER BY ") + key);
        QStringList all;
        while (s.step()) {
            QStringList fields;
            for (int c = 0; c < s.columnCount(); ++c)
                fields << (s.isNull(c) ? QStringLiteral("NULL") : s.value(c).toString());
            all << fields.join(QLatin1Char(','));
        }
        return all.join(QLatin1Char('\n'));
    }
    QString duties() { return rows(QStringLiteral("Dienstzeiten"), QStringLiteral("DienstNR")); }
    QString statistics() {
        w->berStatistik2();
        return rows(QStringLiteral("Statistik"), QStringLiteral("Jahr, Monat, MaNr"));
    }
    QString positions() { return rows(QStringLiteral("GpZuordnung"), QStringLiteral("GpZuNr")); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        // the roster's window is the active one again after a dialog, as on a desktop
        if (!w->isActiveWindow()) {
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w.get()));
        }
        grid()->setFocus();
        QTest::keyClick(grid(), k, mods);
    }
    // The block from (row1, col1) to (row2, col2) dragged with the right button to a cell, and
    // the entry of the menu that the drop opens.
    void dragTo(int row1, int col1, int row2, int col2, int row, int col, const char* command) {
        mark(row1, col1, row2, col2);
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, cellCentre(row1, col1));
        drop(blockCommands(*w)->blockMimeData(), row, col);
        QMenu* menu = w->popupMenu(QStringLiteral("mnuBearb"));
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
        entry(command)->trigger();
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }

    void init() {
        QVERIFY(startRoster());
        w->session().undo.clear(); // the rows of the roster above are no steps of the planner's
        w->gridrepaint();
    }
    void cleanup() { closeRoster(); }

    void everyKindOfChangeIsOneStepBackAndForth() {
        QCOMPARE(entry("mnuRueckgaengig")->text(), QStringLiteral("Rückgängig"));
        QVERIFY(!entry("mnuRueckgaengig")->isEnabled());
        QVERIFY(!entry("mnuWiederholen")->isEnabled());
        // both entries stand in the menu "Bearbeiten" and in the right-button menu
        QVERIFY(w->popupMenu(QStringLiteral("mnuAktion"))
                    ->actions()
                    .contains(entry("mnuRueckgaengig")));
        QCOMPARE(entry("mnuBearbeiten")->text(), QStringLiteral("Bearbeiten"));

        const QString tns = desk->dir.filePath(QStringLiteral("Zwei.tns"));
        const QList<std::pair<QString, std::function<void()>>> changes = {
            {"Eintragen eines Dienstes",
             [&] {
                 grid()->setCursor(5, 1);
                 key(Qt::Key_S);
             }},
            {"Löschen eines Dienstes",
             [&] {
                 grid()->setCursor(3, 1);
                 key(Qt::Key_Delete);
             }},
            {"Einfügen von 2 Diensten",
             [&] {
                 mark(4, 1, 5, 1); // A3 and S
                 key(Qt::Key_C, Qt::ControlModifier);
                 grid()->setCursor(11, 2);
                 key(Qt::Key_V, Qt::ControlModifier);
             }},
            {"Ausschneiden von 2 Diensten",
             [&] {
                 mark(11, 2, 12, 2);
                 key(Qt::Key_X, Qt::ControlModifier);
             }},
            {"Löschen von 2 Diensten",
             [&] {
                 desk->prompts.queueAnswer(platform::Answer::Yes);
                 mark(4, 1, 5, 1);
                 key(Qt::Key_Delete);
             }},
            {"Kopieren eines Dienstes", [&] { dragTo(3, 2, 3, 2, 16, 3, "mnuKopier"); }},
            {"Verschieben eines Dienstes", [&] { dragTo(3, 2, 3, 2, 6, 2, "mnuVersch"); }},
            {"Einfügen eines Dienstes",
             [&] {
                 QFile file(tns); // the moved duty, as the clipboard holds it
                 QVERIFY(file.open(QIODevice::WriteOnly));
                 file.write((platform::clipboardText() + QStringLiteral("\r\n")).toUtf8());
                 file.close();
                 grid()->setCursor(20, 1);
                 desk->prompts.queueFile(tns);
                 entry("mnuinsertfrom")->trigger();
             }},
            {"Eintragen eines Dienstes",
             [&] { drop(frmstdinfo::dutyMimeData(QStringLiteral("F")), 25, 3); }},
            {"Ändern eines Dienstes",
             [&] {
                 onModal([](QWidget* dialog) {
                     auto* kurz = in<QLineEdit>(dialog, "txtKurzinfo");
                     kurz->setFocus();
                     kurz->selectAll();
                     QTest::keyClicks(kurz, QStringLiteral("Anders"));
                     QTest::mouseClick(in<QPushButton>(dialog, "cmdClose"), Qt::LeftButton);
                 });
                 grid()->setCursor(25, 3);
                 key(Qt::Key_Return);
             }},
        };
        bool shifted = false;
        for (const auto& [text, change] : changes) {
            const QString before = duties();
            const QString stats = statistics();
            change();
            const QString after = duties();
            QVERIFY2(after != before, qPrintable(text));
            QCOMPARE(entry("mnuRueckgaengig")->text(), QStringLiteral("Rückgängig: ") + text);
            key(Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(duties(), before);
            QCOMPARE(statistics(), stats);
            QCOMPARE(entry("mnuWiederholen")->text(), QStringLiteral("Wiederholen: ") + text);
            // redo by either key
            key(shifted ? Qt::Key_Z : Qt::Key_Y,
                shifted ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
            shifted = !shifted;
            QCOMPARE(duties(), after);
            QVERIFY(!entry("mnuWiederholen")->isEnabled());
        }
        // a position swap, back and forth
        const QString order = positions();
        grid()->setCursor(5, 1);
        key(Qt::Key_Right, Qt::AltModifier);
        QVERIFY(positions() != order);
        QCOMPARE(entry("mnuRueckgaengig")->text(),
                 QStringLiteral("Rückgängig: Tauschen der Positionen"));
        entry("mnuRueckgaengig")->trigger();
        QCOMPARE(positions(), order);
        QCOMPARE(grid()->text(0, 1), QStringLiteral("Anna"));
    }

    void aHundredStepsAnotherMonthAndWhatEmptiesTheStack() {
        const QString start = duties();
        for (int i = 0; i < 100; ++i) {
            grid()->setCursor(2 + i % 31, 1 + (i / 31) % 3);
            key(i % 2 ? Qt::Key_S : Qt::Key_F);
        }
        for (int i = 0; i < 100; ++i)
            entry("mnuRueckgaengig")->trigger();
        QCOMPARE(duties(), start);
        QVERIFY(!entry("mnuRueckgaengig")->isEnabled());
        for (int i = 0; i < 100; ++i)
            entry("mnuWiederholen")->trigger();
        QVERIFY(duties() != start);

        // a step of March, undone while April is shown, shows March again
        const QString march = duties();
        grid()->setCursor(31, 2);
        key(Qt::Key_S);
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("datumUp")), Qt::LeftButton);
        QCOMPARE(w->month().firstDay, March.addMonths(1));
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->month().firstDay, March);
        QCOMPARE(duties(), march);

        // a paste the database refuses is no step: the last step stays on top
        grid()->setCursor(3, 3);
        key(Qt::Key_S);
        env().Datenbank.execute(
            QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Dienstzeiten "
                           "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END"));
        mark(3, 1, 4, 1);
        key(Qt::Key_C, Qt::ControlModifier);
        grid()->setCursor(10, 3);
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(entry("mnuRueckgaengig")->text(),
                 QStringLiteral("Rückgängig: Eintragen eines Dienstes"));

        // deleting an employee empties the stack, and the entry says so
        env().Datenbank.execute(QStringLiteral("DELETE FROM Mitarbeiter WHERE MaNr = m"), {carla},
                                {QStringLiteral("m")});
        w->gridrepaint();
        QCOMPARE(entry("mnuRueckgaengig")->text(), QStringLiteral("Rückgängig nicht möglich"));
        QVERIFY(!entry("mnuRueckgaengig")->isEnabled());
        const QString kept = duties();
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(duties(), kept);
    }
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
