// The groups window on a temporary database, driven through its widgets: adding with the next
// position and the second-membership message, removing with the closing-up, the refusals for
// group 1, new, renamed and deleted groups.

#include "dialogs/frmGruppen.h"
#include "dialogs/frmNewGrp.h"
#include "platform/Formats.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/DialogFixture.h"
#include "tests/support/TestSession.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace testing;

class TestFrmGruppen : public QObject, DialogFixture<frmGruppen> {
    Q_OBJECT

    int early = 0;
    QList<int> m; // M1 to M6; M1 to M4 in the group "Früh" at 1 to 4

    void open(int group) {
        env().rsMitarbeiter.requery();
        env().rsGruppen.requery();
        w = std::make_unique<frmGruppen>(t->session, group);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void clickRow(const char* list, int row) {
        auto* l = child<QListWidget>(list);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualItemRect(l->item(row)).center());
    }
    QStringList rows(const char* list) {
        QStringList texts;
        auto* l = child<QListWidget>(list);
        for (int i = 0; i < l->count(); ++i)
            texts << l->item(i)->text();
        return texts;
    }
    void choose(const QString& groupName) {
        auto* combo = child<QComboBox>("DataCombo1");
        combo->setCurrentIndex(combo->findText(groupName));
    }
    // Answers the group name window when it opens: name typed (after clearing), then saved.
    void answerName(const QString& name, QString* preset = nullptr) {
        QTimer::singleShot(0, this, [name, preset] {
            auto* dialog = qobject_cast<frmNewGrp*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Gruppenname"));
            auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
            if (preset) *preset = text->text();
            text->clear();
            QTest::keyClicks(text, name);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSave")),
                              Qt::LeftButton);
        });
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void init() {
        startSession(QDate(2024, 3, 15));
        group(env(), QStringLiteral("Alle Ma."));
        early = group(env(), QStringLiteral("Früh"));
        m.clear();
        for (int i = 1; i <= 6; ++i) {
            m << employee(env(), QStringLiteral("M%1").arg(i), i);
            member(env(), 1, m.last(), i);
        }
        for (int i = 0; i < 4; ++i)
            member(env(), early, m[i], i + 1);
    }
    void cleanup() { endSession(); }

    void addingGivesTheNextPositionOnce() {
        open(early);
        QCOMPARE(w->windowTitle(), QStringLiteral("Gruppen"));
        QCOMPARE(child<QComboBox>("DataCombo1")->currentText(), QStringLiteral("Früh"));
        QCOMPARE(child<QLabel>("lblAllMa")->text(), QStringLiteral("Alle Mitarbeiter"));
        const QStringList captions{
            QStringLiteral("<- hinzufügen"),  QStringLiteral("entfernen ->"),
            QStringLiteral("Neue Gruppe"),    QStringLiteral("Gruppe umbenennen"),
            QStringLiteral("Gruppe löschen"), QStringLiteral("Speichern und Schließen")};
        int i = 0;
        for (const char* name :
             {"Command1", "Command2", "Command3", "Command4", "cmddel", "Command5"})
            QCOMPARE(child<QPushButton>(name)->text(), captions.at(i++));
        QCOMPARE(rows("lstGprMa"), (QStringList{"M1", "M2", "M3", "M4"}));
        QCOMPARE(rows("lstAllMa").size(), 6);

        click("Command1"); // no employee clicked yet: nothing
        QCOMPARE(groupPositions(env(), early).size(), 4);
        clickRow("lstAllMa", 5);
        click("Command1");
        QCOMPARE(groupPositions(env(), early).value(m[5]), 5);
        QCOMPARE(rows("lstGprMa").last(), QStringLiteral("M6"));
        QVERIFY(prompts().shown.isEmpty());
        click("Command1");
        QCOMPARE(prompts().texts(),
                 QStringList{QStringLiteral("Der Mitarbeiter ist schon in der Gruppe.")});
        QCOMPARE(groupPositions(env(), early).size(), 5);
        // the keyboard's highlight counts, not the row clicked last
        auto* all = child<QListWidget>("lstAllMa");
        all->setFocus();
        QTest::keyClick(all, Qt::Key_Up);
        QCOMPARE(all->currentRow(), 4);
        click("Command1");
        QCOMPARE(groupPositions(env(), early).value(m[4]), 6);
        QCOMPARE(groupPositions(env(), early).size(), 6);
        click("Command5");
        QVERIFY(!w->isVisible());
        QCOMPARE(w->currentGroup(), early);
    }

    void removingClosesUpAndGroupOneIsKept() {
        open(early);
        clickRow("lstGprMa", 1);
        click("Command2");
        QCOMPARE(groupPositions(env(), early), (QMap<int, int>{{m[0], 1}, {m[2], 2}, {m[3], 3}}));
        QCOMPARE(rows("lstGprMa"), (QStringList{"M1", "M3", "M4"}));
        click("Command2"); // nothing selected any more
        QCOMPARE(groupPositions(env(), early).size(), 3);

        choose(QStringLiteral("Alle Ma."));
        QCOMPARE(rows("lstGprMa").size(), 6);
        clickRow("lstGprMa", 0);
        click("Command2");
        QCOMPARE(prompts().texts(),
                 QStringList{
                     QStringLiteral("Sie können aus dieser Gruppe kleine Mitarbeiter löschen.")});
        click("cmddel");
        QCOMPARE(prompts().lastMessage().text,
                 QStringLiteral("Sie können diese Gruppe nicht löschen."));
        QCOMPARE(groupPositions(env(), 1).size(), 6);
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Gruppen")), 2);
    }

    void newRenamedAndDeletedGroups() {
        open(1);
        answerName(QString());
        click("Command3"); // an empty name leaves no group
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Gruppen")), 2);
        QCOMPARE(child<QComboBox>("DataCombo1")->currentText(), QStringLiteral("Alle Ma."));

        answerName(QStringLiteral("Nacht"));
        click("Command3");
        const int night = scalar(env(), QStringLiteral("SELECT GruppenNr FROM Gruppen WHERE "
                                                       "Gruppenname = 'Nacht'"));
        QVERIFY(night > early);
        QCOMPARE(child<QComboBox>("DataCombo1")->currentText(), QStringLiteral("Nacht"));
        QVERIFY(rows("lstGprMa").isEmpty());
        clickRow("lstAllMa", 2);
        click("Command1");
        QCOMPARE(groupPositions(env(), night), (QMap<int, int>{{m[2], 1}}));

        QString preset;
        answerName(QStringLiteral("Nachtdienst"), &preset);
        click("Command4");
        QCOMPARE(preset, QStringLiteral("Nacht"));
        QCOMPARE(child<QComboBox>("DataCombo1")->currentText(), QStringLiteral("Nachtdienst"));
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Gruppen WHERE Gruppenname = "
                                              "'Nachtdienst'")),
                 1);

        click("cmddel"); // no question: the group and its memberships go, the employees stay
        QCOMPARE(scalar(env(), QStringLiteral("SELECT count(*) FROM Gruppen")), 2);
        QVERIFY(groupPositions(env(), night).isEmpty());
        QCOMPARE(count(env(), QStringLiteral("Mitarbeiter"), m[2]), 1);
        QCOMPARE(child<QComboBox>("DataCombo1")->currentText(), QStringLiteral("Alle Ma."));
        QVERIFY(prompts().shown.isEmpty());
    }
};

QTEST_MAIN(TestFrmGruppen)
#include "test_frmgruppen.moc"
