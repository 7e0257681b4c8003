// The settings window from the menu of the real main window: what it shows, the organisation
// name in the caption, the print and screen fonts and their cancelled dialogs, the weekend colour
// in the roster, the automatic recalculation, and a save that fails.

#include "dialogs/frmprop.h"
#include "engine/Recordset.h"
#include "platform/Colors.h"
#include "platform/Formats.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/support/MainWindowDesk.h"
#include "tests/support/Modal.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace testing;

class TestSettings : public QObject, MainWindowDesk {
    Q_OBJECT

    void start(const QString& fileName = QStringLiteral("plan.tnv")) {
        QVERIFY(startWindow(QDate(2026, 12, 6), fileName));
    }
    // The settings row as stored.
    QVariant stored(const char* field) {
        engine::Recordset rs;
        rs.openSql(env().Datenbank, QStringLiteral("SELECT * FROM Einstellungen"));
        return rs.value(QLatin1String(field));
    }
    // Opens the settings window, acts on it, and closes it with "OK".
    void settings(const std::function<void(QWidget*)>& action) {
        onModal([action](QWidget* window) {
            action(window);
            QTest::mouseClick(in<QPushButton>(window, "OKButton"), Qt::LeftButton);
        });
        w->menuAction(QStringLiteral("mnusettings"))->trigger();
        QVERIFY(!QApplication::activeModalWidget());
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { closeWindow(); }

    void theWindowShowsTheSettingsAndVersions() {
        start();
        QString printShown, screenShown, version, dbVersion, folder, file;
        QFont printShownIn;
        bool autoCalc = false, pathShown = false;
        settings([&](QWidget* window) {
            printShown = in<QLineEdit>(window, "Text1")->text();
            printShownIn = in<QLineEdit>(window, "Text1")->font();
            screenShown = in<QLineEdit>(window, "Text2")->text();
            version = in<QLineEdit>(window, "Text5")->text();
            dbVersion = in<QLineEdit>(window, "Text6")->text();
            folder = in<QLineEdit>(window, "Text7")->text();
            file = in<QLineEdit>(window, "Text8")->text();
            pathShown = in<QLineEdit>(window, "Text8")->isVisibleTo(window) &&
                        in<QLabel>(window, "lblText7")->isVisibleTo(window);
            autoCalc = in<QCheckBox>(window, "cmdAutorecalc")->isChecked();
            QCOMPARE(window->windowTitle(), QStringLiteral("Eigenschaften"));
        });
        QCOMPARE(printShown, stored("PrintFontName").toString());
        QCOMPARE(printShownIn.family(), QFont(printShown).family());
        QCOMPARE(screenShown, w->grid()->font().family());
        QCOMPARE(dialogs::programVersion(1, 2, 9), QStringLiteral("1.2.9"));
        QCOMPARE(version, dialogs::programVersion(TURNOVA_VERSION_MAJOR, TURNOVA_VERSION_MINOR,
                                                  TURNOVA_VERSION_PATCH));
        QCOMPARE(dbVersion, QStringLiteral("29.09.02"));
        QCOMPARE(QDir(folder), QDir(desk->dir.path()));
        QCOMPARE(file, QStringLiteral("plan.tnv"));
        QVERIFY(pathShown);
        QVERIFY(autoCalc);
        QVERIFY(desk->prompts.shown.isEmpty());
    }

    void aDatabaseNamedDatenTnvlKeepsItsPathToItself() {
        start(QStringLiteral("daten.tnvl"));
        bool shown = true;
        settings([&](QWidget* window) {
            shown = in<QLineEdit>(window, "Text7")->isVisibleTo(window) ||
                    in<QLineEdit>(window, "Text8")->isVisibleTo(window) ||
                    in<QLabel>(window, "lblText8")->isVisibleTo(window);
        });
        QVERIFY(!shown);
    }

    void theOrganisationNameMakesTheCaption_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("marks and letters") << QStringLiteral("Pflege & Co <Nord> Łódź Ωmega");
    }
    void theOrganisationNameMakesTheCaption() {
        QFETCH(QString, name);
        start();
        settings([&](QWidget* window) { in<QLineEdit>(window, "Text3")->setText(name); });
        QCOMPARE(w->windowTitle(), QStringLiteral("Turnova - ") + name);
        QCOMPARE(stored("OrgName").toString(), name);
    }

    void thePrintFontIsStoredAndACancelKeepsIt() {
        start();
        const QVariantList before = {stored("PrintFontName"), stored("PrintFontSize"),
                                     stored("PrintFontBold"), stored("PrintFontItalic")};
        desk->prompts.queueFont(std::nullopt);
        QString shown;
        settings([&](QWidget* window) {
            QTest::mouseClick(in<QPushButton>(window, "Command2"), Qt::LeftButton);
            shown = in<QLineEdit>(window, "Text1")->text();
        });
        QCOMPARE(QVariantList({stored("PrintFontName"), stored("PrintFontSize"),
                               stored("PrintFontBold"), stored("PrintFontItalic")}),
                 before);
        QCOMPARE(shown, before.at(0).toString());
        QCOMPARE(desk->prompts.fontRequests.value(0).family(), QFont(shown).family());

        QFont chosen(QStringLiteral("Serif"));
        chosen.setPointSizeF(13.5);
        chosen.setBold(true);
        chosen.setItalic(true);
        desk->prompts.queueFont(chosen);
        QFont shownIn;
        settings([&](QWidget* window) {
            QTest::mouseClick(in<QPushButton>(window, "Command2"), Qt::LeftButton);
            shown = in<QLineEdit>(window, "Text1")->text();
            shownIn = in<QLineEdit>(window, "Text1")->font();
        });
        QCOMPARE(shown, QStringLiteral("Serif"));
        QVERIFY(shownIn.bold() && shownIn.italic());
        QCOMPARE(shownIn.pointSizeF(), 13.5);
        QCOMPARE(stored("PrintFontName").toString(), QStringLiteral("Serif"));
        QCOMPARE(stored("PrintFontSize").toDouble(), 13.5);
        QVERIFY(stored("PrintFontBold").toBool() && stored("PrintFontItalic").toBool());
    }

