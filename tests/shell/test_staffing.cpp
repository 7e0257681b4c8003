// The staffing check in the real main window: the window "Besetzung" (menu "Prüfung") edits the
// requirements, the members' qualifications and the list by keyboard and stores them with
// "Speichern" (a bad entry and Esc store nothing); the day labels of the roster carry the marks
// with the gaps as tooltips and follow a duty entered by key; the check window lists the gaps and
// a double-click goes to the day.

#include "data/Staffing.h"
#include "platform/Formats.h"
#include "reports/frmArbeitszeitpruefung.h"
#include "reports/frmBesetzung.h"
#include "shell/CheckMenu.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/Modal.h"
#include "tests/support/TestDesk.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

using namespace testing;

namespace {

QDate dec(int day) {
    return QDate(2026, 12, day);
}

// Types a text into a cell of a table: F2, the text, Enter.
void type(QTableWidget* table, int row, int col, const QString& text) {
    table->setCurrentCell(row, col);
    // a new row opens its first cell for typing at once
    if (!table->indexWidget(table->currentIndex())) QTest::keyClick(table, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(table->currentIndex()));
    QVERIFY(editor);
    editor->selectAll();
    editor->insert(text); // QTest types ASCII only
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(table->item(row, col)->text(), text); // the delegate commits queued
}

void toggle(QTableWidget* table, int row, int col) {
    table->setFocus();
    table->setCurrentCell(row, col);
    QTest::keyClick(table, Qt::Key_Space);
}

} // namespace

