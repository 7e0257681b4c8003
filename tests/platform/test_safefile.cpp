// Files written through SafeFile: a full disk at the last buffered bytes and a failing close
// leave the old file byte for byte and name the cause in German; the causes the system gives.

#include "platform/SafeFile.h"
#include "tests/support/WriteFaults.h"

#include <QDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

class TestSafeFile : public QObject {
    Q_OBJECT

    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void failuresKeepTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("seite.html"));
        platform::writeFileSafely(path, "alt");
        for (const auto step : {testing::FailingStep::LastWrite, testing::FailingStep::Close}) {
            const testing::FailingWrites failing(step);
            try {
                platform::writeFileSafely(path, QByteArray(5000, 'n'));
                QFAIL("a failed write was taken for a good one");
            } catch (const platform::FileWriteError& e) {
                QVERIFY(e.message().contains(QStringLiteral("Der Datenträger ist voll.")));
                QVERIFY(e.message().contains(QDir::toNativeSeparators(path)));
            }
            QCOMPARE(read(path), QByteArray("alt"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"seite.html"});
        }
        platform::writeFileSafely(path, "neu");
        QCOMPARE(read(path), QByteArray("neu"));
    }

    // A real full disk: the bytes that fit into the write buffer fail only when flushed.
    void fullDiskAtTheLastBytes() {
        testing::SmallDisk disk(64);
        if (!disk.mounted()) QSKIP("no tmpfs can be mounted here");
        const QString path = disk.path(QStringLiteral("plan.html"));
        platform::writeFileSafely(path, "alt");
        QVERIFY(disk.leaveFree(4096));
        try {
            platform::SafeFile file(path);
            for (int i = 0; i < 100; ++i)
                file.write(QByteArray(100, 'x')); // 10 000 bytes, all still in the buffer
            file.commit();
            QFAIL("a file larger than the disk was taken for written");
        } catch (const platform::FileWriteError& e) {
            QVERIFY2(e.message().endsWith(QStringLiteral("Der Datenträger ist voll.")),
                     qPrintable(e.message()));
        }
        QCOMPARE(read(path), QByteArray("alt"));
    }

    void causesInGerman() {
        const QString path = QStringLiteral("/ordner/datei.html");
        const auto reason = [&](int code) {
            return platform::writeFailureReason(path, QString::fromLocal8Bit(std::strerror(code)));
        };
        QCOMPARE(reason(ENOSPC), QStringLiteral("Der Datenträger ist voll."));
        QCOMPARE(reason(EACCES), QStringLiteral("Keine Schreibrechte für /ordner."));
        QVERIFY(reason(EROFS).contains(QStringLiteral("schreibgeschützt")));
        QCOMPARE(reason(ENOENT), QStringLiteral("Der Ordner /ordner ist nicht vorhanden."));
        QVERIFY(!platform::writeFailureReason(path, QStringLiteral("Unknown error"))
                     .contains(QLatin1String("Unknown")));
    }
};

QTEST_MAIN(TestSafeFile)
#include "test_safefile.moc"
