#pragma once
// The roster that the block and undo tests drive: March 2027 (the 1st a Monday) with three
// members, Anna, Bert and Carla, in positions 1 to 3; the standard duties S (13:00 to 21:00,
// "Spät", red) and F (06:00 to 14:00, "Früh"); the labels A2 and A3 on Anna's 2nd and 3rd and
// B2 on Bert's 2nd; and the steps of the mouse on its grid.

#include "platform/Desktop.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestDesk.h"

#include <QApplication>
#include <QMimeData>
#include <QTableWidget>
#include <QTest>

#include <memory>

namespace testing {

class BlockRoster {
protected:
    const QDate March{2027, 3, 1};
    std::unique_ptr<TestDesk> desk;
    std::unique_ptr<frmTurnova> w;
    int anna = 0, bert = 0, carla = 0;

    // The window on a new database with the roster above, shown, the prompts and the clipboard
    // empty.
    bool startRoster() {
        desk = std::make_unique<TestDesk>(QDate(2027, 3, 10));
        desk->prompts.queueAnswer(platform::Answer::Yes); // create the database
        w = std::make_unique<frmTurnova>(desk->services);
        if (!w->Turnova_Load(desk->db())) return false;
        anna = addEmployee(env(), "Anna", QDate(2020, 1, 1), 7.7);
        bert = addEmployee(env(), "Bert", QDate(2020, 1, 1), 8.0);
        carla = addEmployee(env(), "Carla", QDate(2020, 1, 1), 6.0);
        env().Datenbank.execute(QStringLiteral("DELETE FROM GpZuordnung"));
        addRow(env().rsGpZuordnung, {{"GruppenNr", 1}, {"MaNr", anna}, {"DienstPos", 1}});
        addRow(env().rsGpZuordnung, {{"GruppenNr", 1}, {"MaNr", bert}, {"DienstPos", 2}});
        addRow(env().rsGpZuordnung, {{"GruppenNr", 1}, {"MaNr", carla}, {"DienstPos", 3}});
        addRow(env().rsStandarddienste, {{"Taste", "S"},
                                         {"Anfang", timeValue(QTime(13, 0))},
                                         {"Ende", timeValue(QTime(21, 0))},
                                         {"Kurzinfo", "Spät"},
                                         {"Farbe", 255}});
        addRow(env().rsStandarddienste, {{"Taste", "F"},
                                         {"Anfang", timeValue(QTime(6, 0))},
                                         {"Ende", timeValue(QTime(14, 0))},
                                         {"Kurzinfo", "Früh"}});
        addLabel(env(), anna, March.addDays(1), "A2");
        addLabel(env(), anna, March.addDays(2), "A3");
        addLabel(env(), bert, March.addDays(1), "B2");
        w->GprSel_Click();
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) return false;
        desk->prompts.clear();
        platform::setClipboardText(QString());
        return true;
    }
    void closeRoster() {
        if (w) w->close();
        w.reset();
        desk.reset();
    }

    data::DataUmgebung& env() { return w->session().env; }
    FlexGrid* grid() { return w->grid(); }
    QAction* entry(const char* name) { return w->menuAction(QLatin1String(name)); }
    // Marks the block from (row1, col1) to (row2, col2) with the cursor on its first cell.
    void mark(int row1, int col1, int row2, int col2) {
        grid()->setCursor(row1, col1);
        grid()->setRangeSelected(QTableWidgetSelectionRange(row1, col1, row2, col2), true);
    }
    QPoint cellCentre(int row, int col) {
        const QModelIndex index = grid()->model()->index(row, col);
        grid()->scrollTo(index);
        return grid()->visualRect(index).center();
    }
    // A drag entering the grid and dropped on a cell.
    void drop(QMimeData* data, int row, int col) {
        const QPoint at = cellCentre(row, col);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, data, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(grid()->viewport(), &enter);
        QDropEvent dropped(QPointF(at), actions, data, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(grid()->viewport(), &dropped);
        delete data;
    }
};

} // namespace testing