class TestStaffing : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> desk;
    std::unique_ptr<frmTurnova> w;
    int anna = 0;
    int ben = 0;

    data::DataUmgebung& env() { return w->session().env; }
    FlexGrid* grid() { return w->grid(); }
    int groupNr() { return w->month().groupNumber; }

    // Opens "Besetzung" and runs the action on it.
    void withWindow(const std::function<void(frmBesetzung*)>& action) {
        bool ran = false;
        onModal([&](QWidget* window) {
            ran = true;
            action(qobject_cast<frmBesetzung*>(window));
            if (window->isVisible()) QTest::keyClick(window, Qt::Key_Escape);
        });
        w->menuAction(QStringLiteral("mnuBesetzung"))->trigger();
        QVERIFY(ran);
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
        exec(env(), QStringLiteral("INSERT INTO Standarddienste (Taste, Anfang, Ende, Kurzinfo) "
                                   "VALUES ('S', #12/30/1899 13:30#, #12/30/1899 21:30#, "
                                   "'Spätdienst')"));
        anna = employee(env(), QStringLiteral("Anna"), 1);
        ben = employee(env(), QStringLiteral("Ben"), 2);
        member(env(), groupNr(), anna, 1);
        member(env(), groupNr(), ben, 2);
        env().rsStandarddienste.requery();
        w->gridrepaint();
    }
    void cleanup() {
        if (w) w->close();
        w.reset();
        desk.reset();
    }

    void theWindowStoresWhatTheKeyboardEntered() {
        // a bad entry is named and nothing is stored; Esc stores nothing either
        withWindow([&](frmBesetzung* window) {
            QVERIFY(window->width() <= 1024 && window->height() <= 768);
            auto* table = in<QTableWidget>(window, "grdAnforderungen");
            QTest::mouseClick(in<QPushButton>(window, "cmdNeu"), Qt::LeftButton);
            type(table, 0, frmBesetzung::Schicht, QStringLiteral("Spätdienst"));
            type(table, 0, frmBesetzung::Dienst, QStringLiteral("Q"));
            QTest::mouseClick(in<QPushButton>(window, "cmdSpeichern"), Qt::LeftButton);
            QCOMPARE(desk->prompts.texts().value(0),
                     QStringLiteral("Zeile 1: Der Dienst muss die Taste eines Standarddienstes "
                                    "(zum Beispiel S) oder eine Zeitspanne wie 06:00-14:00 sein."));
            QVERIFY(window->isVisible());
            QCOMPARE(table->currentColumn(), int(frmBesetzung::Dienst));
        });
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Besetzung")), 0);

        withWindow([&](frmBesetzung* window) {
            auto* table = in<QTableWidget>(window, "grdAnforderungen");
            QTest::mouseClick(in<QPushButton>(window, "cmdNeu"), Qt::LeftButton);
            type(table, 0, frmBesetzung::Schicht, QStringLiteral("Spätdienst"));
            type(table, 0, frmBesetzung::Dienst, QStringLiteral("s"));
            type(table, 0, frmBesetzung::Mindest, QStringLiteral("2"));
            toggle(table, 0, frmBesetzung::Feiertag); // not on holidays
            auto* qual = in<QComboBox>(window, "cboQualifikation_0");
            qual->setCurrentIndex(qual->findText(QStringLiteral("Pflegefachkraft")));
            type(table, 0, frmBesetzung::QualMindest, QStringLiteral("1"));
            // a new qualification, held by Ben
            auto* tabs = in<QTabWidget>(window, "tabBesetzung");
            tabs->setCurrentIndex(2);
            QTest::mouseClick(in<QPushButton>(window, "cmdQualNeu"), Qt::LeftButton);
            auto* list = in<QTableWidget>(window, "grdQualifikationen");
            type(list, 4, 0, QStringLiteral("Wundexperte"));
            tabs->setCurrentIndex(1);
            auto* members = in<QTableWidget>(window, "grdMitarbeiter");
            QCOMPARE(members->columnCount(), 5);
            toggle(members, 1, 4);
            toggle(members, 0, 0);
            QTest::mouseClick(in<QPushButton>(window, "cmdSpeichern"), Qt::LeftButton);
            QVERIFY2(!window->isVisible(), qPrintable(desk->prompts.texts().join(" | ")));
        });
        engine::Connection& db = env().Datenbank;
        const QList<data::StaffingRequirement> r = data::loadRequirements(db, groupNr());
        QCOMPARE(r.size(), 1);
        QCOMPARE(r.at(0).key, QStringLiteral("S"));
        QCOMPARE(r.at(0).minimum, 2);
        QCOMPARE(r.at(0).days, 7);
        QCOMPARE(r.at(0).qualMinimum, 1);
        const QList<data::Qualification> quals = data::loadQualifications(db);
        QCOMPARE(quals.size(), 5);
        QCOMPARE(r.at(0).qualNr, quals.at(0).qualNr);
        const auto held = data::loadEmployeeQualifications(db);
        QCOMPARE(held.value(anna), QSet<int>({quals.at(0).qualNr}));
        QCOMPARE(held.value(ben), QSet<int>({quals.at(4).qualNr}));
    }

    void theSettingsWindowSwitchesThePrintedLines() {
        onModal([](QWidget* window) {
            QTest::keyClick(in<QCheckBox>(window, "chkBesetzung"), Qt::Key_Space);
            QTest::mouseClick(in<QPushButton>(window, "OKButton"), Qt::LeftButton);
        });
        w->menuAction(QStringLiteral("mnusettings"))->trigger();
        QVERIFY(data::staffingLinesShown(env().Datenbank));
    }

    void theDayLabelsAndTheCheckWindowShowTheGaps() {
        data::StaffingRequirement late;
        late.shift = QStringLiteral("Spätdienst");
        late.key = QStringLiteral("S");
        late.minimum = 2;
        late.qualNr = data::AnySkilled;
        late.qualMinimum = 1;
        const QList<data::Qualification> quals = data::loadQualifications(env().Datenbank);
        data::saveStaffing(env().Datenbank, quals, {{anna, {quals.at(0).qualNr}}}, groupNr(),
                           {late});
        grid()->setCursor(10, 2); // 9 December, Ben
        QTest::keyClick(grid(), Qt::Key_S);
        QTRY_COMPARE(grid()->dayMark(10), QStringLiteral("Spätdienst: 1 von 2, keine Fachkraft"));
        QCOMPARE(grid()->dayMark(2), QStringLiteral("Spätdienst: 0 von 2, keine Fachkraft"));
        grid()->setCursor(10, 1); // Anna joins him
        QTest::keyClick(grid(), Qt::Key_S);
        QTRY_COMPARE(grid()->dayMark(10), QString());
        // the mark is painted at the label's left edge: short of staff over short of a nurse
        const QRect label = grid()->visualRect(grid()->model()->index(2, 0));
        const QImage shot = grid()->viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(label.left() + 1, label.top() + 2), QColor(0xd0, 0x10, 0x10));
        QCOMPARE(shot.pixelColor(label.left() + 1, label.bottom() - 2), QColor(0xe0, 0x80, 0x00));

        w->menuAction(QStringLiteral("mnuArbeitszeitpruefung"))->trigger();
        frmArbeitszeitpruefung* list = findingsWindow(*w);
        QVERIFY(list);
        auto* tree = in<QTreeWidget>(list, "lvwBefunde");
        // after the working-time findings (the two duties without a break)
        QCOMPARE(tree->topLevelItemCount(), 32);
        QTreeWidgetItem* third = tree->topLevelItem(4);
        QCOMPARE(third->text(1) + QLatin1Char(' ') + third->text(2) + QLatin1Char(' ') +
                     third->text(3),
                 QStringLiteral("03.Do 03.12.26 Besetzung Spätdienst: 0 von 2, keine Fachkraft"));
        const QPoint at = tree->visualItemRect(third).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(grid()->currentRow(), 4);
        QCOMPARE(grid()->currentColumn(), 1);
        list->close();
    }
};

QTEST_MAIN(TestStaffing)
#include "test_staffing.moc"
