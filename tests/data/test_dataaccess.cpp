// The start-up check of the database engine: present and new enough, versions compared as
// numbers, and the messages when it is not.

#include "data/DataAccess.h"
#include "platform/ScriptedPrompts.h"

#include <QtTest>

class TestDataAccess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void engineOfThisBuildPasses() {
        platform::ScriptedPrompts prompts;
        QVERIFY(data::checkDataAccess(prompts));
        QVERIFY(prompts.messages().isEmpty());
        QVERIFY(data::dataAccessVersion().startsWith(QStringLiteral("SQLite 3.")));
    }

    void versionsAreComparedAsNumbers() {
        platform::ScriptedPrompts prompts;
        QVERIFY(data::checkDataAccess(prompts, QStringLiteral("SQLite 3.100.0"), 3100000));
        QVERIFY(!data::checkDataAccess(prompts, QStringLiteral("SQLite 3.31.1"), 3031001));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.lastMessage().title, QStringLiteral("MDAC Version"));
        QCOMPARE(prompts.lastMessage().text,
                 QStringLiteral("MDAC 2.5 Komponenten sind nicht installiert. : SQLite 3.31.1\n"
                                "Download unter : https://www.sqlite.org/download.html"));
    }

    void missingEngineShowsBothMessages() {
        platform::ScriptedPrompts prompts;
        QVERIFY(!data::checkDataAccess(prompts, QString(), 0));
        QCOMPARE(prompts.texts().first(),
                 QStringLiteral("MDAC 2.5 Komponenten sind nicht installiert."));
        QCOMPARE(prompts.messages().size(), 2);
    }
};

QTEST_MAIN(TestDataAccess)
#include "test_dataaccess.moc"
