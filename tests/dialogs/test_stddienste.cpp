// The standard-duties editor on a temporary database, driven through its widgets: the key
// check, the short-text rule, the field checks, new and deleted duties, the colour, saving and
// closing, and the printed list read back from a PDF file.

#include "dialogs/RecordList.h"
#include "dialogs/StdDienstePrint.h"
#include "dialogs/frmStdDienste.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "platform/Printers.h"
#include "roster/MonthState.h"
#include "tests/support/TestSession.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

class TestStdDienste : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::TestSession> t;
    std::unique_ptr<frmStdDienste> w;

    data::DataUmgebung& env() { return t->env(); }
    platform::ScriptedPrompts& prompts() { return t->prompts; }
    void addStandardDuty(const QString& key, const QVariant& from, const QVariant& to,
                         const QString& kurz, double flat, const QVariant& colour = 16777215) {
        env().Datenbank.execute(
            QStringLiteral("INSERT INTO Standarddienste (Taste, Anfang, Ende, Pause, Kurzinfo, "
                           "Pauschalstunden, Farbe) VALUES (k, a, e, 0.5, i, f, c)"),
            {key, from, to, kurz, flat, colour},
            {QStringLiteral("k"), QStringLiteral("a"), QStringLiteral("e"), QStringLiteral("i"),
             QStringLiteral("f"), QStringLiteral("c")});
    }
    static QVariant time(int h, int m) { return engine::dayNumber(QTime(h, m)); }
    // One column of the standard duty with the key.
    QVariant stored(const QString& key, const QString& field) {
        engine::Recordset rs;
        rs.openSql(env().Datenbank, QStringLiteral("SELECT * FROM Standarddienste WHERE Taste = k"),
                   {key}, {QStringLiteral("k")});
        return rs.eof() ? QVariant() : rs.value(field);
    }
    int count() {
        engine::Recordset rs;
        rs.openSql(env().Datenbank, QStringLiteral("SELECT count(*) FROM Standarddienste"));
        return rs.value(0).toInt();
    }
    template <typename T> T* child(const char* name) {
        T* c = w->findChild<T*>(QLatin1String(name));
        if (!c) qFatal("no control %s", name);
        return c;
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    void open() {
        env().rsStandarddienste.requery();
        w = std::make_unique<frmStdDienste>(t->session);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void click(const char* button) {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    void typeInto(const char* name, const QString& text) {
        QLineEdit* e = edit(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    void chooseRow(int row) {
        auto* list = child<dialogs::RecordList>("DataGrid1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }

    void init() {
        t = std::make_unique<testing::TestSession>();
        t->createDatabase();
        addStandardDuty(QStringLiteral("F"), time(6, 0), time(14, 0), QStringLiteral("Frühdienst"),
                        1);
        addStandardDuty(QStringLiteral("A"), QVariant(), QVariant(), QStringLiteral("Urlaub"), 7.7);
        addStandardDuty(QStringLiteral("7"), time(22, 0), time(6, 0), QStringLiteral("NB"), 0,
                        QVariant());
    }

    void cleanup() {
        w.reset();
        t.reset();
    }

    void theWindowShowsTheCurrentDuty() {
        open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Standarddienste"));
        QCOMPARE(edit("txtTaste")->text(), QStringLiteral("F"));
        QCOMPARE(edit("MaskAnfang")->text(), QStringLiteral("06:00"));
        QCOMPARE(edit("MaskEdBox1")->text(), QStringLiteral("14:00"));
        QCOMPARE(edit("txtPause")->text(), QStringLiteral("0,50"));
        QCOMPARE(edit("txtNBStunden")->text(), QStringLiteral("1,00"));
        QCOMPARE(edit("Text1")->text(), QStringLiteral("06:00 - 14:00 Fr"));
        QCOMPARE(child<QPushButton>("cmdaddnew")->text(), QStringLiteral("Neuer "));
        QCOMPARE(child<QPushButton>("cmdclose")->text(), QStringLiteral("Speichern und Schließen"));
        QVERIFY(child<QLabel>("Label1")->text().startsWith(
            QStringLiteral("Im Turnova können Sie die Standarddienste")));
        QCOMPARE(child<dialogs::RecordList>("DataGrid1")->rowCount(), 3);
        QStringList labels;
        for (const QLabel* l : w->findChildren<QLabel*>())
            labels << l->text();
        for (const char* label :
             {"Taste:", "Anfang:", "Ende:", "Pause:", "Kurzinfo:", "Pauschalstunden:", "Zusatz 1:",
              "Zusatz 2:", "Bemerkung:", "Beispiel Anzeige:"})
            QVERIFY2(labels.contains(QString::fromUtf8(label)), label);
    }

    void theWindowOpensOnTheFirstDutyWhenNoneIsCurrent() {
        env().rsStandarddienste.requery();
        while (!env().rsStandarddienste.eof())
            env().rsStandarddienste.moveNext();
        w = std::make_unique<frmStdDienste>(t->session);
        QCOMPARE(edit("txtTaste")->text(), QStringLiteral("F"));
    }

    void theKeyCheckRefusesATakenKeyAndAcceptsItsOwn() {
        open();
        typeInto("txtTaste", QStringLiteral("a")); // "A" belongs to another duty
        QCOMPARE(prompts().texts(),
                 QStringList{QStringLiteral("Diese Taste ist bereits vergeben")});
        QCOMPARE(edit("txtTaste")->text(), QStringLiteral("F"));
        prompts().clear();
        typeInto("txtTaste", QStringLiteral("F")); // its own key
        QVERIFY(prompts().shown.isEmpty());
        typeInto("txtTaste", QStringLiteral("Z"));
        QVERIFY(prompts().shown.isEmpty());
        QCOMPARE(edit("txtTaste")->text(), QStringLiteral("Z"));
        click("cmdclose");
        QVERIFY(!w->isVisible());
        QCOMPARE(stored(QStringLiteral("Z"), QStringLiteral("Kurzinfo")).toString(),
                 QStringLiteral("Frühdienst"));
        QVERIFY(stored(QStringLiteral("F"), QStringLiteral("Kurzinfo")).isNull());
    }

    void aNewDutyAcrossMidnightEndsOnTheNextDay() {
        open();
        click("cmdaddnew");
        QVERIFY(edit("txtTaste")->hasFocus());
        QVERIFY(edit("txtTaste")->text().isEmpty());
        QTest::keyClicks(edit("txtTaste"), QStringLiteral("F")); // taken
        QCOMPARE(prompts().texts(),
                 QStringList{QStringLiteral("Diese Taste ist bereits vergeben")});
        QVERIFY(edit("txtTaste")->text().isEmpty());
        QTest::keyClicks(edit("txtTaste"), QStringLiteral("S"));
        QTest::keyClick(edit("txtTaste"), Qt::Key_Return); // Enter moves on like Tab
        QVERIFY(edit("MaskAnfang")->hasFocus());
        QTest::keyClicks(edit("MaskAnfang"), QStringLiteral("2200"));
        typeInto("MaskEdBox1", QStringLiteral("0600"));
        typeInto("Txtkurzinfo", QStringLiteral("Spaetdienst"));
        typeInto("txtPause", QString()); // an empty number becomes zero
        edit("Text2")->setFocus();
        QCOMPARE(edit("txtPause")->text(), QStringLiteral("0,00"));
        QCOMPARE(edit("Text1")->text(), QStringLiteral("22:00 - 06:00 Sp"));
        click("cmdclose");
        QVERIFY(!w->isVisible());
        QCOMPARE(count(), 4);
        QCOMPARE(*engine::dayNumber(stored(QStringLiteral("S"), QStringLiteral("Anfang"))),
                 time(22, 0).toDouble());
        QCOMPARE(*engine::dayNumber(stored(QStringLiteral("S"), QStringLiteral("Ende"))),
                 time(6, 0).toDouble() + 1.0);
        QCOMPARE(stored(QStringLiteral("S"), QStringLiteral("Pause")).toDouble(), 0.0);
        QCOMPARE(prompts().shown.size(), 1);
    }

    void aKeyDifferingOnlyInCaseIsTaken() {
        addStandardDuty(QStringLiteral("ä"), QVariant(), QVariant(), QStringLiteral("Umlaut"), 0);
        open();
        click("cmdaddnew");
        QTest::keyClicks(edit("txtTaste"), QStringLiteral("Ä"));
        QCOMPARE(prompts().texts(),
                 QStringList{QStringLiteral("Diese Taste ist bereits vergeben")});
        QVERIFY(edit("txtTaste")->text().isEmpty());
        // a pasted key passes no key check; the table refuses it
        QGuiApplication::clipboard()->setText(QStringLiteral("Ä"));
        QTest::keyClick(edit("txtTaste"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit("txtTaste")->text(), QStringLiteral("Ä"));
        prompts().queueAnswer(platform::Answer::Yes);
        click("cmdclose");
        QVERIFY(prompts().lastMessage().text.startsWith(
            QStringLiteral("Beim Speichern des Dienstes ist ein Fehler aufgetreten.")));
        QVERIFY(!w->isVisible());
        QCOMPARE(count(), 4);
        QCOMPARE(stored(QStringLiteral("ä"), QStringLiteral("Kurzinfo")).toString(),
                 QStringLiteral("Umlaut"));
    }

    void aNewDutyWithoutKeyIsNotSavedSilently() {
        open();
        click("cmdaddnew");
        prompts().queueAnswer(platform::Answer::No);
        click("cmdclose");
        QVERIFY(prompts().lastMessage().text.startsWith(
            QStringLiteral("Beim Speichern des Dienstes ist ein Fehler aufgetreten.\n Fehler = ")));
        QVERIFY(prompts().lastMessage().text.endsWith(
            QStringLiteral("\nWollen Sie die Eingabemaske trotzdem schließen?")));
        QVERIFY(w->isVisible());
        prompts().queueAnswer(platform::Answer::Yes);
        click("cmdclose");
        QVERIFY(!w->isVisible());
        QCOMPARE(count(), 3);
    }

    void anEmptyCatalogueAsksForANewDutyFirst() {
        env().Datenbank.execute(QStringLiteral("DELETE FROM Standarddienste"));
        open();
        QTest::keyClicks(edit("txtTaste"), QStringLiteral("X"));
        QCOMPARE(prompts().texts(),
                 QStringList{QStringLiteral("Erstellen Sie erst einen neuen Standarddienst. "
                                            "Drücken Sie auf 'Neuer Zeitdienst' und geben Sie "
                                            "dann hier die Werte ein.")});
        QVERIFY(edit("txtTaste")->text().isEmpty());
    }

    void theShortTextTakesTwelveCharacters() {
        open();
        typeInto("Txtkurzinfo", QStringLiteral("Dreizehn Zei"));
        edit("txtBemerkung")->setFocus();
        QVERIFY(prompts().shown.isEmpty());
        typeInto("Txtkurzinfo", QStringLiteral("Dreizehn Zeic"));
        edit("txtBemerkung")->setFocus();
        QCOMPARE(prompts().texts(),
                 QStringList{QStringLiteral("Die Kurzinfo darf nicht länger als 12 Zeichen sein")});
        QTRY_VERIFY(edit("Txtkurzinfo")->hasFocus());
        // the buttons wait for a valid entry
        click("cmdclose");
        QVERIFY(w->isVisible());
    }

    void numberFieldsRefuseLetters() {
        open();
        typeInto("Text2", QStringLiteral("zwei"));
        edit("Text3")->setFocus();
        QCOMPARE(prompts().texts(), QStringList{QStringLiteral("Überprüfen Sie Ihre Eingabe")});
        QTRY_VERIFY(edit("Text2")->hasFocus());
        QCOMPARE(edit("Text2")->text(), QStringLiteral("zwei"));
        typeInto("Text2", QStringLiteral("1,5"));
        edit("Text3")->setFocus();
        QCOMPARE(prompts().shown.size(), 1);
        // a time box left without input is emptied without a message; 25:00 is reported
        edit("MaskAnfang")->setFocus();
        QCOMPARE(edit("MaskAnfang")->displayText(), QStringLiteral("06:00"));
        edit("MaskAnfang")->selectAll();
        QTest::keyClick(edit("MaskAnfang"), Qt::Key_Delete);
        edit("Text3")->setFocus();
        QVERIFY(edit("MaskAnfang")->text().isEmpty());
        QCOMPARE(prompts().shown.size(), 1);
        typeInto("MaskEdBox1", QStringLiteral("2500"));
        edit("Text3")->setFocus();
        QCOMPARE(prompts().lastMessage().text,
                 QStringLiteral("Sie haben keine gültige Zeit eingegeben"));
        QVERIFY(edit("Text3")->hasFocus());
    }

    void aNormDutyLocksTheFlatHours() {
        open();
        QVERIFY(edit("txtNBStunden")->isEnabled());
        QTest::mouseClick(child<QCheckBox>("chkNormdienst"), Qt::LeftButton);
        QVERIFY(!edit("txtNBStunden")->isEnabled());
        click("cmdclose");
        QCOMPARE(stored(QStringLiteral("F"), QStringLiteral("Normdienst")).toBool(), true);
        w.reset();
        open();
        QVERIFY(!edit("txtNBStunden")->isEnabled());
    }

    void choosingARowShowsItAndColoursNullAsWhite() {
        open();
        edit("Txtkurzinfo")->setText(QStringLiteral("Früh"));
        chooseRow(2); // the night duty without colour
        QCOMPARE(edit("txtTaste")->text(), QStringLiteral("7"));
        QCOMPARE(edit("Text1")->text(), QStringLiteral("22:00 - 06:00 NB"));
        QCOMPARE(edit("Text1")->palette().color(QPalette::Base), QColor(Qt::white));
        // leaving the first row saved its edit
        QCOMPARE(stored(QStringLiteral("F"), QStringLiteral("Kurzinfo")).toString(),
                 QStringLiteral("Früh"));
        w->close();
        QCOMPARE(stored(QStringLiteral("7"), QStringLiteral("Farbe")).toInt(), 16777215);
    }

    void theColourDialogSetsTheColour() {
        open();
        prompts().queueColor(std::nullopt); // cancelled: nothing changes
        click("Command3");
        prompts().queueColor(QColor(0, 0, 255));
        click("Command3");
        QCOMPARE(prompts().colorRequests.first(), QColor(Qt::white));
        QCOMPARE(edit("Text1")->palette().color(QPalette::Base), QColor(0, 0, 255));
        w->close(); // closing saves
        QCOMPARE(stored(QStringLiteral("F"), QStringLiteral("Farbe")).toInt(), 0xFF0000);
    }

    void deletingAsksFirst() {
        open();
        prompts().queueAnswer(platform::Answer::No);
        click("cmddel");
        QCOMPARE(count(), 3);
        const platform::Message m = prompts().lastMessage();
        QCOMPARE(m.text, QStringLiteral("Soll der Standarddienst F (Frühdienst) gelöscht werden?"));
        QCOMPARE(m.title, QStringLiteral("Löschen"));
        QCOMPARE(m.buttons, platform::Buttons::YesNo);
        QCOMPARE(m.icon, platform::Icon::Exclamation);
        QCOMPARE(m.defaultButton, 1);
        prompts().queueAnswer(platform::Answer::Yes);
        click("cmddel");
        QCOMPARE(count(), 2);
        QVERIFY(stored(QStringLiteral("F"), QStringLiteral("Taste")).isNull());
        QCOMPARE(edit("txtTaste")->text(), QStringLiteral("A")); // the next duty
        QCOMPARE(child<dialogs::RecordList>("DataGrid1")->rowCount(), 2);
    }

    void theListIsPrintedSortedByKey() {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
        open();
        QVERIFY(platform::setCurrentPrinter(platform::PdfPrinterName));
        const QString pdf = t->folder() + QStringLiteral("/liste.pdf");
        prompts().queueFile(pdf);
        click("cmdPrint");
        QVERIFY(prompts().shown.isEmpty());
        QCOMPARE(prompts().saveRequests.size(), 1);
        QCOMPARE(prompts().saveRequests.first().defaultName, QStringLiteral("Standarddienste"));
        QProcess p;
        p.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("Standarddienste")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Karbeno")));
        QVERIFY(text.contains(QStringLiteral("Taste")) &&
                text.contains(QStringLiteral("Pauschalstd.")));
        const qsizetype seven = text.indexOf(QStringLiteral("NB"));
        const qsizetype a = text.indexOf(QStringLiteral("Urlaub"));
        const qsizetype f = text.indexOf(QStringLiteral("Frühdienst"));
        QVERIFY2(seven > 0 && seven < a && a < f, qPrintable(text));
    }

    void theLinesOfTheList() {
        const QStringList lines = dialogs::standardDutyListLines(env().rsStandarddienste);
        QCOMPARE(lines.mid(0, 7),
                 (QStringList{QString(), QStringLiteral("Standarddienste"),
                              QStringLiteral("---------------"), QString(), QString(),
                              dialogs::StdDienstePrintHeader, QString(58, QLatin1Char('-'))}));
        QCOMPARE(lines.size(), 7 + 2 * 3);
        QCOMPARE(lines.at(7),
                 QStringLiteral("    7    22:00   06:00    0,50          NB           0,00"));
        QCOMPARE(lines.at(8), QString());
        QCOMPARE(lines.at(9),
                 QStringLiteral("    A                     0,50      Urlaub           7,70"));
        QCOMPARE(lines.at(11),
                 QStringLiteral("    F    06:00   14:00    0,50  Frühdienst           1,00"));
    }
};

QTEST_MAIN(TestStdDienste)
#include "test_stddienste.moc"
