// Desktop services that need no display: clipboard, window on top, folders, clock.

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Folders.h"

#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace platform;

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    void clipboardRoundTrip() {
        setClipboardText("Dienst\t7,50\r\n");
        QCOMPARE(clipboardText(), QString("Dienst\t7,50\r\n"));
    }

    void topmostKeepsGeometryAndVisibility() {
        QWidget window;
        window.setGeometry(40, 50, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect before = window.geometry();

        setTopmost(&window, true);
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        QCOMPARE(window.geometry(), before);

        setTopmost(&window, false);
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        QCOMPARE(window.geometry(), before);

        QWidget hidden;
        setTopmost(&hidden, true);
        QVERIFY(!hidden.isVisible());
        setTopmost(nullptr, true); // no window: nothing happens
    }

    void foldersFromEnvironment() {
        qputenv("TURNOVA_APPDATA", "/tmp/turnova-appdata/");
        qputenv("TURNOVA_DOCUMENTS", "/tmp/turnova-docs");
        const Folders folders = Folders::system();
        qunsetenv("TURNOVA_APPDATA");
        qunsetenv("TURNOVA_DOCUMENTS");
        QCOMPARE(folders.appDataFolder, QString("/tmp/turnova-appdata"));
        QCOMPARE(folders.documentsFolder, QString("/tmp/turnova-docs"));
        QCOMPARE(folders.programFolder, QCoreApplication::applicationDirPath());

        const Folders desktop = Folders::system();
        QVERIFY(!desktop.appDataFolder.isEmpty());
        QVERIFY(!desktop.appDataFolder.endsWith('/'));
        QVERIFY(!desktop.documentsFolder.endsWith('/'));
    }

    // Beside bin, an installation has share/turnova, where the standard files and the manual
    // lie; the program never writes there, so a bare database name goes to the per-user folder.
    void installedProgramReadsFromShareTurnova() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("usr/bin")));
        const QString bin = dir.filePath(QStringLiteral("usr/bin"));
        Folders build = Folders::forExecutable(bin);
        build.appDataFolder = dir.filePath(QStringLiteral("home"));
        QVERIFY(!build.installed);
        QCOMPARE(build.programFolder, bin);
        QCOMPARE(build.bareNameFolder(), bin);
        QCOMPARE(build.userDatabaseFolder(), dir.filePath(QStringLiteral("home/Turnova")));

        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("usr/share/turnova")));
        Folders installed = Folders::forExecutable(bin + QLatin1Char('/'));
        installed.appDataFolder = dir.filePath(QStringLiteral("home"));
        QVERIFY(installed.installed);
        QCOMPARE(installed.programFolder, dir.filePath(QStringLiteral("usr/share/turnova")));
        QCOMPARE(installed.bareNameFolder(), dir.filePath(QStringLiteral("home/Turnova")));

        // a program folder the user may not write into (root may write everywhere)
        if (::geteuid() != 0) {
            QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            QCOMPARE(build.bareNameFolder(), dir.filePath(QStringLiteral("home/Turnova")));
            QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        }
    }

    // What xdg-open answers decides: a desktop without a program for the file is a failure.
    void openWithShellHearsTheDesktop() {
        QTemporaryDir dir;
        const QString opener = dir.filePath(QStringLiteral("xdg-open"));
        const auto answer = [&](int code) {
            QFile script(opener);
            QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
            script.write(QByteArray("#!/bin/sh\nexit ") + QByteArray::number(code) + "\n");
            script.close();
            script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        };
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()) + ':' + path);
        answer(3);
        QVERIFY(!platform::openWithShell(dir.filePath(QStringLiteral("seite.html"))));
        answer(0);
        QVERIFY(platform::openWithShell(dir.filePath(QStringLiteral("seite.html"))));
        qputenv("PATH", path);
    }

    void clockGivesWallClockAsUtc() {
        const QDateTime before = QDateTime::currentDateTime();
        const QDateTime now = Clock().now();
        const QDateTime after = QDateTime::currentDateTime();
        QCOMPARE(now.timeSpec(), Qt::UTC);
        // The wall-clock reading is kept, not shifted by the time zone.
        QVERIFY(QDateTime(before.date(), before.time(), Qt::UTC) <= now);
        QVERIFY(now <= QDateTime(after.date(), after.time(), Qt::UTC));

        FixedClock fixed(QDate(2024, 3, 5));
        QCOMPARE(fixed.today(), QDate(2024, 3, 5));
        fixed.set(QDateTime(QDate(2026, 12, 31), QTime(23, 59), Qt::UTC));
        QCOMPARE(fixed.today(), QDate(2026, 12, 31));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
