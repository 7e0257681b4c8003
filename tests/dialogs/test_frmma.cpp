// The employee window on a temporary database, driven through its widgets: its pages and
// formats, new employees, hiding and showing, deleting with all that belongs to an employee,
// the required fields, the keys, and saving on closing with its failure question.

#include "dialogs/RecordList.h"
#include "dialogs/frmMa.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/DialogFixture.h"
#include "tests/support/TestSession.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

using namespace testing;

class TestFrmMa : public QObject, DialogFixture<frmMa> {
    Q_OBJECT

    // Opens the window on the employee with the number (the first one when 0).
    void open(int maNr = 0) {
        engine::Recordset& rs = env().rsMitarbeiter;
        rs.requery();
        if (maNr) rs.find(QStringLiteral("MaNr=") + QString::number(maNr));
        w = std::make_unique<frmMa>(t->session, QDate(2024, 3, 1));
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    QVariant stored(int maNr, const char* field) {
        engine::Recordset rs;
        rs.openSql(env().Datenbank, QStringLiteral("SELECT * FROM Mitarbeiter WHERE MaNr = [m]"),
                   {maNr}, {QStringLiteral("m")});
        return rs.eof() ? QVariant() : rs.value(QLatin1String(field));
    }
    QList<int> staff(int n) {
        QList<int> m;
        for (int i = 1; i <= n; ++i)
            m << employee(env(), QStringLiteral("M%1").arg(i), i);
        return m;
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void init() { startSession(QDate(2024, 3, 15)); }
    void cleanup() { endSession(); }

    void pagesLabelsAndFormats() {
        const int anna = employee(env(), QStringLiteral("Anna"), 1, 12.5);
        exec(env(),
             QStringLiteral("UPDATE Mitarbeiter SET normstunden = 7.7, Lohn = 2345.5, "
                            "Geburtstag = [p0], ersterArbeitstag = [p1], Urlaubsanspruch "
                            "= 30 WHERE MaNr = [p2]"),
             {QDate(1961, 7, 4), QDate(2024, 3, 1), anna});
        open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Mitarbeiterdaten"));
        auto* tabs = child<QTabBar>("TabStrip1");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Personaldaten"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Adressdaten"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Verwaltung"));
        QStringList labels;
        for (const QLabel* l : w->findChildren<QLabel*>())
            labels << l->text();
        for (const char* label :
             {"Anrede:",
              "Vorname:",
              "Nachname:",
              "Plan Name:",
              "Tagesarbeitszeit:",
              "Stundenbestand:",
              "erster Arbeitstag:",
              "Sollstd. pauschal:",
              "Adresse:",
              "PLZ:",
              "Ort:",
              "Geburtstag:",
              "Anmerkung:",
              "Beruf:",
              "Telefon:",
              "Handy:",
              "TelefonAlternativ:",
              "EMail:",
              "Stundenlohn:",
              "Lohn:",
              "Urlaubsanspruch:",
              "Steuerklasse:",
              "Kinder:",
              "Konfession:",
              "Krankenkasse:",
              "Bank:",
              "KontoNr:",
              "BLZ:",
              "Versicherungs Nr:",
              "* Arbeitstage = Sollstunden",
              "Tragen Sie die Sollstunden pauschl ein um die automatische Berechnung der "
              "Sollstunden zu deaktivieren.\nEine Änderung gilt ab März 2024; frühere Monate "
              "behalten ihre Sollstunden."})
            QVERIFY2(labels.contains(QString::fromUtf8(label)), label);
        QCOMPARE(edit("txtPlanName")->toolTip(), QStringLiteral("Im Turnova angezeigter Name"));
        QCOMPARE(edit("txtnormstunden")->toolTip(), QStringLiteral("Sollstunden pro Tag"));
        QCOMPARE(edit("txtStdBestand")->toolTip(),
                 QStringLiteral("Stundenbestand am ersten Arbeitstag"));
        const QStringList captions{QStringLiteral("neuer"), QStringLiteral("Löschen"),
                                   QStringLiteral("Mitarbeiter ausblenden"),
                                   QStringLiteral("Mitarbeiter einblenden"),
                                   QStringLiteral("Speichern und Schließen")};
        int i = 0;
        for (const char* name : {"cmdAddnew", "cmddel", "cmdHide", "cmdShow", "cmdClose"})
            QCOMPARE(child<QPushButton>(name)->text(), captions.at(i++));
        QCOMPARE(child<dialogs::RecordList>("DataGrid1")->horizontalHeaderItem(0)->text(),
                 QStringLiteral("Mitarbeiter"));

        QCOMPARE(edit("txtPlanName")->text(), QStringLiteral("Anna"));
        QCOMPARE(edit("txtnormstunden")->text(), QStringLiteral("7,70"));
        QCOMPARE(edit("Text1")->text(), QStringLiteral("0,00"));
        QCOMPARE(edit("MaskEdBox1")->text(), QStringLiteral("01.03.24"));
        QCOMPARE(edit("MaskEdBox1")->inputMask(), QStringLiteral("00.00.00;_"));
        QCOMPARE(edit("txtGeburtstag")->text(), QStringLiteral("04.07.61"));
        QCOMPARE(edit("txtStundenlohn")->text(), QStringLiteral("12,50 €"));
        QCOMPARE(edit("txtLohn")->text(), QStringLiteral("2.345,50 €"));
        QCOMPARE(edit("txtUrlaubsanspruch")->text(), QStringLiteral("30"));

        // one frame per tab
        QVERIFY(child<QFrame>("Frame1_0")->isVisible());
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
        QVERIFY(child<QFrame>("Frame1_2")->isVisible());
        QVERIFY(!child<QFrame>("Frame1_0")->isVisible());
        QVERIFY(!child<QFrame>("Frame1_1")->isVisible());

        // an amount typed anew is read back; the birthday kept as shown is not moved a century
        edit("txtStundenlohn")->setText(QStringLiteral("14,75 €"));
        click("cmdClose");
        QVERIFY(!w->isVisible());
        QCOMPARE(stored(anna, "Stundenlohn").toDouble(), 14.75);
        QCOMPARE(stored(anna, "Lohn").toDouble(), 2345.5);
        QCOMPARE(engine::toDate(stored(anna, "Geburtstag")), QDate(1961, 7, 4));
    }

    void aNewEmployeeComesLastAndStartsInTheShownMonth() {
        for (int i = 1; i <= 7; ++i)
            employee(env(), QStringLiteral("M%1").arg(i), i);
        open();
        click("cmdAddnew");
        QVERIFY(edit("txtAnrede")->hasFocus());
        QCOMPARE(edit("MaskEdBox1")->text(), QStringLiteral("01.03.24"));
        QTest::keyClicks(edit("txtAnrede"), QStringLiteral("Frau"));
        QTest::keyClick(edit("txtAnrede"), Qt::Key_Return); // Enter moves on as Tab does
        QVERIFY(edit("txtVorname")->hasFocus());
        QTest::keyClick(edit("txtVorname"), Qt::Key_Tab);
        QTest::keyClicks(edit("txtNachname"), QStringLiteral("Meier"));
        QTest::keyClick(edit("txtNachname"), Qt::Key_Tab);
        QCOMPARE(edit("txtPlanName")->text(), QStringLiteral("Meier")); // from the surname
        click("cmdClose");
        QVERIFY(!w->isVisible());
        const int meier = scalar(env(), QStringLiteral("SELECT MaNr FROM Mitarbeiter WHERE "
                                                       "PlanName = 'Meier'"));
        QVERIFY(meier > 0);
        QCOMPARE(stored(meier, "DienstPos").toInt(), 8);
        QCOMPARE(stored(meier, "Anrede").toString(), QStringLiteral("Frau"));
        QCOMPARE(engine::toDate(stored(meier, "ersterArbeitstag")), QDate(2024, 3, 1));
        QVERIFY(prompts().shown.isEmpty());
    }

    void theFirstFieldIsShownWhereverTheFocusGoesToIt() {
        const QList<int> m = staff(3);
        open(m[1]);
        auto* tabs = child<QTabBar>("TabStrip1");
        // "neuer" on the last page, hiding on the second: the first page comes to the front
        tabs->setCurrentIndex(2);
        QVERIFY(!edit("txtAnrede")->isVisible());
        click("cmdAddnew");
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(child<QFrame>("Frame1_0")->isVisible());
        QVERIFY(!child<QFrame>("Frame1_2")->isVisible());
        QVERIFY(edit("txtAnrede")->isVisible());
        QVERIFY(edit("txtAnrede")->hasFocus());
        QCOMPARE(edit("MaskEdBox1")->text(), QStringLiteral("01.03.24"));
        edit("txtNachname")->setText(QStringLiteral("Neu"));
        edit("txtPlanName")->setText(QStringLiteral("Neu"));
        auto* list = child<dialogs::RecordList>("DataGrid1");
        list->setCurrentCell(0, 0); // saves the new one, back on M1
        tabs->setCurrentIndex(1);
        click("cmdHide");
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(edit("txtAnrede")->hasFocus());
        QCOMPARE(employeePositions(env()).value(m[0]), 0);
    }

    void theFirstEmployeeOfAnEmptyTable() {
        open();
        click("cmdAddnew");
        edit("txtNachname")->setFocus();
        QTest::keyClicks(edit("txtNachname"), QStringLiteral("Erste"));
        QTest::keyClick(edit("txtNachname"), Qt::Key_Tab);
        QTest::keyClick(w.get(), Qt::Key_Escape); // Esc closes, saving
        QVERIFY(!w->isVisible());
        QCOMPARE(employeePositions(env()).values(), QList<int>{1});
        // typing into the empty window begins an employee as well
        env().Datenbank.execute(QStringLiteral("DELETE FROM Mitarbeiter"));
        open();
        QTest::keyClicks(edit("txtAnrede"), QStringLiteral("Herr"));
        QCOMPARE(edit("txtAnrede")->text(), QStringLiteral("Herr"));
        edit("txtNachname")->setText(QStringLiteral("Zweite"));
        edit("txtPlanName")->setText(QStringLiteral("Zweite"));
        click("cmdClose");
        QCOMPARE(employeePositions(env()).values(), QList<int>{1});
    }

    void hidingAndShowingMoveTheOthers() {
        const QList<int> m = staff(5);
        open(m[2]);
        QCOMPARE(edit("txtPlanName")->text(), QStringLiteral("M3"));
        click("cmdHide");
        QCOMPARE(employeePositions(env()),
                 (QMap<int, int>{{m[0], 1}, {m[1], 2}, {m[2], 0}, {m[3], 3}, {m[4], 4}}));
        // still on him, first in the list now
        QCOMPARE(edit("txtPlanName")->text(), QStringLiteral("M3"));
        auto* list = child<dialogs::RecordList>("DataGrid1");
        QCOMPARE(list->item(0, 0)->text(), QStringLiteral("M3 (ausgeblendet)"));
        QCOMPARE(list->item(0, 0)->font().italic(), true);
        QCOMPARE(list->item(1, 0)->text(), QStringLiteral("M1"));
        QCOMPARE(list->currentRow(), 0);
        click("cmdHide"); // a hidden employee is not changed
        QCOMPARE(employeePositions(env()).value(m[2]), 0);
        click("cmdShow");
        QCOMPARE(employeePositions(env()),
                 (QMap<int, int>{{m[0], 1}, {m[1], 2}, {m[2], 5}, {m[3], 3}, {m[4], 4}}));
        QCOMPARE(list->item(4, 0)->text(), QStringLiteral("M3"));
    }

    void deletingAnEmployeeTakesHisDutiesMembershipsAndStatistics() {
        group(env(), QStringLiteral("Alle Ma."));
        const QList<int> m = staff(3);
        for (int i = 0; i < 3; ++i) {
            member(env(), 1, m[i], i + 1);
            duty(env(), m[i], QDate(2024, 3, 4), QTime(8, 0), QTime(16, 0));
            statRow(env(), m[i], 2024, 3);
        }
        open(m[1]);
        prompts().queueAnswer(platform::Answer::No);
        click("cmddel");
        const platform::Message question = prompts().lastMessage();
        QCOMPARE(question.text, QStringLiteral("Soll der Mitarbeiter M2 gelöscht werden?"));
        QCOMPARE(question.title, QStringLiteral("Löschen"));
        QCOMPARE(question.buttons, platform::Buttons::YesNo);
        QCOMPARE(question.icon, platform::Icon::Exclamation);
        QCOMPARE(question.defaultButton, 1);
        QCOMPARE(count(env(), QStringLiteral("Mitarbeiter"), m[1]), 1);

        prompts().queueAnswer(platform::Answer::Yes);
        click("cmddel");
        QCOMPARE(employeePositions(env()), (QMap<int, int>{{m[0], 1}, {m[2], 2}}));
        QCOMPARE(groupPositions(env(), 1), (QMap<int, int>{{m[0], 1}, {m[2], 2}}));
        for (const char* table : {"Dienstzeiten", "Statistik", "GpZuordnung"})
            QCOMPARE(count(env(), QLatin1String(table), m[1]), 0);
        QCOMPARE(count(env(), QStringLiteral("Dienstzeiten"), m[2]), 1);
        // the window stands on the one who came after him
        QCOMPARE(edit("txtPlanName")->text(), QStringLiteral("M3"));
        QCOMPARE(child<dialogs::RecordList>("DataGrid1")->rowCount(), 2);
    }

    void requiredFieldsAndTheSaveQuestion() {
        const int anna = employee(env(), QStringLiteral("Anna"), 1);
        open();
        QLineEdit* planName = edit("txtPlanName");
        planName->setFocus();
        planName->clear();
        QTest::keyClick(planName, Qt::Key_Tab);
        QCOMPARE(prompts().texts(), QStringList{QStringLiteral("Geben Sie einen Namen ein.")});
        QTRY_VERIFY(planName->hasFocus());
        planName->setText(QStringLiteral("Anna"));
        prompts().clear();

        QLineEdit* surname = edit("txtNachname");
        surname->setFocus();
        surname->clear();
        QTest::keyClick(surname, Qt::Key_Tab);
        QCOMPARE(prompts().texts(), QStringList{QStringLiteral("Geben Sie den Nachnamen ein.")});
        QTRY_VERIFY(surname->hasFocus());
        // the buttons wait for the field
        click("cmdClose");
        QVERIFY(w->isVisible());
        prompts().clear();

        // closing by the window's close box saves, which an empty surname refuses
        prompts().queueAnswer(platform::Answer::Ok);
        prompts().queueAnswer(platform::Answer::No);
        w->close();
        QVERIFY(w->isVisible());
        QCOMPARE(prompts().shown.size(), 2);
        QVERIFY(prompts().shown.at(0).text.contains(QStringLiteral("Nachname")));
        QCOMPARE(prompts().shown.at(1).text,
                 QStringLiteral("Beim Speichern des Mitarbeiters ist ein Fehler aufgetreten.\n"
                                "Wollen Sie die Eingabemaske trotzdem schließen?"));
        QCOMPARE(prompts().shown.at(1).buttons, platform::Buttons::YesNo);
        prompts().clear();
        prompts().queueAnswer(platform::Answer::Ok);
        prompts().queueAnswer(platform::Answer::Yes);
        w->close();
        QVERIFY(!w->isVisible());
        QCOMPARE(stored(anna, "Nachname").toString(), QStringLiteral("Anna"));
        QVERIFY(!env().rsMitarbeiter.isEditing());
    }

    // Whatever the planner does, the list marks the employee the form shows (none while a new
    // one is being entered), and "Löschen" names him.
    void theListMarksTheEmployeeTheFormShows() {
        const QList<int> m = staff(3);
        open(m[1]);
        auto* list = child<dialogs::RecordList>("DataGrid1");
        const auto marked = [list] {
            return list->currentRow() < 0 ? QString() : list->item(list->currentRow(), 0)->text();
        };
        const auto clickRow = [list](int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(list->model()->index(row, 0)).center());
        };
        QCOMPARE(marked(), QStringLiteral("M2"));
        click("cmdAddnew");
        QCOMPARE(marked(), QString());
        QTest::keyClicks(edit("txtVorname"), QStringLiteral("Lena"));
        edit("txtNachname")->setFocus();
        QTest::keyClicks(edit("txtNachname"), QStringLiteral("Fischer"));
        QTest::keyClick(edit("txtNachname"), Qt::Key_Tab);
        clickRow(2);
        QCOMPARE(marked(), QStringLiteral("M3"));
        QCOMPARE(edit("txtPlanName")->text(), QStringLiteral("M3"));
        // a new one left without a name is dropped, not refused
        click("cmdAddnew");
        clickRow(3);
        QCOMPARE(marked(), QStringLiteral("Fischer"));
        QCOMPARE(edit("txtPlanName")->text(), QStringLiteral("Fischer"));
        QVERIFY(prompts().shown.isEmpty());
        QCOMPARE(list->rowCount(), 4);
        prompts().queueAnswer(platform::Answer::Yes);
        click("cmddel");
        QCOMPARE(prompts().texts(),
                 QStringList{QStringLiteral("Soll der Mitarbeiter Lena Fischer gelöscht werden?")});
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Mitarbeiter WHERE "
                                              "Nachname = 'Fischer'")),
                 0);
        QCOMPARE(marked(), edit("txtPlanName")->text());
    }

    void theListIsForChoosingOnly() {
        staff(2);
        open();
        auto* list = child<dialogs::RecordList>("DataGrid1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(1, 0)).center());
        QCOMPARE(edit("txtPlanName")->text(), QStringLiteral("M2"));
        QTest::keyClicks(list, QStringLiteral("x"));
        QCOMPARE(prompts().texts(),
                 QStringList{QStringLiteral("Ändern Sie die Daten in der Eingabemaske.")});
        QCOMPARE(list->item(1, 0)->text(), QStringLiteral("M2"));
    }
};

QTEST_MAIN(TestFrmMa)
#include "test_frmma.moc"
