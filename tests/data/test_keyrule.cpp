// One rule for the keys of the standard duties: the engine's text collation, the write check on
// the standard duties (umlauts included) with the file's own unique index on Standarddienste.Taste
// (ASCII letters, in new files, in files made before the index existed and in the copies made by
// the compaction), and the look-up of key entry all compare without regard to case.

#include "data/Schema.h"
#include "data/TableFiles.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "engine/Sqlite.h"
#include "roster/DutyEntry.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QtTest>

using testing::TestSession;

namespace {

QString integrity(engine::Connection& c) {
    engine::Statement st(c, QStringLiteral("PRAGMA integrity_check"));
    return st.step() ? st.value(0).toString() : QString();
}

// Adds a standard duty through the shared recordset, as the editor does; false when refused.
bool addKey(data::DataUmgebung& env, const QString& key, const QString& kurzinfo = {}) {
    engine::Recordset& rs = env.rsStandarddienste;
    try {
        testing::addRow(rs, {{"Taste", key}, {"Kurzinfo", kurzinfo}});
        return true;
    } catch (const engine::EngineError&) {
        rs.cancelUpdate();
        return false;
    }
}

QStringList keys(engine::Connection& c) {
    engine::Recordset rs;
    rs.openSql(c, QStringLiteral("SELECT Taste FROM Standarddienste ORDER BY id"));
    QStringList all;
    for (; !rs.eof(); rs.moveNext())
        all << rs.value(0).toString();
    return all;
}

} // namespace

class TestKeyRule : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theCollationComparesAsTheEngineDoes() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("k.tnv"));
        engine::Connection::createDatabaseFile(path);
        engine::Connection c;
        c.open(path);
        c.executeNative(QStringLiteral("CREATE TABLE t (k TEXT)"));
        c.executeNative(QStringLiteral("CREATE UNIQUE INDEX t_k ON t (k COLLATE TEXT_NOCASE)"));
        const auto insert = [&c](const QString& k) {
            try {
                c.execute(QStringLiteral("INSERT INTO t (k) VALUES (v)"), {k},
                          {QStringLiteral("v")});
                return true;
            } catch (const engine::EngineError&) {
                return false;
            }
        };
        for (const char* k : {"ä", "ö", "ü", "é", "a", "B", "ß"})
            QVERIFY2(insert(QString::fromUtf8(k)), k);
        for (const char* k : {"Ä", "Ö", "Ü", "É", "A", "b"})
            QVERIFY2(!insert(QString::fromUtf8(k)), k);
        // a later connection (a compaction, a backup, the next start) has the collation too
        c.close();
        c.open(path);
        QVERIFY(!insert(QStringLiteral("Ä")));
        QCOMPARE(integrity(c), QStringLiteral("ok"));
    }

    void aNewDatabaseRefusesKeysThatDifferInCaseOnly() {
        TestSession t;
        t.createDatabase();
        QVERIFY(addKey(t.env(), QStringLiteral("ä")));
        QVERIFY(!addKey(t.env(), QStringLiteral("Ä")));
        QVERIFY(addKey(t.env(), QStringLiteral("A"))); // another letter
        QVERIFY(!addKey(t.env(), QStringLiteral("a")));
        QCOMPARE(keys(t.env().Datenbank), (QStringList{QStringLiteral("ä"), QStringLiteral("A")}));
    }

    void aFileMadeBeforeTheRuleGetsItAtStartAndKeepsItInItsCopies() {
        TestSession t;
        engine::Connection::createDatabaseFile(t.databasePath());
        {
            // the table as earlier versions created it, with a key already in use
            engine::Connection old;
            old.open(t.databasePath());
            old.execute(data::schema::Standarddienste);
            old.execute(QStringLiteral("INSERT INTO Standarddienste (Taste) VALUES ('ä')"));
        }
        t.env().open(t.databasePath());
        data::openTable(t.session, t.env().rsStandarddienste, QStringLiteral(".StdDienste.xml"),
                        data::schema::Standarddienste);
        QVERIFY(t.prompts.shown.isEmpty());
        QVERIFY(!addKey(t.env(), QStringLiteral("Ä")));
        QVERIFY(addKey(t.env(), QStringLiteral("F")));
        QCOMPARE(integrity(t.env().Datenbank), QStringLiteral("ok"));
        t.env().close();

        const QString copy = t.folder() + QStringLiteral("/kopie.tnv");
        engine::Connection::compactDatabase(t.databasePath(), copy);
        engine::Connection c;
        c.open(copy);
        QCOMPARE(integrity(c), QStringLiteral("ok"));
        QVERIFY_THROWS_EXCEPTION(
            engine::EngineError,
            c.execute(QStringLiteral("INSERT INTO Standarddienste (Taste) VALUES ('f')")));
        QCOMPARE(keys(c), (QStringList{QStringLiteral("ä"), QStringLiteral("F")}));
    }

    void keyEntryFindsTheDutyOfAKeyWhateverItsCase() {
        TestSession t;
        t.createDatabase();
        QVERIFY(addKey(t.env(), QStringLiteral("ä"), QStringLiteral("Umlaut")));
        QVERIFY(addKey(t.env(), QStringLiteral("F"), QStringLiteral("Früh")));
        const int maNr =
            testing::addEmployee(t.env(), QStringLiteral("Özdemir"), QDate(2026, 1, 1));
        const QDate day(2026, 12, 3);
        QCOMPARE(roster::insStdDienst(t.session, day, maNr, QChar(u'Ä')),
                 roster::StdDienstResult::Written);
        engine::Recordset rs;
        rs.openSql(t.env().Datenbank,
                   QStringLiteral("SELECT Kurzinfo FROM Dienstzeiten WHERE MaNr = m"), {maNr},
                   {QStringLiteral("m")});
        QCOMPARE(rs.recordCount(), 1L);
        QCOMPARE(rs.value(0).toString(), QStringLiteral("Umlaut"));
        QCOMPARE(roster::insStdDienst(t.session, day, maNr, QChar(u'f')),
                 roster::StdDienstResult::Written);
        rs.requery();
        QCOMPARE(rs.value(0).toString(), QStringLiteral("Früh"));
        QVERIFY(t.prompts.shown.isEmpty());
    }
};

QTEST_MAIN(TestKeyRule)
#include "test_keyrule.moc"
