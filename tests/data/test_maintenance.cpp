// The daily backups and the weekly compaction beside the database, and network paths, which
// get neither.

#include "data/DatabaseLocation.h"
#include "data/Maintenance.h"
#include "tests/data/OldFormatFiles.h"
#include "tests/support/TestSession.h"

#include <QtTest>

using testing::TestSession;

namespace {

void setModified(const QString& path, const QDate& day) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(day, QTime(12, 0)), QFileDevice::FileModificationTime));
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestMaintenance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dailyBackupOncePerDay() {
        TestSession t;
        t.createDatabase();
        t.env().close();
        const data::DatabaseLocation& at = t.session.location;
        const QDate today = t.session.today();
        const QString yesterday = data::dailyBackupPath(at, today.addDays(-1));
        QCOMPARE(yesterday, t.folder() + QStringLiteral("/datenbackup2026-12-05.tnv.sav"));
        oldfiles::write(data::dailyBackupPath(at, today.addDays(-21)), "alt");
        oldfiles::write(data::dailyBackupPath(at, today.addDays(-22)), "älter");

        data::dailyBackupAndCompaction(at, today);
        QCOMPARE(contentOf(yesterday), contentOf(t.databasePath() + QStringLiteral(".sav")));
        QVERIFY(!QFile::exists(data::dailyBackupPath(at, today.addDays(-21))));
        QVERIFY(QFile::exists(data::dailyBackupPath(at, today.addDays(-22))));

        oldfiles::write(yesterday, "schon da");
        data::dailyBackupAndCompaction(at, today);
        QCOMPARE(contentOf(yesterday), QByteArray("schon da"));
    }

    void compactionAtMostOnceAWeek() {
        TestSession t;
        t.createDatabase();
        t.env().close();
        const data::DatabaseLocation& at = t.session.location;
        const QDate today = t.session.today();
        const QString sav = t.databasePath() + QStringLiteral(".sav");
        data::dailyBackupAndCompaction(at, today); // no copy yet: compacted now
        QVERIFY(QFile::exists(sav));
        QCOMPARE(data::compactionCopyDate(sav), today);

        oldfiles::write(sav, "vom letzten Mal");
        setModified(sav, today.addDays(-7));
        data::dailyBackupAndCompaction(at, today);
        QCOMPARE(contentOf(sav), QByteArray("vom letzten Mal"));

        setModified(sav, today.addDays(-8));
        data::dailyBackupAndCompaction(at, today);
        QVERIFY(contentOf(sav).startsWith("SQLite format 3")); // the database set aside anew
        QCOMPARE(data::compactionCopyDate(sav), today);
    }

    void networkPathsKeepTheirPrefixAndGetNoBackups() {
        TestSession t;
        for (const QString& given :
             {QStringLiteral("//server/share/plan"), QStringLiteral("\\\\server\\share\\plan")}) {
            data::DatabaseLocation at;
            QCOMPARE(data::locateDatabase(given, t.session.services, at),
                     data::LocateResult::Located);
            QCOMPARE(at.path, given + QStringLiteral(".tnv"));
            QVERIFY(at.isNetworkPath());
            data::deriveNames(at, t.programFolder());
            QCOMPARE(at.fileName, QStringLiteral("plan.tnv"));
            QCOMPARE(at.baseName(), QStringLiteral("plan"));
            QCOMPARE(at.folder, given.left(given.size() - 5));
            QCOMPARE(at.drive, at.folder);
            data::dailyBackupAndCompaction(at, t.session.today()); // touches nothing
        }
    }
};

QTEST_MAIN(TestMaintenance)
#include "test_maintenance.moc"
