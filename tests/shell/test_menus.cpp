// The menu tree of the main window as a whole: every entry in its order with its caption,
// visibility and separators, no shortcut keys or access keys; the two pop-up menus; and a walk
// that chooses every entry and checks what it does: the window it opens (with Timer1 stopped
// first), the dialog it asks, or nothing for the hidden ones. Entries whose windows are built
// elsewhere are checked for caption and visibility, and for their window once they have one.

#include "platform/Formats.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/support/MainWindowDesk.h"
#include "tests/support/Modal.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QUrl>
#include <QtTest>

using namespace testing;

namespace {

struct Entry {
    const char* name;
    const char* caption;
    int level;
    bool visible;
};

// The menu bar, in order; "-" marks a separator.
const Entry MenuBar[] = {
    {"mnuDatei", "Datei", 0, true},
    {"mnufilenew", "Neu", 1, false},
    {"mnufileopen", "Öffnen", 1, false},
    {"mnusaveas", "Speichern unter", 1, false},
    {"mnusep", "-", 1, false},
    {"mnuprint", "Druckvorschau", 1, true},
    {"mnusep2", "-", 1, true},
    {"mnuImport", "Importieren", 1, true},
    {"mnuImpMa", "Mitarbeiter", 2, false},
    {"mnuImpStd", "Standarddienste", 2, true},
    {"mnuimfreier", "Feiertage", 2, true},
    {"mnuExport", "Exportieren", 1, true},
    {"mnuEpMa", "Mitarbeiter", 2, false},
    {"mnutnv", "Turnova", 2, true},
    {"mnuEpKonten", "Monatskonten (CSV) ...", 2, true},
    {"mnuEpKalender", "Kalender (iCal) ...", 2, true},
    {"mnuEpStd", "Standarddienste", 2, true},
    {"mnuexfreier", "Feiertage", 2, true},
    {"mnuSave", "Sichern", 1, true},
    {"mnusep3", "-", 1, true},
    {"mnusettings", "Eigenschaften", 1, true},
    {"mnusep4", "-", 1, true},
    {"mnuclose", "Beenden", 1, true},
    {"mnustddienst", "Standarddienste", 0, true},
    {"mnustdedit", "Bearbeiten", 1, true},
    {"mnustdinfo", "anzeigen", 1, true},
    {"mnumitarb", "Mitarbeiter", 0, true},
    {"mnuGruppeb", "Gruppen", 0, true},
    {"mnufreier", "Freiertage", 0, true},
    {"mnuarbeit", "Arbeitszeiten", 0, true},
    {"mnuAuswertungen", "Jahresübersicht", 0, true},
    {"mnuHilfe", "Hilfe", 0, true},
    {"mnuHandbuch", "Handbuch", 1, true},
    {"mnuinfo", "Info", 1, true},
};

// A top-level menu of the working-time checks follows "Jahresübersicht"; it is not part of
// this tree and is passed over.
const QString ChecksMenu = QStringLiteral("Prüfung");
// undo and redo: a menu of their own after "Datei", the only entries with keys
const QString EditMenu = QStringLiteral("mnuBearbeiten");
const QStringList UndoEntries = {QStringLiteral("mnuRueckgaengig"),
                                 QStringLiteral("mnuWiederholen")};

QString describe(const QString& name, const QString& caption, int level, bool visible) {
    return QStringLiteral("%1 %2 \"%3\"%4")
        .arg(QString(level * 2, u' '), name, caption,
             visible ? QString() : QStringLiteral(" (verborgen)"));
}

// What choosing an entry did.
struct Outcome {
    QString modal;           // objectName of the modal window that opened
    bool timerRan = false;   // Timer1 was still running when that window showed
    bool timerAfter = false; // ... or after the command
    int opens = 0, saves = 0, messages = 0;
    bool nothing() const { return modal.isEmpty() && opens == 0 && saves == 0 && messages == 0; }
};

} // namespace

// Records what the desktop was asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

class TestMenus : public QObject, MainWindowDesk {
    Q_OBJECT

    UrlCatcher urls;

