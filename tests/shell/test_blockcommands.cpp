// Blocks of duties in the real main window: the clipboard keys, Delete on one and on several
// cells, foreign clipboard text, a paste the database refuses, the pop-up menus of the right
// button and of a dropped block, saved-duty files written, read, damaged and unwritable; and the
// standard-duties overview beside the roster with its colours, its menu entry, its editor and
// a duty dragged from it onto a day. The database is checked after each step.

#include "engine/DateValue.h"
#include "platform/Desktop.h"
#include "platform/Formats.h"
#include "reports/frmstdinfo.h"
#include "roster/DutyBlockFormat.h"
#include "shell/BlockCommands.h"
#include "shell/FlexGrid.h"
#include "shell/StdInfoCommands.h"
#include "shell/frmTurnova.h"
#include "tests/roster/RosterRows.h"
#include "tests/shell/BlockRoster.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

using namespace testing;

namespace {

const QString Format = QStringLiteral("Zwischenablage entspricht nicht dem Format");

} // namespace

class TestBlockCommands : public QObject, BlockRoster {
    Q_OBJECT

    BlockCommands* blocks() { return blockCommands(*w); }
    QStringList shown() { return desk->prompts.texts(); }
    QString kurz(int maNr, const QDate& day) {
        engine::Recordset rs;
        rs.openSql(env().Datenbank,
                   QStringLiteral("SELECT Kurzinfo FROM Dienstzeiten WHERE MaNr = m AND Tag = d"),
                   {maNr, day}, {QStringLiteral("m"), QStringLiteral("d")});
        return rs.eof() ? QStringLiteral("-") : rs.value(0).toString();
    }
    int dutyCount() {
        engine::Recordset rs;
        rs.openSql(env().Datenbank, QStringLiteral("SELECT count(*) FROM Dienstzeiten"));
        return rs.value(0).toInt();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(grid(), k, mods);
    }
    void rightClick(int row, int col) {
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, cellCentre(row, col));
        QTest::mouseRelease(grid()->viewport(), Qt::RightButton, {}, cellCentre(row, col));
    }
    QMenu* popup(const char* name) { return w->popupMenu(QLatin1String(name)); }
    frmstdinfo* overview() { return stdInfo(*w)->overview(); }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }

    void init() { QVERIFY(startRoster()); }
    void cleanup() { closeRoster(); }

    void clipboardKeysCopyCutAndPasteBlocks() {
        QCOMPARE(w->month().firstDay, March);
        mark(3, 1, 4, 2); // the 2nd and 3rd of Anna and Bert
        key(Qt::Key_C, Qt::ControlModifier);
        const QString copied = platform::clipboardText();
        QVERIFY(copied.startsWith(roster::blockHeader(env().rsDienstzeiten) + "\r\n"));
        QCOMPARE(copied.count("\r\n"), 5);
        // Shift+Insert pastes at the cursor: the 10th
        grid()->setCursor(11, 1);
        key(Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(kurz(anna, March.addDays(9)), QStringLiteral("A2"));
        QCOMPARE(kurz(anna, March.addDays(10)), QStringLiteral("A3"));
        QCOMPARE(kurz(bert, March.addDays(9)), QStringLiteral("B2"));
        QCOMPARE(grid()->text(12, 1), QStringLiteral("A3")); // repainted
        QCOMPARE(dutyCount(), 6);
        // Ctrl+X cuts the 10th and 11th of Anna; Ctrl+V puts them at Carla's 20th
        mark(11, 1, 12, 1);
        key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(kurz(anna, March.addDays(9)), QStringLiteral("-"));
        QVERIFY(grid()->text(11, 1).isEmpty());
        grid()->setCursor(21, 3);
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(kurz(carla, March.addDays(19)), QStringLiteral("A2"));
        QCOMPARE(kurz(carla, March.addDays(20)), QStringLiteral("A3"));
        // Shift+Delete cuts one cell: its text goes at once
        grid()->setCursor(3, 2);
        key(Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(kurz(bert, March.addDays(1)), QStringLiteral("-"));
        QVERIFY(grid()->text(3, 2).isEmpty());
        QVERIFY(w->timer1()->isActive());
        // Ctrl+Insert copies too
        grid()->setCursor(2, 1);
        key(Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(platform::clipboardText().count("\r\n"), 2);
        QVERIFY(desk->prompts.shown.isEmpty());
    }

    void deleteAsksOnlyForMoreThanOneCell() {
        grid()->setCursor(3, 1);
        key(Qt::Key_Delete);
        QVERIFY(desk->prompts.shown.isEmpty());
        QCOMPARE(kurz(anna, March.addDays(1)), QStringLiteral("-"));
        mark(3, 1, 4, 2);
        desk->prompts.queueAnswer(platform::Answer::No);
        key(Qt::Key_Delete);
        QCOMPARE(desk->prompts.shown.size(), 1);
        const platform::Message asked = desk->prompts.shown.first();
        QCOMPARE(asked.text, QStringLiteral("Wollen Sie alle markierten Dienste Löschen"));
        QCOMPARE(asked.buttons, platform::Buttons::YesNo);
        QCOMPARE(dutyCount(), 2);
        desk->prompts.queueAnswer(platform::Answer::Yes);
        key(Qt::Key_Delete);
        QCOMPARE(desk->prompts.shown.size(), 2);
        QCOMPARE(dutyCount(), 0);
        QVERIFY(grid()->text(4, 1).isEmpty());
    }

    void foreignTextAndRefusedPastesChangeNothing() {
        platform::setClipboardText(QStringLiteral("Name\tWert\r\nAnna\t3\r\n"));
        grid()->setCursor(10, 1);
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(shown(), QStringList{Format});
        QCOMPARE(dutyCount(), 3);
        // the database refuses a duty in the middle of the block: nothing of it stays
        mark(3, 1, 4, 1);
        key(Qt::Key_C, Qt::ControlModifier);
        env().Datenbank.execute(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE INSERT ON Dienstzeiten WHEN NEW.Kurzinfo = 'A3' "
            "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END"));
        grid()->setCursor(3, 2);
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(shown().last(), QStringLiteral("Fehler beim einfügen der Zwischenablage "));
        QCOMPARE(kurz(bert, March.addDays(1)), QStringLiteral("B2"));
        QCOMPARE(dutyCount(), 3);
        QCOMPARE(grid()->text(3, 2), QStringLiteral("B2"));
    }

    void theRightButtonOpensAktion() {
        QMenu* aktion = popup("mnuAktion");
        rightClick(5, 2);
        QTRY_VERIFY(aktion->isVisible());
        QVERIFY(!entry("mnuinsert")->isEnabled()); // the clipboard holds no duties
        aktion->hide();
        mark(3, 1, 3, 1);
        entry("mnucopy")->trigger();
        rightClick(8, 3);
        QTRY_VERIFY(aktion->isVisible());
        QVERIFY(entry("mnuinsert")->isEnabled());
        aktion->hide();
        // "einfügen" pastes at the right-clicked cell, Carla's 7th
        entry("mnuinsert")->trigger();
        QCOMPARE(kurz(carla, March.addDays(6)), QStringLiteral("A2"));
        // "löschen" deletes the marked block
        mark(3, 1, 3, 1);
        entry("mnudel")->trigger();
        QCOMPARE(kurz(anna, March.addDays(1)), QStringLiteral("-"));
        // the label column and the sum rows have no menu
        rightClick(5, 0);
        rightClick(w->month().days + 3, 1);
        QTest::qWait(20);
        QVERIFY(!aktion->isVisible());
    }

    void rightButtonCommandsActOnTheCellUnderThePointer() {
        // the cursor on Anna's 2nd, the right click on Bert's 2nd: Bert's duty goes
        grid()->setCursor(3, 1);
        rightClick(3, 2);
        QTRY_VERIFY(popup("mnuAktion")->isVisible());
        popup("mnuAktion")->hide();
        entry("mnudel")->trigger();
        QCOMPARE(kurz(bert, March.addDays(1)), QStringLiteral("-"));
        QCOMPARE(kurz(anna, March.addDays(1)), QStringLiteral("A2"));
        // a right click inside the marked block keeps the block: both of Anna's go after the
        // question
        mark(3, 1, 4, 1);
        rightClick(4, 1);
        popup("mnuAktion")->hide();
        desk->prompts.queueAnswer(platform::Answer::Yes);
        entry("mnudel")->trigger();
        QCOMPARE(shown(),
                 QStringList{QStringLiteral("Wollen Sie alle markierten Dienste Löschen")});
        QCOMPARE(dutyCount(), 0);
    }

    void aMoveThatWouldLoseADutyIsRefused() {
        const QString refused = QStringLiteral(
            "Der Block passt an dieser Stelle nicht in den Dienstplan: ein Teil davon läge hinter "
            "dem Monatsende oder hinter dem letzten Mitarbeiter. Es wurde nichts verschoben.");
        QMenu* bearb = popup("mnuBearb");
        const auto moveTo = [&](int row, int col) {
            mark(3, 1, 4, 2); // Anna's 2nd and 3rd, Bert's 2nd
            QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, cellCentre(3, 1));
            drop(blocks()->blockMimeData(), row, col);
            QTRY_VERIFY(bearb->isVisible());
            bearb->hide();
            entry("mnuVersch")->trigger();
        };
        // to the 31st, and onto the last member's column
        for (const QPoint at : {QPoint(1, 32), QPoint(3, 20)}) {
            desk->prompts.clear();
            moveTo(at.y(), at.x());
            QCOMPARE(shown(), QStringList{refused});
            QCOMPARE(dutyCount(), 3);
            QCOMPARE(kurz(anna, March.addDays(2)), QStringLiteral("A3"));
            QCOMPARE(kurz(bert, March.addDays(1)), QStringLiteral("B2"));
            QCOMPARE(grid()->text(3, 2), QStringLiteral("B2"));
        }
        // where the whole block fits it moves
        moveTo(20, 2);
        QCOMPARE(dutyCount(), 3);
        QCOMPARE(kurz(bert, March.addDays(18)), QStringLiteral("A2"));
        QCOMPARE(kurz(bert, March.addDays(19)), QStringLiteral("A3"));
        QCOMPARE(kurz(carla, March.addDays(18)), QStringLiteral("B2"));
        QCOMPARE(kurz(anna, March.addDays(1)), QStringLiteral("-"));
    }

    void aDroppedBlockIsCopiedOrMovedHere() {
        QMenu* bearb = popup("mnuBearb");
        // Anna's 2nd and 3rd, dragged from the 2nd to Carla's 15th
        mark(3, 1, 4, 1);
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, cellCentre(3, 1));
        drop(blocks()->blockMimeData(), 16, 3);
        QTRY_VERIFY(bearb->isVisible());
        bearb->hide();
        QCOMPARE(blocks()->dropCell(), QPoint(3, 16));
        entry("mnuKopier")->trigger();
        QCOMPARE(kurz(carla, March.addDays(14)), QStringLiteral("A2"));
        QCOMPARE(kurz(carla, March.addDays(15)), QStringLiteral("A3"));
        QCOMPARE(kurz(anna, March.addDays(1)), QStringLiteral("A2"));
        // moved one day down onto itself: the moved duties stay
        drop(blocks()->blockMimeData(), 4, 1);
        QTRY_VERIFY(bearb->isVisible());
        bearb->hide();
        entry("mnuVersch")->trigger();
        QCOMPARE(kurz(anna, March.addDays(1)), QStringLiteral("-"));
        QCOMPARE(kurz(anna, March.addDays(2)), QStringLiteral("A2"));
        QCOMPARE(kurz(anna, March.addDays(3)), QStringLiteral("A3"));
        QCOMPARE(grid()->text(5, 1), QStringLiteral("A3"));
        // a drop on the cell where the drag began offers nothing
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, cellCentre(4, 1));
        drop(blocks()->blockMimeData(), 4, 1);
        QTest::qWait(20);
        QVERIFY(!bearb->isVisible());
        // a failing move leaves source and target
        env().Datenbank.execute(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE INSERT ON Dienstzeiten WHEN NEW.Kurzinfo = 'A3' "
            "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END"));
        mark(4, 1, 5, 1);
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, cellCentre(4, 1));
        drop(blocks()->blockMimeData(), 4, 2);
        QTRY_VERIFY(bearb->isVisible());
        bearb->hide();
        entry("mnuVersch")->trigger();
        QCOMPARE(shown().last(), QStringLiteral("Fehler beim einfügen der Zwischenablage "));
        QCOMPARE(kurz(anna, March.addDays(2)), QStringLiteral("A2"));
        QCOMPARE(kurz(anna, March.addDays(3)), QStringLiteral("A3"));
        QCOMPARE(kurz(bert, March.addDays(2)), QStringLiteral("-"));
        QCOMPARE(grid()->text(4, 1), QStringLiteral("A2"));
    }

    void savedDutyFilesAreWrittenAndInserted() {
        const QString path = desk->dir.filePath(QStringLiteral("Woche.tns"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("alt");
        old.close();
        mark(3, 1, 4, 2);
        desk->prompts.queueFile(path);
        entry("nmusaveas")->trigger();
        const platform::FileRequest asked = desk->prompts.saveRequests.value(0);
        QCOMPARE(asked.defaultName, QStringLiteral("Dienste"));
        QCOMPARE(asked.defaultExtension, QStringLiteral(".tns"));
        QCOMPARE(asked.filter,
                 QStringLiteral("Alle Dateien (*.*)|*.*|Gespeicherte Dienste (*.tns)|*.tns|"));
        QCOMPARE(asked.filterIndex, 2);
        QCOMPARE(asked.startFolder, desk->services.folders.documentsFolder);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray content = saved.readAll();
        saved.close();
        QCOMPARE(content, (platform::clipboardText() + "\r\n").toUtf8());
        // inserted at Carla's 20th through the pop-up menu
        platform::setClipboardText(QString());
        rightClick(21, 2);
        popup("mnuAktion")->hide();
        desk->prompts.queueFile(path);
        entry("mnuinsertfrom")->trigger();
        QCOMPARE(kurz(bert, March.addDays(19)), QStringLiteral("A2"));
        QCOMPARE(kurz(bert, March.addDays(20)), QStringLiteral("A3"));
        QCOMPARE(kurz(carla, March.addDays(19)), QStringLiteral("B2"));
        QCOMPARE(platform::clipboardText().toUtf8() + "\r\n", content);
        QVERIFY(desk->prompts.shown.isEmpty());
        // a damaged file changes nothing
        QFile damaged(path);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(content.left(content.size() / 2) + "\tx\r\n");
        damaged.close();
        const int before = dutyCount();
        desk->prompts.queueFile(path);
        entry("mnuinsertfrom")->trigger();
        QCOMPARE(shown(), QStringList{QStringLiteral("Datei entspricht nicht dem Format")});
        QCOMPARE(dutyCount(), before);
        // a file that cannot be written says so and leaves the old one
        desk->prompts.clear();
        desk->prompts.queueFile(desk->dir.filePath(QStringLiteral("fehlt/Dienste.tns")));
        entry("nmusaveas")->trigger();
        QCOMPARE(desk->prompts.shown.size(), 1);
        QVERIFY(shown().first().contains(QStringLiteral("konnte nicht geschrieben werden. Der "
                                                        "Ordner")));
        QVERIFY(shown().first().endsWith(QStringLiteral("Die Dienste sind nicht gespeichert.")));
        // a cancelled dialog does nothing
        desk->prompts.clear();
        entry("mnuinsertfrom")->trigger();
        entry("nmusaveas")->trigger();
        QVERIFY(desk->prompts.shown.isEmpty());
        QCOMPARE(dutyCount(), before);
    }

    void filesWithValuesNoDutyHasAreRefused() {
        mark(3, 1, 3, 1); // Anna's 2nd
        key(Qt::Key_C, Qt::ControlModifier);
        const QString copied = platform::clipboardText();
        const QStringList header = copied.section(QStringLiteral("\r\n"), 0, 0).split('\t');
        // the copied block with one value of its duty replaced
        const auto with = [&](const char* field, const QString& value) {
            QStringList lines = copied.split(QStringLiteral("\r\n"));
            QStringList values = lines[1].split('\t');
            values[header.indexOf(QLatin1String(field), 0)] = value;
            lines[1] = values.join('\t');
            return lines.join(QStringLiteral("\r\n"));
        };
        const QString path = desk->dir.filePath(QStringLiteral("Fremd.tns"));
        const auto insert = [&](const QString& text) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(roster::blockFileContent(text));
            file.close();
            grid()->setCursor(10, 2); // Bert's 9th
            rightClick(10, 2);
            popup("mnuAktion")->hide();
            desk->prompts.queueFile(path);
            entry("mnuinsertfrom")->trigger();
        };
        for (const auto& [field, value] : std::initializer_list<std::pair<const char*, QString>>{
                 {"Normstunden", QStringLiteral("1e308")},
                 {"Pause", QStringLiteral("-5000")},
                 {"Anfang", QStringLiteral("15.03.2027 08:00:00")},
                 {"Farbe", QStringLiteral("99999999999")},
                 {"Kurzinfo", QStringLiteral("A") + QChar(0) + QStringLiteral("B")}}) {
            platform::setClipboardText(QStringLiteral("vorher"));
            desk->prompts.clear();
            insert(with(field, value));
            QCOMPARE(shown(), QStringList{QStringLiteral("Datei entspricht nicht dem Format")});
            QCOMPARE(dutyCount(), 3);
            QCOMPARE(platform::clipboardText(), QStringLiteral("vorher"));
        }
        // a spreadsheet's quoted cells lose their quotes
        desk->prompts.clear();
        insert(with("Kurzinfo", QStringLiteral("\"Sp\"\"ät, lang\"")));
        QVERIFY(desk->prompts.shown.isEmpty());
        QCOMPARE(kurz(bert, March.addDays(8)), QStringLiteral("Sp\"ät, lang"));
    }

    void theOverviewStandsBesideTheRoster() {
        QTRY_VERIFY(overview() && overview()->isVisible());
        QAction* info = entry("mnustdinfo");
        QVERIFY(info->isChecked());
        QCOMPARE(overview()->windowTitle(), QStringLiteral("Standarddienst Info"));
        // a window as wide as the screen: the overview stands in a strip the roster leaves free
        const QRect screen = w->screen()->availableGeometry();
        w->setGeometry(screen.adjusted(0, 30, 0, 0));
        const auto gridOnScreen = [this] {
            return QRect(grid()->mapToGlobal(QPoint(0, 0)), grid()->size());
        };
        QTRY_VERIFY(!overview()->frameGeometry().intersects(gridOnScreen()));
        QVERIFY(w->rosterMargin() > 0);
        QVERIFY(screen.contains(overview()->geometry()));
        QVERIFY(overview()->width() >
                overview()->fontMetrics().horizontalAdvance(overview()->windowTitle()));
        // a narrow window: beside it, and the roster takes the whole width
        w->setGeometry(QRect(screen.topLeft() + QPoint(0, 30), QSize(400, 400)));
        QTRY_COMPARE(w->rosterMargin(), 0);
        QTRY_VERIFY(!overview()->frameGeometry().intersects(gridOnScreen()));
        auto* list = overview()->findChild<QTableWidget*>(QStringLiteral("DataGrid1"));
        auto* hint = overview()->findChild<QLabel*>(QStringLiteral("Label1"));
        QCOMPARE(hint->text(), QStringLiteral("Ziehen Sie den Dienst auf den Turnova."));
        // in key order, each row in its duty's colour; a duty without colour keeps the default
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(list->item(0, 0)->text(), QStringLiteral("Taste"));
        QCOMPARE(list->item(0, 1)->text(), QStringLiteral("Dienst"));
        QCOMPARE(list->item(1, 0)->text(), QStringLiteral("F"));
        QCOMPARE(list->item(1, 1)->text(), QStringLiteral("06:00 - 14:00 Fr"));
        QCOMPARE(list->item(1, 0)->background(), QBrush());
        QCOMPARE(list->item(2, 0)->text(), QStringLiteral("S"));
        QCOMPARE(list->item(2, 1)->background().color(), QColor(255, 0, 0));
        // "anzeigen" hides and shows it; closing it clears the check
        info->trigger();
        QVERIFY(!info->isChecked());
        QVERIFY(!overview()->isVisible());
        info->trigger();
        QVERIFY(overview()->isVisible());
        overview()->close();
        QVERIFY(!info->isChecked());
        info->trigger();
        QVERIFY(overview()->isVisible());
    }

    void aNewDutyAppearsAfterTheEditorClosed() {
        QTRY_VERIFY(overview() && overview()->isVisible());
        auto* list = overview()->findChild<QTableWidget*>(QStringLiteral("DataGrid1"));
        QString shownKey;
        QTimer::singleShot(0, [this, &shownKey] {
            QWidget* editor = QApplication::activeModalWidget();
            if (!editor) return;
            shownKey = editor->findChild<QLineEdit*>(QStringLiteral("txtTaste"))->text();
            addRow(env().rsStandarddienste, {{"Taste", "N"}, {"Kurzinfo", "Nacht"}});
            editor->close();
        });
        const QRect second = list->visualRect(list->model()->index(2, 0));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(shownKey, QStringLiteral("S"));
        QCOMPARE(list->rowCount(), 4);
        QCOMPARE(list->item(2, 0)->text(), QStringLiteral("N"));
        QCOMPARE(list->item(2, 1)->text(), QStringLiteral("Nacht"));
    }

    void aDutyDraggedFromTheOverviewIsEntered() {
        QTRY_VERIFY(overview() && overview()->isVisible());
        auto* list = overview()->findChild<QTableWidget*>(QStringLiteral("DataGrid1"));
        const QRect row = list->visualRect(list->model()->index(2, 0));
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(overview()->rememberedKey(), QStringLiteral("S"));
        drop(frmstdinfo::dutyMimeData(overview()->rememberedKey()), 9, 3); // Carla's 8th
        QCOMPARE(kurz(carla, March.addDays(7)), QStringLiteral("Spät"));
        QCOMPARE(grid()->text(9, 3), QStringLiteral("13:00 - 21:00 Sp"));
        QCOMPARE(grid()->background(9, 3), 255u);
        QVERIFY(w->timer1()->isActive());
        // onto the label column nothing happens
        drop(frmstdinfo::dutyMimeData(QStringLiteral("F")), 9, 0);
        QCOMPARE(dutyCount(), 4);
        QVERIFY(desk->prompts.shown.isEmpty());
    }
};

QTEST_MAIN(TestBlockCommands)
#include "test_blockcommands.moc"
