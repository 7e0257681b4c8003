// The first start on a clean machine: the program creates its database from the standard files
// shipped beside it and shows a working roster, with no message but the question whether to
// create the database.

#include "platform/Formats.h"
#include "shell/frmTurnova.h"
#include "tests/support/TestSession.h"

#include <QComboBox>
#include <QtTest>

class TestFirstStart : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanupTestCase() { platform::resetLocale(); }

    void cleanMachineGetsAWorkingRoster() {
        testing::TestSession t(QDate(2026, 12, 6), true);
        t.prompts.queueAnswer(platform::Answer::Yes);
        frmTurnova window(t.session.services);
        QVERIFY(window.Turnova_Load(QString()));
        QCOMPARE(t.prompts.messages().size(), 1);
        QVERIFY(t.prompts.texts().first().endsWith(
            QStringLiteral("nicht gefunden. Soll die Datenbank neu erstellt werden?")));
        QVERIFY(QFile::exists(t.session.services.folders.appDataFolder +
                              QStringLiteral("/Turnova/daten.tnv")));
        data::DataUmgebung& env = window.session().env;
        QCOMPARE(env.rsStandarddienste.recordCount(), 7L);
        QCOMPARE(env.rsFeiertage.recordCount(), 234L);
        QCOMPARE(env.rsMitarbeiter.recordCount(), 5L);
        QCOMPARE(env.rsMaNachGrp.recordCount(), 5L);
        QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("GprSel"))->currentText(),
                 QStringLiteral("Alle Ma."));
        window.close();
    }
};

QTEST_MAIN(TestFirstStart)
#include "test_firststart.moc"