    void walk(QMenu* menu, int level, QStringList& out) {
        for (QAction* a : menu->actions()) {
            const QString caption = a->isSeparator() ? QStringLiteral("-") : a->text();
            out << describe(a->objectName(), caption, level, a->isVisible());
            QVERIFY2(a->shortcut().isEmpty() || UndoEntries.contains(a->objectName()),
                     qPrintable(a->objectName()));
            QVERIFY2(!caption.contains(u'&'), qPrintable(a->objectName()));
            if (a->menu()) walk(a->menu(), level + 1, out);
        }
    }

    Outcome choose(const QString& name) {
        QAction* action = w->menuAction(name);
        Outcome outcome;
        if (!action) return outcome;
        const int opens = int(desk->prompts.openRequests.size());
        const int saves = int(desk->prompts.saveRequests.size());
        const int messages = int(desk->prompts.shown.size());
        w->timer1()->start();
        onModal([&outcome, this](QWidget* window) {
            outcome.modal = window->objectName();
            outcome.timerRan = w->timer1()->isActive();
            window->close();
        });
        action->trigger();
        QCoreApplication::processEvents(); // a modal action that found no window is spent
        outcome.opens = int(desk->prompts.openRequests.size()) - opens;
        outcome.saves = int(desk->prompts.saveRequests.size()) - saves;
        outcome.messages = int(desk->prompts.shown.size()) - messages;
        outcome.timerAfter = w->timer1()->isActive();
        w->timer1()->stop();
        return outcome;
    }

private Q_SLOTS:
    void initTestCase() {
        platform::setLocale(QLocale(QLocale::German, QLocale::Germany));
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &urls, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void init() {
        QVERIFY(startWindow(QDate(2026, 12, 6)));
        urls.opened.clear();
    }
    void cleanup() { closeWindow(); }

    void theTreeHasEveryEntryInItsOrder() {
        QStringList expected;
        for (const Entry& e : MenuBar)
            expected << describe(QLatin1String(e.name), QString::fromUtf8(e.caption), e.level,
                                 e.visible);
        QStringList actual;
        for (QAction* top : w->menuBar()->actions()) {
            if (top->text() == ChecksMenu || top->objectName() == EditMenu) continue;
            actual << describe(top->objectName(), top->text(), 0, top->isVisible());
            QVERIFY(!top->text().contains(u'&'));
            if (top->menu()) walk(top->menu(), 1, actual);
        }
        QCOMPARE(actual, expected);
        // the checks menu, once there, stands right after the annual overview
        const QList<QAction*> tops = w->menuBar()->actions();
        for (int i = 0; i < tops.size(); ++i) {
            if (tops.at(i)->text() == ChecksMenu)
                QCOMPARE(tops.at(i - 1)->objectName(), QStringLiteral("mnuAuswertungen"));
        }
        // the undo menu stands right after "Datei", its entries with their keys
        QCOMPARE(tops.at(1)->objectName(), EditMenu);
        QCOMPARE(tops.at(1)->text(), QStringLiteral("Bearbeiten"));
        QStringList undo;
        walk(tops.at(1)->menu(), 1, undo);
        QCOMPARE(undo, QStringList({describe("mnuRueckgaengig", "Rückgängig", 1, true),
                                    describe("mnuWiederholen", "Wiederholen", 1, true)}));
        QCOMPARE(w->menuAction(UndoEntries[0])->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(w->menuAction(UndoEntries[1])->shortcuts(),
                 QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Y")),
                                      QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
        QVERIFY(w->menuAction(QStringLiteral("mnustdinfo"))->isCheckable());
        QVERIFY(w->menuAction(QStringLiteral("mnustdinfo"))->isChecked());
    }

    void thePopupMenusAreNotInTheMenuBar() {
        QStringList bearb, aktion;
        walk(w->popupMenu(QStringLiteral("mnuBearb")), 1, bearb);
        walk(w->popupMenu(QStringLiteral("mnuAktion")), 1, aktion);
        QCOMPARE(w->popupMenu(QStringLiteral("mnuBearb"))->title(), QStringLiteral("Bearbeiten"));
        QCOMPARE(w->popupMenu(QStringLiteral("mnuAktion"))->title(), QStringLiteral("Aktion"));
        QCOMPARE(bearb, QStringList({describe("mnuKopier", "hierher kopieren", 1, true),
                                     describe("mnuVersch", "hierher verschieben", 1, true)}));
        QCOMPARE(aktion, QStringList({describe("mnucopy", "kopieren", 1, true),
                                      describe("mnuinsert", "einfügen", 1, true),
                                      describe("mnudel", "löschen", 1, true),
                                      describe("mnusep5", "-", 1, true),
                                      describe("nmusaveas", "in Datei speichern", 1, true),
                                      describe("mnuinsertfrom", "aus Datei einfügen", 1, true),
                                      describe("", "-", 1, true),
                                      describe("mnuRueckgaengig", "Rückgängig", 1, true),
                                      describe("mnuWiederholen", "Wiederholen", 1, true)}));
        for (QAction* top : w->menuBar()->actions()) {
            QVERIFY(top->objectName() != QStringLiteral("mnuBearb"));
            QVERIFY(top->objectName() != QStringLiteral("mnuAktion"));
        }
    }

    void hiddenEntriesDoNothing() {
        for (const char* name : {"mnufilenew", "mnufileopen", "mnusaveas", "mnuImpMa", "mnuEpMa"}) {
            QVERIFY2(choose(QLatin1String(name)).nothing(), name);
        }
        QVERIFY(w->isVisible());
    }

    void everyVisibleEntryReachesItsWindow() {
        // entries that open a modal window of their own
        const QList<std::pair<const char*, const char*>> windows = {
            {"mnusettings", "frmprop"},    {"mnustdedit", "frmStdDienste"},
            {"mnumitarb", "frmMa"},        {"mnuGruppeb", "frmGruppen"},
            {"mnufreier", "frmFeiertage"}, {"mnuAuswertungen", "frmAuswert"},
            {"mnuinfo", "frminfo"}};
        for (const auto& [name, window] : windows) {
            const Outcome outcome = choose(QLatin1String(name));
            QCOMPARE(outcome.modal, QLatin1String(window));
            QVERIFY2(!outcome.timerRan && !outcome.timerAfter, name);
        }
        // entries whose windows are built elsewhere: their window once they have one
        for (const auto& [name, window] :
             {std::pair{"mnuprint", "PrintPrev"}, std::pair{"mnuarbeit", "frmArbeitszeiten"}}) {
            const Outcome outcome = choose(QLatin1String(name));
            QVERIFY2(!outcome.timerAfter, name);
            if (outcome.nothing()) continue;
            QCOMPARE(outcome.modal, QLatin1String(window));
            QVERIFY2(!outcome.timerRan, name);
        }
        // file dialogs (cancelled by the script)
        for (const char* name : {"mnuImpStd", "mnuimfreier"}) {
            const Outcome outcome = choose(QLatin1String(name));
            QCOMPARE(outcome.opens, 1);
            QVERIFY2(!outcome.timerAfter, name);
        }
        for (const char* name : {"mnuEpStd", "mnuexfreier", "mnuSave"}) {
            const Outcome outcome = choose(QLatin1String(name));
            QCOMPARE(outcome.saves, 1);
            QVERIFY2(!outcome.timerAfter, name);
        }
        const Outcome html = choose(QStringLiteral("mnutnv"));
        QVERIFY(html.nothing() || html.saves == 1);
        QVERIFY(!html.timerAfter);
        // the overview's check mark, once the overview exists
        QAction* overview = w->menuAction(QStringLiteral("mnustdinfo"));
        choose(QStringLiteral("mnustdinfo"));
        if (!overview->isChecked()) {
            choose(QStringLiteral("mnustdinfo"));
            QVERIFY(overview->isChecked());
        }
        QVERIFY(desk->prompts.shown.isEmpty());
        QVERIFY(urls.opened.isEmpty());
        // "Beenden" closes the main window
        choose(QStringLiteral("mnuclose"));
        QVERIFY(!w->isVisible());
    }

    void theManualOpensWhenItIsThere() {
        // missing: nothing visible
        QVERIFY(choose(QStringLiteral("mnuHandbuch")).nothing());
        QVERIFY(urls.opened.isEmpty());
        const QString manual =
            desk->services.folders.programFolder + QStringLiteral("/Handbuch.pdf");
        QFile file(manual);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4\n");
        file.close();
        QVERIFY(choose(QStringLiteral("mnuHandbuch")).nothing());
        QCOMPARE(urls.opened, QList<QUrl>({QUrl::fromLocalFile(manual)}));
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