    void theScreenFontReachesTheRoster() {
        start();
        const QFont before = w->grid()->font();
        const int labelWidth = w->grid()->columnWidth(0);
        desk->prompts.queueFont(std::nullopt);
        settings([](QWidget* window) {
            QTest::mouseClick(in<QPushButton>(window, "Command1"), Qt::LeftButton);
        });
        QCOMPARE(w->grid()->font(), before);
        QFont chosen(QStringLiteral("Serif"));
        chosen.setPointSize(15);
        chosen.setBold(true);
        desk->prompts.queueFont(chosen);
        QString shown;
        settings([&](QWidget* window) {
            QTest::mouseClick(in<QPushButton>(window, "Command1"), Qt::LeftButton);
            shown = in<QLineEdit>(window, "Text2")->text();
        });
        QCOMPARE(desk->prompts.fontRequests.value(0).family(), before.family());
        QCOMPARE(shown, QStringLiteral("Serif"));
        QCOMPARE(w->grid()->font().pointSize(), 15);
        QVERIFY(w->grid()->font().bold());
        QCOMPARE(w->font().pointSize(), 15);
        // the roster was rebuilt: its columns are measured in the new, larger font
        QVERIFY(w->grid()->columnWidth(0) > labelWidth);
    }

    void theWeekendColourReachesTheRosterAtOnce() {
        start();
        const QColor chosen(10, 20, 200);
        desk->prompts.queueColor(std::nullopt);
        settings([](QWidget* window) {
            QTest::mouseClick(in<QPushButton>(window, "Command3"), Qt::LeftButton);
        });
        QCOMPARE(w->month().weekendColor, roster::DefaultWeekendColor);
        desk->prompts.queueColor(chosen);
        QColor sample;
        settings([&](QWidget* window) {
            QTest::mouseClick(in<QPushButton>(window, "Command3"), Qt::LeftButton);
            sample = in<QLabel>(window, "Label8")->palette().color(QPalette::Window);
        });
        QCOMPARE(desk->prompts.colorRequests.value(0),
                 platform::fromBgr(roster::DefaultWeekendColor));
        QCOMPARE(sample, chosen);
        QCOMPARE(stored("WoEndeColor").toLongLong(), qint64(platform::toBgr(chosen)));
        // 5 December 2026 is a Saturday
        const QTableWidgetItem* saturday = w->grid()->item(6, 0);
        QVERIFY(saturday);
        QCOMPARE(saturday->background().color(), chosen);
    }

    void theAutomaticRecalculationCanBeSwitchedOff() {
        start();
        settings(
            [](QWidget* window) { in<QCheckBox>(window, "cmdAutorecalc")->setChecked(false); });
        QVERIFY(!w->month().autoCalc);
        settings([](QWidget* window) { in<QCheckBox>(window, "cmdAutorecalc")->setChecked(true); });
        QVERIFY(w->month().autoCalc);
    }

    void aFailingSaveIsReportedAndLosesNothing() {
        start();
        settings([](QWidget* window) {
            in<QLineEdit>(window, "Text3")->setText(QStringLiteral("Haus Sonnenschein"));
        });
        desk->prompts.clear();
        // typed longer than the 50 characters the column holds: the field takes 50
        settings([](QWidget* window) {
            auto* name = in<QLineEdit>(window, "Text3");
            name->clear();
            QTest::keyClicks(name, QString(60, u'x'));
        });
        QVERIFY(desk->prompts.shown.isEmpty());
        QCOMPARE(stored("OrgName").toString(), QString(50, u'x'));
        settings([](QWidget* window) {
            in<QLineEdit>(window, "Text3")->setText(QStringLiteral("Haus Sonnenschein"));
        });
        // a save the database refuses is reported
        exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Einstellungen "
                            "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END"));
        settings([](QWidget* window) {
            in<QLineEdit>(window, "Text3")->setText(QStringLiteral("Haus Regen"));
        });
        QCOMPARE(desk->prompts.shown.size(), 1);
        QVERIFY(desk->prompts.lastMessage().text.startsWith(
            QStringLiteral("Es ist ein Fehler im Programm aufgetreten")));
        QCOMPARE(stored("OrgName").toString(), QStringLiteral("Haus Sonnenschein"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Turnova - Haus Sonnenschein"));
        QVERIFY(!env().rsEinstellungen.isEditing());
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
