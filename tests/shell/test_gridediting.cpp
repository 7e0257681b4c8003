// Editing the roster of the real main window: duty keys, the number pad, an unassigned key,
// Delete, moving positions, Enter and double-clicks on day and sum cells, the right button, and
// the standard-duties editor of the menu. The database is checked afterwards.

#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "platform/Formats.h"
#include "platform/ScriptedPrompts.h"
#include "roster/MonthState.h"
#include "shell/FlexGrid.h"
#include "shell/GridEditing.h"
#include "shell/frmTurnova.h"
#include "tests/support/Modal.h"
#include "tests/support/TestDesk.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using testing::ModalSeen;
using testing::onModal;
using testing::TestDesk;

namespace {

// December 2026: the 1st is a Tuesday, the 5th a Saturday.
const QDate December(2026, 12, 1);

} // namespace

class TestGridEditing : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> desk;
    std::unique_ptr<frmTurnova> w;
    int anna = 0, bernd = 0, carla = 0;

    data::DataUmgebung& env() { return w->session().env; }
    FlexGrid* grid() { return w->grid(); }
    void exec(const QString& sql, const QVariantList& values = {}, const QStringList& names = {}) {
        env().Datenbank.execute(sql, values, names);
    }
    int addEmployee(const QString& name, double norm, double sollstd) {
        exec(QStringLiteral("INSERT INTO Mitarbeiter (PlanName, Nachname, normstunden, Sollstd) "
                            "VALUES (n, n, h, s)"),
             {name, norm, sollstd},
             {QStringLiteral("n"), QStringLiteral("h"), QStringLiteral("s")});
        return int(env().Datenbank.lastInsertRowId());
    }
    void addMember(int maNr, int pos) {
        exec(
            QStringLiteral("INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES (1, m, p)"),
            {maNr, pos}, {QStringLiteral("m"), QStringLiteral("p")});
    }
    void addStandardDuty(const QString& key, const QVariant& from, const QVariant& to,
                         const QVariant& kurz, double flat, bool norm, quint32 colour,
                         const QString& remark = {}) {
        exec(QStringLiteral("INSERT INTO Standarddienste (Taste, Anfang, Ende, Bemerkung, Pause, "
                            "Kurzinfo, Pauschalstunden, Normdienst, Farbe, S1, S2, Dienstcode) "
                            "VALUES (k, a, e, b, 0.5, i, f, n, c, 1.5, 2, 'X1')"),
             {key, from, to, remark, kurz, flat, norm, qint64(colour)},
             {QStringLiteral("k"), QStringLiteral("a"), QStringLiteral("e"), QStringLiteral("b"),
              QStringLiteral("i"), QStringLiteral("f"), QStringLiteral("n"), QStringLiteral("c")});
    }
    static QVariant time(int h, int m, bool nextDay = false) {
        return engine::dayNumber(QTime(h, m)) + (nextDay ? 1.0 : 0.0);
    }
    void addDuty(int maNr, const QDate& day, const QString& kurz) {
        exec(QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Kurzinfo, Normstunden) "
                            "VALUES (d, m, k, 8)"),
             {day, maNr, kurz}, {QStringLiteral("d"), QStringLiteral("m"), QStringLiteral("k")});
    }
    // The duties of an employee on a day, as rows of field values.
    QList<QVariantMap> dutyRows(int maNr, const QDate& day) {
        engine::Recordset rs;
        rs.openSql(env().Datenbank,
                   QStringLiteral("SELECT * FROM Dienstzeiten WHERE MaNr = m AND Tag = d"),
                   {maNr, day}, {QStringLiteral("m"), QStringLiteral("d")});
        QList<QVariantMap> rows;
        for (; !rs.eof(); rs.moveNext()) {
            QVariantMap row;
            for (const QString& f : rs.fieldNames())
                row[f.toLower()] = rs.value(f);
            rows << row;
        }
        return rows;
    }
    int positionOf(int maNr) {
        engine::Recordset rs;
        rs.openSql(
            env().Datenbank,
            QStringLiteral("SELECT DienstPos FROM GpZuordnung WHERE MaNr = m AND GruppenNr = 1"),
            {maNr}, {QStringLiteral("m")});
        return rs.value(0).toInt();
    }
    void press(int row, int col, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        grid()->setCursor(row, col);
        QTest::keyClick(grid(), key, mods);
    }
    QPoint cellCentre(int row, int col) {
        const QModelIndex index = grid()->model()->index(row, col);
        grid()->scrollTo(index);
        return grid()->visualRect(index).center();
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }

    void init() {
        desk = std::make_unique<TestDesk>();
        desk->prompts.queueAnswer(platform::Answer::Yes); // create the database
        w = std::make_unique<frmTurnova>(desk->services);
        QVERIFY(w->Turnova_Load(desk->db()));
        anna = addEmployee(QStringLiteral("Anna"), 7.7, 0);
        bernd = addEmployee(QStringLiteral("Bernd"), 8, 160);
        carla = addEmployee(QStringLiteral("Carla"), 6, 0);
        addMember(anna, 1);
        addMember(bernd, 2);
        addMember(carla, 4); // position 3 stays empty
        addStandardDuty(QStringLiteral("F"), time(6, 0), time(14, 0), QStringLiteral("Frühdienst"),
                        1.0, false, 255);
        addStandardDuty(QStringLiteral("N"), QVariant(), QVariant(), QStringLiteral("Normal"), 3.0,
                        true, roster::White);
        addStandardDuty(QStringLiteral("7"), time(22, 0), time(6, 0, true), QStringLiteral("NB"), 0,
                        false, roster::White, QStringLiteral("Nachtbereitschaft"));
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

    void aKeyWritesTheStandardDutyWithAllItsFields() {
        addDuty(anna, December.addDays(10), QStringLiteral("Alt"));
        press(12, 1, Qt::Key_F); // the 11th, a Friday
        const QList<QVariantMap> rows = dutyRows(anna, December.addDays(10));
        QCOMPARE(rows.size(), 1);
        const QVariantMap d = rows.first();
        QCOMPARE(engine::toDateTime(d["anfang"]).time(), QTime(6, 0));
        QCOMPARE(engine::toDateTime(d["ende"]).time(), QTime(14, 0));
        QVERIFY(d["bemerkung"].isNull()); // an empty remark becomes null
        QCOMPARE(d["kurzinfo"].toString(), QStringLiteral("Frühdienst"));
        QCOMPARE(d["pause"].toDouble(), 0.5);
        QCOMPARE(d["s1"].toDouble(), 1.5);
        QCOMPARE(d["s2"].toDouble(), 2.0);
        QCOMPARE(d["farbe"].toInt(), 255);
        QCOMPARE(d["normstunden"].toDouble(), 1.0);
        QCOMPARE(d["normdienst"].toBool(), false);
        QVERIFY(d["dienstcode"].isNull());
        // the cell is written at once; the sums follow with the delayed repaint
        QCOMPARE(grid()->text(12, 1), QStringLiteral("06:00 - 14:00 Fr"));
        QCOMPARE(grid()->background(12, 1), 255u);
        QVERIFY(w->timer1()->isActive());
        QVERIFY(desk->prompts.shown.isEmpty());
        // the employee's statistics are due again from that day
        engine::Recordset rs;
        rs.openSql(env().Datenbank,
                   QStringLiteral("SELECT lastChange FROM Mitarbeiter WHERE MaNr = m"), {anna},
                   {QStringLiteral("m")});
        QCOMPARE(engine::toDate(rs.value(0)), December.addDays(10));
    }

    void aNormDutyTakesTheEmployeesDailyHours() {
        press(2, 1, Qt::Key_N); // Anna, 1 December
        QCOMPARE(dutyRows(anna, December).value(0)["normstunden"].toDouble(), 7.7);
        QCOMPARE(dutyRows(anna, December).value(0)["normdienst"].toBool(), true);
        QCOMPARE(grid()->text(2, 1), QStringLiteral("Normal"));
        press(2, 2, Qt::Key_N); // Bernd
        QCOMPARE(dutyRows(bernd, December).value(0)["normstunden"].toDouble(), 8.0);
    }

    void theNumberPadEntersTheDutyOfTheDigit() {
        press(3, 2, Qt::Key_7, Qt::KeypadModifier); // Bernd, 2 December
        const QList<QVariantMap> rows = dutyRows(bernd, December.addDays(1));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.value(0)["kurzinfo"].toString(), QStringLiteral("NB"));
        QCOMPARE(rows.value(0)["bemerkung"].toString(), QStringLiteral("Nachtbereitschaft"));
        // the end after midnight travels with the duty
        QCOMPARE(*engine::dayNumber(rows.value(0)["ende"]), time(6, 0, true).toDouble());
        QCOMPARE(grid()->text(3, 2), QStringLiteral("22:00 - 06:00 NB"));
    }

    void anUnassignedKeyKeepsTheDutyAndSaysSo() {
        addDuty(anna, December.addDays(2), QStringLiteral("Urlaub"));
        w->gridrepaint();
        press(4, 1, Qt::Key_Q);
        QCOMPARE(dutyRows(anna, December.addDays(2)).size(), 1);
        QCOMPARE(dutyRows(anna, December.addDays(2)).value(0)["kurzinfo"].toString(),
                 QStringLiteral("Urlaub"));
        QCOMPARE(grid()->text(4, 1), QStringLiteral("Urlaub"));
        QCOMPARE(desk->prompts.shown.size(), 1);
        const platform::Message m = desk->prompts.shown.first();
        QCOMPARE(m.text, QStringLiteral("Dieser Taste ist kein Standarddienst zugeordnet. \n"
                                        "Taste: Q\nCode: 81"));
        QCOMPARE(m.buttons, platform::Buttons::Ok);
        // a standard duty's key still replaces the duty
        press(4, 1, Qt::Key_F);
        QCOMPARE(dutyRows(anna, December.addDays(2)).size(), 1);
        QCOMPARE(dutyRows(anna, December.addDays(2)).value(0)["kurzinfo"].toString(),
                 QStringLiteral("Frühdienst"));
    }

    void aFailedWriteKeepsTheOldDuty() {
        addDuty(anna, December.addDays(3), QStringLiteral("Urlaub"));
        exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Dienstzeiten "
                            "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END"));
        press(5, 1, Qt::Key_F);
        QCOMPARE(dutyRows(anna, December.addDays(3)).size(), 1);
        QCOMPARE(dutyRows(anna, December.addDays(3)).value(0)["kurzinfo"].toString(),
                 QStringLiteral("Urlaub"));
        QCOMPARE(desk->prompts.shown.size(), 1);
        QVERIFY(desk->prompts.shown.first().text.endsWith(QStringLiteral("Modul : insStdDienst")));
        // the shared recordset still finds the duty
        exec(QStringLiteral("DROP TRIGGER refuse"));
        press(5, 1, Qt::Key_F);
        QCOMPARE(dutyRows(anna, December.addDays(3)).value(0)["kurzinfo"].toString(),
                 QStringLiteral("Frühdienst"));
    }

    void keysOutsideTheDaysDoNothing() {
        const int days = w->month().days;
        for (int row : {days + 2, days + 4}) {
            press(row, 1, Qt::Key_F);
            press(row, 1, Qt::Key_Q);
        }
        press(3, 3, Qt::Key_F); // the empty position
        engine::Recordset rs;
        rs.openSql(env().Datenbank, QStringLiteral("SELECT count(*) FROM Dienstzeiten"));
        QCOMPARE(rs.value(0).toInt(), 0);
        QVERIFY(desk->prompts.shown.isEmpty());
    }

    void deleteRemovesTheDutyOfTheCell() {
        addDuty(bernd, December.addDays(4), QStringLiteral("Frei"));
        w->gridrepaint();
        press(6, 2, Qt::Key_Delete);
        QVERIFY(dutyRows(bernd, December.addDays(4)).isEmpty());
        QVERIFY(grid()->text(6, 2).isEmpty());
        QCOMPARE(grid()->background(6, 2), w->month().weekendColor); // a Saturday
        QVERIFY(desk->prompts.shown.isEmpty());
    }

    void altArrowsMovePositions() {
        // Alt+Left on the first column does nothing
        press(5, 1, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(positionOf(anna), 1);
        QCOMPARE(grid()->col(), 1);
        // Alt+Right exchanges Anna and Bernd; the cursor stays on Anna
        press(5, 1, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(positionOf(anna), 2);
        QCOMPARE(positionOf(bernd), 1);
        QCOMPARE(grid()->col(), 2);
        QCOMPARE(grid()->row(), 5);
        QCOMPARE(grid()->text(0, 1), QStringLiteral("Bernd"));
        QCOMPARE(grid()->text(0, 2), QStringLiteral("Anna"));
        // towards the empty position 3 only the cursor moves
        press(5, 2, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(positionOf(anna), 2);
        QCOMPARE(positionOf(carla), 4);
        QCOMPARE(grid()->col(), 3);
        // the last column has nothing to its right
        press(5, 4, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(positionOf(carla), 4);
        QCOMPARE(grid()->col(), 4);
    }

    void enterOpensTheDutyEntryAndEscLeavesTheRecord() {
        addDuty(anna, December.addDays(7), QStringLiteral("Urlaub"));
        w->gridrepaint();
        ModalSeen seen;
        onModal(
            [](QWidget* dialog) {
                auto* kurz = dialog->findChild<QLineEdit*>(QStringLiteral("txtKurzinfo"));
                kurz->setText(QStringLiteral("Krank"));
                QTest::keyClick(dialog, Qt::Key_Escape);
            },
            &seen);
        press(9, 1, Qt::Key_Return);
        QCOMPARE(seen.name, QStringLiteral("frmDiensteingabe"));
        QCOMPARE(seen.caption, QStringLiteral("Diensteingabe"));
        QCOMPARE(dutyRows(anna, December.addDays(7)).value(0)["kurzinfo"].toString(),
                 QStringLiteral("Urlaub"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        // on an empty cell Enter opens nothing
        seen = {};
        press(11, 1, Qt::Key_Return);
        QVERIFY(seen.name.isEmpty());
    }

    void doubleClickOpensTheDutyEntryOfTheCell() {
        addDuty(bernd, December.addDays(14), QStringLiteral("Urlaub"));
        w->gridrepaint();
        ModalSeen seen;
        QString shownShortText;
        onModal(
            [&shownShortText](QWidget* dialog) {
                auto* kurz = dialog->findChild<QLineEdit*>(QStringLiteral("txtKurzinfo"));
                shownShortText = kurz->text();
                kurz->setText(QStringLiteral("Krank"));
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdClose")),
                                  Qt::LeftButton);
            },
            &seen);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(16, 2));
        QCOMPARE(seen.name, QStringLiteral("frmDiensteingabe"));
        QCOMPARE(shownShortText, QStringLiteral("Urlaub"));
        QCOMPARE(dutyRows(bernd, December.addDays(14)).value(0)["kurzinfo"].toString(),
                 QStringLiteral("Krank"));
        QCOMPARE(grid()->text(16, 2), QStringLiteral("Krank")); // repainted
    }

    void doubleClickOnASumRowOpensTheTargetHours() {
        const int days = w->month().days;
        // Anna has no flat target: the note, and the input is locked
        QString note, name, monthText;
        bool inputEnabled = true;
        onModal([&](QWidget* dialog) {
            note = dialog->findChild<QLabel*>(QStringLiteral("Label2"))->text();
            name = dialog->findChild<QLineEdit*>(QStringLiteral("Text2"))->text();
            monthText = dialog->findChild<QLineEdit*>(QStringLiteral("Text3"))->text();
            inputEnabled = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->isEnabled();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(days + 2, 1));
        QCOMPARE(name, QStringLiteral("Anna"));
        QCOMPARE(monthText, QStringLiteral("Dezember"));
        QVERIFY(note.startsWith(QStringLiteral("Die Sollstunden werden automatsch berechnet.")));
        QVERIFY(!inputEnabled);
        // Bernd's flat target can be changed for the month
        ModalSeen seen;
        onModal(
            [](QWidget* dialog) {
                auto* target = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
                QVERIFY(target->isEnabled());
                target->setText(QStringLiteral("150,5"));
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                                  Qt::LeftButton);
            },
            &seen);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(days + 4, 2));
        QCOMPARE(seen.caption, QStringLiteral("Sollstunden ändern"));
        engine::Recordset rs;
        rs.openSql(env().Datenbank,
                   QStringLiteral(
                       "SELECT Soll FROM Statistik WHERE MaNr = m AND Jahr = 2026 AND Monat = 12"),
                   {bernd}, {QStringLiteral("m")});
        QCOMPARE(rs.value(0).toDouble(), 150.5);
        QCOMPARE(grid()->text(1, 2), QStringLiteral("150,50"));
    }

    void theRightButtonRemembersTheSelection() {
        grid()->setCursor(4, 1);
        grid()->setRangeSelected(QTableWidgetSelectionRange(4, 1, 6, 2), true);
        GridEditing* editing = gridEditing(*w);
        QVERIFY(editing);
        // inside the marked block the selection stays as it was
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, cellCentre(5, 2));
        QCOMPARE(editing->rememberedBlock(), QRect(QPoint(1, 4), QPoint(2, 6)));
        QCOMPARE(editing->rememberedCell(), QPoint(2, 5));
        QCOMPARE(grid()->selectedBlock(), QRect(QPoint(1, 4), QPoint(2, 6)));
        QTest::mouseRelease(grid()->viewport(), Qt::RightButton, {}, cellCentre(5, 2));
        // outside it the cursor moves to the pressed cell first
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, cellCentre(9, 4));
        QCOMPARE(editing->rememberedBlock(), QRect(QPoint(4, 9), QPoint(4, 9)));
        QCOMPARE(editing->rememberedCell(), QPoint(4, 9));
        QCOMPARE(grid()->selectedBlock(), QRect(QPoint(4, 9), QPoint(4, 9)));
        QTest::mouseRelease(grid()->viewport(), Qt::RightButton, {}, cellCentre(9, 4));
    }

    void theMenuOpensTheStandardDutiesEditor() {
        ModalSeen seen;
        onModal(
            [this](QWidget* dialog) {
                // a standard duty added behind the editor's back is there after it closes
                addStandardDuty(QStringLiteral("S"), QVariant(), QVariant(), QStringLiteral("Spät"),
                                0, false, roster::White);
                dialog->close();
            },
            &seen);
        w->menuAction(QStringLiteral("mnustdedit"))->trigger();
        QCOMPARE(seen.caption, QStringLiteral("Standarddienste"));
        press(2, 1, Qt::Key_S);
        QCOMPARE(dutyRows(anna, December).value(0)["kurzinfo"].toString(), QStringLiteral("Spät"));
    }
};

QTEST_MAIN(TestGridEditing)
#include "test_gridediting.moc"
