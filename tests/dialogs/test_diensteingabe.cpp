// The duty entry dialog on a temporary database: discarding on Esc, a duty across midnight and
// one of 24 hours, the date box built from the locale, moving a duty to another employee, and
// deleting.

#include "dialogs/FieldChecks.h"
#include "dialogs/frmDiensteingabe.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "tests/support/TestSession.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestDiensteingabe : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::TestSession> t;
    std::unique_ptr<frmDiensteingabe> w;
    int anna = 0, bernd = 0;
    const QDate day{2026, 3, 5};

    data::DataUmgebung& env() { return t->env(); }
    platform::ScriptedPrompts& prompts() { return t->prompts; }
    void exec(const QString& sql, const QVariantList& values = {}, const QStringList& names = {}) {
        env().Datenbank.execute(sql, values, names);
    }
    int addEmployee(const QString& name, int pos) {
        exec(QStringLiteral(
                 "INSERT INTO Mitarbeiter (PlanName, Nachname, DienstPos) VALUES (n, n, p)"),
             {name, pos}, {QStringLiteral("n"), QStringLiteral("p")});
        return int(env().Datenbank.lastInsertRowId());
    }
    void addDuty(int maNr, const QString& kurz) {
        exec(QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Anfang, Ende, Kurzinfo, Pause, "
                            "Farbe) VALUES (d, m, a, e, k, 0.5, 255)"),
             {day, maNr, engine::dayNumber(QTime(8, 0)), engine::dayNumber(QTime(16, 30)), kurz},
             {QStringLiteral("d"), QStringLiteral("m"), QStringLiteral("a"), QStringLiteral("e"),
              QStringLiteral("k")});
    }
    QVariantMap duty(int maNr) {
        engine::Recordset rs;
        rs.openSql(env().Datenbank,
                   QStringLiteral("SELECT * FROM Dienstzeiten WHERE MaNr = m AND Tag = d"),
                   {maNr, day}, {QStringLiteral("m"), QStringLiteral("d")});
        QVariantMap row;
        if (!rs.eof()) {
            for (const QString& f : rs.fieldNames())
                row[f.toLower()] = rs.value(f);
        }
        return row;
    }
    // Opens the dialog on Anna's duty.
    void open() {
        env().rsDienstzeiten.requery();
        QVERIFY(roster::findDutyOfEmployee(env(), day, anna));
        w = std::make_unique<frmDiensteingabe>(t->session);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    QLineEdit* edit(const char* name) { return w->findChild<QLineEdit*>(QLatin1String(name)); }
    void click(const char* name) {
        QTest::mouseClick(w->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }
    void typeInto(const char* name, const QString& text) {
        QLineEdit* e = edit(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }

private Q_SLOTS:
    void init() {
        platform::setLocale(QLocale(QLocale::German, QLocale::Germany));
        t = std::make_unique<testing::TestSession>();
        t->createDatabase();
        anna = addEmployee(QStringLiteral("Anna"), 1);
        bernd = addEmployee(QStringLiteral("Bernd"), 2);
        addDuty(anna, QStringLiteral("Frühdienst"));
    }

    void cleanup() {
        w.reset();
        t.reset();
    }

    void theDialogShowsTheDuty() {
        open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Diensteingabe"));
        QCOMPARE(edit("MaskAnfang")->text(), QStringLiteral("08:00"));
        QCOMPARE(edit("MaskEnde")->text(), QStringLiteral("16:30"));
        QCOMPARE(edit("Text1")->text(), QStringLiteral("0,50"));
        QCOMPARE(edit("Text3")->text(), QStringLiteral("0,00"));
        QCOMPARE(edit("Text4")->text(), QStringLiteral("08:00 - 16:30 Fr"));
        QCOMPARE(edit("Text4")->palette().color(QPalette::Base), QColor(255, 0, 0));
        auto* names = w->findChild<QComboBox*>(QStringLiteral("DataCombo1"));
        QCOMPARE(names->count(), 2);
        QCOMPARE(names->currentText(), QStringLiteral("Anna"));
        // German short dates have two-digit years
        QCOMPARE(dialogs::dateBoxMaskText(), QStringLiteral("##.##.##"));
        QCOMPARE(edit("MaskTag")->displayText(), QStringLiteral("05.03.26"));
    }

    void aFourDigitYearPatternGivesAFourDigitMask() {
        platform::setLocale(QLocale(QLocale::Finnish, QLocale::Finland)); // d.M.yyyy
        QCOMPARE(platform::shortDatePattern(), QStringLiteral("d.M.yyyy"));
        open();
        QCOMPARE(dialogs::dateBoxMaskText(), QStringLiteral("##.##.####"));
        QCOMPARE(edit("MaskTag")->inputMask(), QStringLiteral("00.00.0000;_"));
        QCOMPARE(edit("MaskTag")->displayText(), QStringLiteral("05.03.2026"));
    }

    void escLeavesTheRecordAsItWas() {
        open();
        typeInto("txtKurzinfo", QStringLiteral("Krank"));
        typeInto("MaskAnfang", QStringLiteral("0900"));
        prompts().queueColor(QColor(Qt::green));
        click("Command1");
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        const QVariantMap d = duty(anna);
        QCOMPARE(d["kurzinfo"].toString(), QStringLiteral("Frühdienst"));
        QCOMPARE(engine::toDateTime(d["anfang"]).time(), QTime(8, 0));
        QCOMPARE(d["farbe"].toInt(), 255);
        QVERIFY(!env().rsDienstzeiten.isEditing());
    }

    void aDutyAcrossMidnightEndsOnTheNextDay() {
        open();
        typeInto("MaskAnfang", QStringLiteral("2000"));
        typeInto("MaskEnde", QStringLiteral("0200"));
        typeInto("Text3", QStringLiteral("1,5"));
        click("cmdClose");
        QVERIFY(!w->isVisible());
        const QVariantMap d = duty(anna);
        QCOMPARE(*engine::dayNumber(d["anfang"]), engine::dayNumber(QTime(20, 0)));
        QCOMPARE(*engine::dayNumber(d["ende"]), engine::dayNumber(QTime(2, 0)) + 1.0);
        QCOMPARE(d["normstunden"].toDouble(), 1.5);

        // an end equal to the start is a 24-hour duty: the end a day later, 23 hours with an
        // hour of break, in the dialog's arithmetic and in the database's sums alike
        open();
        typeInto("MaskAnfang", QStringLiteral("0700"));
        typeInto("MaskEnde", QStringLiteral("0700"));
        typeInto("Text1", QStringLiteral("1"));
        typeInto("Text3", QStringLiteral("0"));
        click("cmdClose");
        const QVariantMap full = duty(anna);
        QCOMPARE(*engine::dayNumber(full["ende"]), engine::dayNumber(QTime(7, 0)) + 1.0);
        QCOMPARE(roster::dutyHours(full["anfang"], full["ende"], full["pause"], {}), 23.0);
        QCOMPARE(roster::sumHours(env(), anna, day, day), 23.0);
    }

    void anotherEmployeeTakesTheDuty() {
        open();
        auto* names = w->findChild<QComboBox*>(QStringLiteral("DataCombo1"));
        names->setCurrentIndex(names->findText(QStringLiteral("Bernd")));
        click("cmdClose");
        QVERIFY(duty(anna).isEmpty());
        QCOMPARE(duty(bernd)["kurzinfo"].toString(), QStringLiteral("Frühdienst"));
    }

    void aTakenDayRefusesTheMoveAndAsks() {
        addDuty(bernd, QStringLiteral("Urlaub"));
        open();
        auto* names = w->findChild<QComboBox*>(QStringLiteral("DataCombo1"));
        names->setCurrentIndex(names->findText(QStringLiteral("Bernd")));
        prompts().queueAnswer(platform::Answer::No);
        click("cmdClose");
        QVERIFY(w->isVisible());
        QVERIFY(prompts().lastMessage().text.startsWith(
            QStringLiteral("Beim Speichern des Dienstes ist ein Fehler aufgetreten.")));
        prompts().queueAnswer(platform::Answer::Yes);
        click("cmdClose");
        QVERIFY(!w->isVisible());
        QCOMPARE(duty(anna)["kurzinfo"].toString(), QStringLiteral("Frühdienst"));
        QCOMPARE(duty(bernd)["kurzinfo"].toString(), QStringLiteral("Urlaub"));
    }

    void deletingAsksFirst() {
        open();
        prompts().queueAnswer(platform::Answer::No);
        click("cmddel");
        QVERIFY(w->isVisible());
        QCOMPARE(prompts().lastMessage().text, QStringLiteral("Soll der Dienst gelöscht werden ?"));
        QCOMPARE(prompts().lastMessage().defaultButton, 1);
        QVERIFY(!duty(anna).isEmpty());
        prompts().queueAnswer(platform::Answer::Yes);
        click("cmddel");
        QVERIFY(!w->isVisible());
        QVERIFY(duty(anna).isEmpty());
    }
};

QTEST_MAIN(TestDiensteingabe)
#include "test_diensteingabe.moc"
