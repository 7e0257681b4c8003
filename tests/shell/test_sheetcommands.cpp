// The commands of the main window that reach the working-time sheet and the HTML page of the
// roster: "Arbeitszeiten" on the employee of the cursor's column (the label column keeps the
// one shown before), with the statistics brought up to date first; "Exportieren" → "Turnova".

#include "platform/Formats.h"
#include "roster/Groups.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/TestDesk.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace testing;

class TestSheetCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> desk;
    std::unique_ptr<frmTurnova> w;

    data::DataUmgebung& env() { return w->session().env; }

    // Opens the sheet through the menu; what it showed: employee and target override.
    QStringList openSheet() {
        QStringList shown;
        QTimer::singleShot(0, [&shown] {
            QWidget* sheet = QApplication::activeModalWidget();
            if (!sheet) return;
            shown << sheet->findChild<QComboBox*>(QStringLiteral("DataCombo1"))->currentText()
                  << sheet->findChild<QLineEdit*>(QStringLiteral("Text13"))->text();
            sheet->close();
        });
        w->menuAction(QStringLiteral("mnuarbeit"))->trigger();
        return shown;
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanupTestCase() { platform::resetLocale(); }
    void init() {
        desk = std::make_unique<TestDesk>(QDate(2024, 3, 31));
        desk->prompts.queueAnswer(platform::Answer::Yes); // create the database
        w = std::make_unique<frmTurnova>(desk->services);
        QVERIFY(w->Turnova_Load(desk->db()));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        desk->prompts.clear();
    }
    void cleanup() {
        w->close();
        w.reset();
        desk.reset();
    }

    void sheetOnTheCursorsEmployee() {
        employee(env(), QStringLiteral("Anna"), 1);
        const int bernd = employee(env(), QStringLiteral("Bernd"), 2);
        // both are due for the statistics from March on
        exec(env(), QStringLiteral("UPDATE Mitarbeiter SET normstunden = 8, lastChange = [p0]"),
             {QDate(2024, 3, 1)});
        roster::allEmployeesGroup(env());
        w->GprSel_Click();
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Statistik WHERE MaNr = [p0]"),
                        {bernd}),
                 0);
        w->grid()->setCurrentCell(5, 2);
        // the statistics run first: Bernd's month has its row and its target
        QCOMPARE(openSheet(), QStringList({"Bernd", "168,00"}));
        w->grid()->setCurrentCell(5, 0);
        QCOMPARE(openSheet(), QStringList({"Bernd", "168,00"}));
        w->grid()->setCurrentCell(5, 1);
        QCOMPARE(openSheet().value(0), QStringLiteral("Anna"));
    }

    void rosterPageFromTheMenu() {
        QAction* entry = w->menuAction(QStringLiteral("mnutnv"));
        QVERIFY(entry->isVisible());
        QCOMPARE(entry->text(), QStringLiteral("Turnova"));
        employee(env(), QStringLiteral("Anna"), 1);
        roster::allEmployeesGroup(env());
        w->GprSel_Click();
        const QString path = desk->dir.filePath(QStringLiteral("plan.html"));
        desk->prompts.queueFile(path);
        entry->trigger();
        QCOMPARE(desk->prompts.saveRequests.last().defaultName, QStringLiteral("tnv-2024-03.html"));
        QFile page(path);
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.readAll().startsWith("<html>\r\n<head>\r\n<title>M\xE4rz 2024</title>\r\n"));
        QVERIFY(desk->prompts.messages().isEmpty());
    }
};

QTEST_MAIN(TestSheetCommands)
#include "test_sheetcommands.moc"
