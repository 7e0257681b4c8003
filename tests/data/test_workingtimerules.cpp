// The settings table of the working-time check on every way a database comes to be opened:
// a current database without it, a missing one built new, an old one rebuilt, a damaged one
// restored from a copy that lacks it; and stored settings that survive a start.

#include "data/StartCheck.h"
#include "data/WorkingTimeRules.h"
#include "engine/DateValue.h"
#include "tests/support/TestSession.h"

#include <QFile>
#include <QtTest>

using testing::TestSession;

namespace {

const QString Table = QStringLiteral("Arbeitszeitregeln");

// A database of the nine tables with one settings row, closed again.
void createDatabase(TestSession& t, const QDate& firstStart = QDate(2002, 9, 29)) {
    t.createDatabase();
    engine::Recordset& settings = t.env().rsEinstellungen;
    settings.addNew();
    settings.setValue(QStringLiteral("Firststart"), engine::dateVariant(firstStart));
    settings.update();
    t.env().close();
}

bool hasTable(TestSession& t) {
    return t.env().isOpen() && t.env().Datenbank.tableExists(Table);
}

} // namespace

class TestWorkingTimeRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyWayOfOpeningCreatesTheTable() {
        {
            TestSession t(QDate(2026, 12, 6), true);
            createDatabase(t);
            QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
            QVERIFY(t.prompts.messages().isEmpty());
            QVERIFY(hasTable(t));
        }
        {
            TestSession t(QDate(2026, 12, 6), true);
            t.prompts.queueAnswer(platform::Answer::Yes); // create the missing database
            QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
            QVERIFY(hasTable(t));
        }
        {
            TestSession t(QDate(2026, 12, 6), true);
            createDatabase(t, QDate(2002, 9, 28)); // an old format: rebuilt
            QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
            QVERIFY(QFile::exists(t.databasePath() + QStringLiteral(".old")));
            QVERIFY(hasTable(t));
        }
        {
            TestSession t(QDate(2026, 12, 6), true);
            createDatabase(t);
            QVERIFY(QFile::copy(t.databasePath(), t.databasePath() + QStringLiteral(".sav")));
            QFile damaged(t.databasePath());
            QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
            damaged.write(QByteArray(8192, '\x5a'));
            damaged.close();
            QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
            QVERIFY(t.prompts.texts().first().endsWith(
                QStringLiteral("Fehler in der Datenbank. Versuche Datenbank wiederherzustellen.")));
            QVERIFY(hasTable(t));
        }
    }

    void storedSettingsSurviveAStart() {
        TestSession t(QDate(2026, 12, 6), true);
        createDatabase(t);
        t.env().open(t.databasePath());
        data::WorkingTimeRules rules;
        rules.minRest = 10;
        rules.runOn = false;
        data::saveWorkingTimeRules(t.env().Datenbank, rules);
        t.env().close();
        QVERIFY(data::dbstartcheck(t.session, t.databasePath(), {}));
        QCOMPARE(data::loadWorkingTimeRules(t.env().Datenbank), rules);
    }
};

QTEST_MAIN(TestWorkingTimeRules)
#include "test_workingtimerules.moc"
