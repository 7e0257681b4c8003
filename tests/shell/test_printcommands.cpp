// "Druckvorschau" of the real main window: nothing without employees, otherwise the modal
// preview of the shown month and group, whose settings land in the settings row.

#include "platform/Formats.h"
#include "platform/Printers.h"
#include "platform/ScriptedPrompts.h"
#include "print/PrintPrev.h"
#include "shell/PrintCommands.h"
#include "shell/StdInfoCommands.h"
#include "shell/frmTurnova.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/TestDesk.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace testing;

class TestPrintCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> desk;
    std::unique_ptr<frmTurnova> w;

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void init() {
        desk = std::make_unique<TestDesk>(QDate(2025, 1, 15));
        desk->prompts.queueAnswer(platform::Answer::Yes); // create the database
        w = std::make_unique<frmTurnova>(desk->services);
        QVERIFY(w->Turnova_Load(desk->db()));
        desk->prompts.clear();
        platform::setCurrentPrinter(platform::PdfPrinterName);
    }
    void cleanup() {
        w->close();
        w.reset();
        desk.reset();
    }

    void previewOfTheShownGroup() {
        QAction* print = w->menuAction(QStringLiteral("mnuprint"));
        QCOMPARE(print->text(), QStringLiteral("Druckvorschau"));
        // without employees nothing opens
        bool opened = false;
        QTimer::singleShot(0, [&] { opened = QApplication::activeModalWidget() != nullptr; });
        print->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!opened);

        data::DataUmgebung& env = w->session().env;
        const int anna = employee(env, QStringLiteral("Anna"), 1);
        member(env, w->month().groupNumber, anna, 1);
        env.rsMitarbeiter.requery();
        w->gridrepaint();
        // the overview beside the roster is hidden while the preview is open, also when the
        // main window moves meanwhile, and comes back after
        w->show();
        QTRY_VERIFY(stdInfo(*w)->overview() && stdInfo(*w)->overview()->isVisible());
        w->timer1()->start();
        QString title;
        int pages = 0;
        bool overviewShown = true;
        QTimer::singleShot(0, [&] {
            auto* preview = qobject_cast<PrintPrev*>(QApplication::activeModalWidget());
            if (!preview) return;
            w->move(w->pos() + QPoint(5, 5));
            QCoreApplication::processEvents();
            overviewShown = stdInfo(*w)->overview()->isVisible();
            title = preview->windowTitle();
            pages = preview->pageCount();
            QTest::mouseClick(preview->findChild<QToolButton*>(QStringLiteral("hoch")),
                              Qt::LeftButton);
            preview->close();
        });
        print->trigger();
        QCOMPARE(title, QStringLiteral("Druckvorschau"));
        QCOMPARE(pages, 1);
        QVERIFY(!overviewShown);
        QTRY_VERIFY(stdInfo(*w)->overview()->isVisible());
        QVERIFY(!w->timer1()->isActive());
        env.rsEinstellungen.requery();
        QCOMPARE(env.rsEinstellungen.value(QStringLiteral("PrinterOrientation")).toInt(), 1);
        QVERIFY(desk->prompts.shown.isEmpty());
    }

    void printerProblemMessage() {
        const QStringList lines = QString::fromUtf8(PrinterProblemText).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 13);
        QVERIFY(lines.at(1).isEmpty() && lines.at(4).isEmpty() && lines.at(7).isEmpty() &&
                lines.at(10).isEmpty());
        QCOMPARE(lines.at(6), QStringLiteral("Schalten Sie den Drucker auf \"Online\"."));
    }
};

QTEST_MAIN(TestPrintCommands)
#include "test_printcommands.moc"
