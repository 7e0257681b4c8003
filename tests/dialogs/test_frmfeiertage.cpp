// The holidays window on a temporary database, driven through its widgets: the list and the
// date mask of the locale, new holidays with their value, a date taken twice (on "Neuer" and
// on closing), and deleting.

#include "dialogs/RecordList.h"
#include "dialogs/frmFeiertage.h"
#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "platform/Formats.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/DialogFixture.h"
#include "tests/support/Modal.h"
#include "tests/support/TestSession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using namespace testing;

class TestFrmFeiertage : public QObject, DialogFixture<frmFeiertage> {
    Q_OBJECT

    void open(int shownYear = 0) {
        env().rsFeiertage.requery();
        w = std::make_unique<frmFeiertage>(t->session, shownYear);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void holiday(const QDate& day, const QString& name) {
        exec(env(), QStringLiteral("INSERT INTO Feiertage (Tag, Name) VALUES ([p0], [p1])"),
             {day, name});
    }
    int holidays(const QDate& day) {
        return scalar(env(), QStringLiteral("SELECT count(*) FROM Feiertage WHERE Tag = [p0]"),
                      {day});
    }
    QVariant field(const QString& column, const QDate& day) {
        engine::Recordset rs;
        rs.openSql(env().Datenbank,
                   QStringLiteral("SELECT %1 FROM Feiertage WHERE Tag = [p0]").arg(column),
                   {engine::dateVariant(day)}, {QStringLiteral("p0")});
        return rs.eof() ? QVariant() : rs.value(0);
    }
    // A new holiday typed into the window: the date as digits into the mask, and the name.
    void typeHoliday(const QString& digits, const QString& name) {
        click("cmdnew");
        QVERIFY(edit("MaskEdBox1")->hasFocus());
        QTest::keyClicks(edit("MaskEdBox1"), digits);
        QTest::keyClick(edit("MaskEdBox1"), Qt::Key_Return);
        QVERIFY(edit("txtName")->hasFocus());
        QTest::keyClicks(edit("txtName"), name);
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void init() { startSession(QDate(2024, 3, 15)); }
    void cleanup() {
        endSession();
        platform::setLocale(QLocale(QLocale::German, QLocale::Germany));
    }

    void theWindowAndANewHoliday() {
        holiday(QDate(2024, 5, 1), QStringLiteral("Maifeiertag"));
        open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Feiertage"));
        QStringList labels;
        for (const QLabel* l : w->findChildren<QLabel*>())
            labels << l->text();
        for (const char* label : {"Tag:", "Name:", "Wert:"})
            QVERIFY2(labels.contains(QLatin1String(label)), label);
        QCOMPARE(child<QPushButton>("cmdnew")->text(), QStringLiteral("Neuer"));
        QCOMPARE(child<QPushButton>("cmddel")->text(), QStringLiteral("Löschen"));
        QCOMPARE(child<QPushButton>("cmdClose")->text(), QStringLiteral("Speichern und Schließen"));
        auto* list = child<dialogs::RecordList>("DataGrid1");
        QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("Tag"));
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("Name"));
        QCOMPARE(list->item(0, 0)->text(), QStringLiteral("01.05.24"));
        QCOMPARE(edit("MaskEdBox1")->text(), QStringLiteral("01.05.24"));
        QCOMPARE(edit("MaskEdBox1")->inputMask(), QStringLiteral("00.00.00;_"));
        QCOMPARE(edit("txtProzent")->text(), QStringLiteral("1"));

        typeHoliday(QStringLiteral("031024"), QStringLiteral("Tag der Einheit"));
        QCOMPARE(edit("txtProzent")->text(), QStringLiteral("1")); // the default value
        click("cmdClose");
        QVERIFY(!w->isVisible());
        QCOMPARE(holidays(QDate(2024, 10, 3)), 1);
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Feiertage WHERE Name = 'Tag "
                                              "der Einheit' AND Prozent = 1")),
                 1);
        QVERIFY(prompts().shown.isEmpty());
    }

    void theHolidaysOfAStateAreEnteredFromTheWindow() {
        holiday(QDate(2025, 10, 31), QStringLiteral("Reformationsfest"));
        open(2025);
        // cancelled: nothing entered
        onModal([](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); });
        click("cmdBundesland");
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Feiertage")), 1);
        // a row refused on the way: none of them is entered
        exec(env(), QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE INSERT ON Feiertage WHEN "
                                   "NEW.Name = 'Pfingstmontag' BEGIN SELECT RAISE(ABORT, "
                                   "'voll'); END"));
        onModal([](QWidget* d) { QTest::keyClick(d, Qt::Key_Return); });
        click("cmdBundesland");
        QVERIFY(prompts().lastMessage().text.startsWith(
            QStringLiteral("Die Feiertage für Baden-Württemberg konnten nicht eingetragen werden; "
                           "es wurde nichts geändert.")));
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Feiertage")), 1);
        QCOMPARE(child<dialogs::RecordList>("DataGrid1")->rowCount(), 1);
        exec(env(), QStringLiteral("DROP TRIGGER refuse"));
        ModalSeen seen;
        onModal(
            [](QWidget* d) {
                in<QComboBox>(d, "cboLand")->setCurrentText(QStringLiteral("Sachsen"));
                QCOMPARE(in<QSpinBox>(d, "spnVon")->value(), 2025);
                in<QSpinBox>(d, "spnBis")->setValue(2026);
                in<QCheckBox>(d, "chkHalbeTage")->setChecked(true);
                QTest::keyClick(d, Qt::Key_Return);
            },
            &seen);
        click("cmdBundesland");
        QCOMPARE(seen.name, QStringLiteral("frmBundesland"));
        QCOMPARE(prompts().lastMessage().text,
                 QStringLiteral("Für Sachsen wurden 25 Feiertage eingetragen.\n1 Tage hatten "
                                "schon einen Feiertag; sie bleiben, wie sie sind."));
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Feiertage")), 26);
        QCOMPARE(field("Name", QDate(2025, 10, 31)).toString(), QStringLiteral("Reformationsfest"));
        QCOMPARE(field("Prozent", QDate(2026, 12, 24)).toDouble(), 0.5);
        QCOMPARE(field("Prozent", QDate(2026, 12, 25)).toDouble(), 1.0);
        QCOMPARE(field("Name", QDate(2026, 11, 18)).toString(), QStringLiteral("Buß- und Bettag"));
        QCOMPARE(child<dialogs::RecordList>("DataGrid1")->rowCount(), 26);
        QCOMPARE(edit("MaskEdBox1")->text(), QStringLiteral("01.01.25"));
        // entering them again changes nothing
        onModal([](QWidget* d) {
            in<QComboBox>(d, "cboLand")->setCurrentText(QStringLiteral("Sachsen"));
            QTest::keyClick(d, Qt::Key_Return);
        });
        click("cmdBundesland");
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Feiertage")), 26);
        QVERIFY(prompts().lastMessage().text.startsWith(
            QStringLiteral("Für Sachsen wurden 0 Feiertage eingetragen.")));
    }

    void theWindowOpensAtTheShownYearAndKeepsTheDatesInOrder() {
        // written in no order, as an import leaves them
        for (int year : {2026, 2020, 2025, 2024, 2027})
            for (const auto& [month, day] : {std::pair{12, 25}, std::pair{1, 1}, std::pair{5, 1}})
                holiday(QDate(year, month, day), QStringLiteral("Tag"));
        open(2025);
        auto* list = child<dialogs::RecordList>("DataGrid1");
        QCOMPARE(list->rowCount(), 15);
        QCOMPARE(edit("MaskEdBox1")->text(), QStringLiteral("01.01.25"));
        QCOMPARE(list->currentRow(), 6); // after 2020 and 2024
        QCOMPARE(list->item(6, 0)->text(), QStringLiteral("01.01.25"));
        QVERIFY(list->visualItemRect(list->item(6, 0)).intersects(list->viewport()->rect()));
        for (int r = 1; r < list->rowCount(); ++r)
            QVERIFY(QDate::fromString(list->item(r - 1, 0)->text(), QStringLiteral("dd.MM.yy")) <
                    QDate::fromString(list->item(r, 0)->text(), QStringLiteral("dd.MM.yy")));
        // a new holiday takes its place by date once it is saved
        typeHoliday(QStringLiteral("031025"), QStringLiteral("Tag der Einheit"));
        list->setCurrentCell(0, 0); // choosing another row saves it
        QCOMPARE(list->rowCount(), 16);
        QCOMPARE(list->item(8, 0)->text(), QStringLiteral("03.10.25"));
        QCOMPARE(list->item(8, 1)->text(), QStringLiteral("Tag der Einheit"));
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(prompts().shown.isEmpty());
        // a year after the last holiday: the last one
        open(2031);
        QCOMPARE(edit("MaskEdBox1")->text(), QStringLiteral("25.12.27"));
    }

    void aFourDigitYearLocaleTakesFourYearDigits() {
        platform::setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
        open();
        QCOMPARE(edit("MaskEdBox1")->inputMask(), QStringLiteral("00/00/0000;_"));
        typeHoliday(QStringLiteral("25122024"), QStringLiteral("Christmas"));
        click("cmdClose");
        QCOMPARE(holidays(QDate(2024, 12, 25)), 1);
    }

    void aDateTakenTwiceIsRefused() {
        holiday(QDate(2024, 10, 3), QStringLiteral("Tag der Einheit"));
        open();
        // on "Neuer": the save message, and the window goes on with the row as typed
        typeHoliday(QStringLiteral("031024"), QStringLiteral("Doppelt"));
        click("cmdnew");
        QCOMPARE(prompts().shown.size(), 1);
        QVERIFY(prompts().lastMessage().text.startsWith(
            QStringLiteral("Beim Speichern des Tages ist ein Fehler aufgetreten.\n")));
        QCOMPARE(prompts().lastMessage().buttons, platform::Buttons::Ok);
        QVERIFY(w->isVisible());
        QCOMPARE(edit("txtName")->text(), QStringLiteral("Doppelt"));
        prompts().clear();
        edit("MaskEdBox1")->setFocus();
        edit("MaskEdBox1")->selectAll();
        QTest::keyClicks(edit("MaskEdBox1"), QStringLiteral("041024"));
        click("cmdnew"); // now it is saved and a new row begun
        QVERIFY(prompts().shown.isEmpty());
        QCOMPARE(holidays(QDate(2024, 10, 4)), 1);

        // on closing: the save question; No keeps the window, Yes drops the row
        QTest::keyClicks(edit("MaskEdBox1"), QStringLiteral("031024"));
        prompts().queueAnswer(platform::Answer::No);
        click("cmdClose");
        QCOMPARE(prompts().texts(),
                 QStringList{QStringLiteral("Beim Speichern des Tages ist ein Fehler aufgetreten.\n"
                                            "Wollen Sie die Eingabemaske trotzdem schließen?")});
        QCOMPARE(prompts().lastMessage().buttons, platform::Buttons::YesNo);
        QVERIFY(w->isVisible());
        prompts().queueAnswer(platform::Answer::Yes);
        click("cmdClose");
        QVERIFY(!w->isVisible());
        QCOMPARE(holidays(QDate(2024, 10, 3)), 1);
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Feiertage")), 2);
        QVERIFY(!env().rsFeiertage.isEditing());
    }

    void aNewHolidayWithoutDateOffersToDropIt() {
        open();
        click("cmdnew");
        prompts().queueAnswer(platform::Answer::Yes);
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(prompts().shown.size(), 1);
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Feiertage")), 0);
    }

    void deletingAsksFirst() {
        holiday(QDate(2024, 5, 1), QStringLiteral("Maifeiertag"));
        holiday(QDate(2024, 10, 3), QStringLiteral("Tag der Einheit"));
        open();
        prompts().queueAnswer(platform::Answer::No);
        click("cmddel");
        const platform::Message question = prompts().lastMessage();
        QCOMPARE(question.text,
                 QStringLiteral("Soll der Feiertag Maifeiertag (01.05.24) gelöscht werden?"));
        QCOMPARE(question.title, QStringLiteral("Löschen"));
        QCOMPARE(question.buttons, platform::Buttons::YesNo);
        QCOMPARE(question.icon, platform::Icon::Exclamation);
        QCOMPARE(question.defaultButton, 1);
        QCOMPARE(holidays(QDate(2024, 5, 1)), 1);
        prompts().queueAnswer(platform::Answer::Yes);
        click("cmddel");
        QCOMPARE(holidays(QDate(2024, 5, 1)), 0);
        QCOMPARE(edit("txtName")->text(), QStringLiteral("Tag der Einheit"));
        prompts().queueAnswer(platform::Answer::Yes);
        click("cmddel"); // the last one: the window stands on nothing
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Feiertage")), 0);
        QVERIFY(edit("txtName")->text().isEmpty());
        QCOMPARE(child<dialogs::RecordList>("DataGrid1")->rowCount(), 0);
    }
};

QTEST_MAIN(TestFrmFeiertage)
#include "test_frmfeiertage.moc"
