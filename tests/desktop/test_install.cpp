// The installed program: `cmake --install` into a temporary folder whose path holds blanks, the
// files the desktop needs checked by the desktop's own tools, and the installed executable started
// from there as users start it.

#include "engine/Connection.h"
#include "engine/Sqlite.h"
#include "platform/Folders.h"
#include "platform/Formats.h"
#include "shell/CommandLine.h"

#include <QDirIterator>
#include <QImage>
#include <QMimeDatabase>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& arguments,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    Run r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("%1 did not finish").arg(program);
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A tool of the desktop the test needs (installed by scripts/install-deps.sh).
QString tool(const char* name) {
    const QString path = QStandardPaths::findExecutable(QLatin1String(name));
    if (path.isEmpty()) qWarning("%s is missing; scripts/install-deps.sh installs it", name);
    return path;
}

qint64 employees(const QString& database) {
    engine::Connection c;
    c.open(database);
    engine::Statement count(c, QStringLiteral("SELECT count(*) FROM Mitarbeiter"));
    return count.step() ? count.int64(0) : -1;
}

QStringList filesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString root_; // the DESTDIR, with blanks in its path
    QString usr_;  // root_ + "/usr"
    QStringList installed_;

    QString binary() const { return usr_ + QStringLiteral("/bin/turnova"); }

    // The installed program in smoke mode: offscreen, message boxes answered with their default
    // button, closed after half a second; the per-user folder lies in the temporary folder.
    QProcessEnvironment smokeEnvironment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TURNOVA_SMOKE_MS"), QStringLiteral("500"));
        env.insert(QStringLiteral("TURNOVA_APPDATA"),
                   tmp_.filePath(QStringLiteral("Eigene Daten")));
        env.insert(QStringLiteral("TURNOVA_DOCUMENTS"), tmp_.filePath(QStringLiteral("Dokumente")));
        return env;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        root_ = tmp_.filePath(QStringLiteral("Ziel mit Leerzeichen"));
        usr_ = root_ + QStringLiteral("/usr");
        const QString cmake = qEnvironmentVariable("TURNOVA_CMAKE");
        const QString build = qEnvironmentVariable("TURNOVA_BUILD_DIR");
        if (cmake.isEmpty() || build.isEmpty())
            QSKIP("TURNOVA_CMAKE and TURNOVA_BUILD_DIR name the build to install");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), root_);
        const Run install = run(cmake,
                                {QStringLiteral("--install"), build, QStringLiteral("--prefix"),
                                 QStringLiteral("/usr")},
                                env);
        QVERIFY2(install.exitCode == 0, qPrintable(install.out + install.err));
        installed_ = filesBelow(root_);
    }

    void everyFileLiesWhereTheDesktopLooks() {
        QStringList expected = {
            QStringLiteral("bin/turnova"),
            QStringLiteral("share/turnova/Handbuch.pdf"),
            QStringLiteral("share/applications/de.karbeno.turnova.desktop"),
            QStringLiteral("share/metainfo/de.karbeno.turnova.metainfo.xml"),
            QStringLiteral("share/mime/packages/de.karbeno.turnova.xml"),
            QStringLiteral("share/icons/hicolor/scalable/apps/de.karbeno.turnova.svg"),
        };
        for (const char* table :
             {"Einstellungen", "Feiertage", "GpZuordnung", "Gruppen", "Mitarbeiter", "StdDienste"})
            expected << QStringLiteral("share/turnova/std.%1.xml").arg(QLatin1String(table));
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
            expected << QStringLiteral("share/icons/hicolor/%1x%1/apps/de.karbeno.turnova.png")
                            .arg(size);
        for (QString& file : expected)
            file = usr_ + QLatin1Char('/') + file;
        expected.sort();
        QCOMPARE(installed_, expected);
        QVERIFY(QFileInfo(binary()).isExecutable());
        for (const int size : {16, 48, 256})
            QCOMPARE(QImage(usr_ + QStringLiteral("/share/icons/hicolor/%1x%1/apps/"
                                                  "de.karbeno.turnova.png")
                                       .arg(size))
                         .size(),
                     QSize(size, size));
    }

    void desktopEntryAndMetadataPassTheDesktopsChecks() {
        const QString desktopFileValidate = tool("desktop-file-validate");
        const QString appstreamcli = tool("appstreamcli");
        QVERIFY(!desktopFileValidate.isEmpty() && !appstreamcli.isEmpty());
        const Run entry =
            run(desktopFileValidate,
                {usr_ + QStringLiteral("/share/applications/de.karbeno.turnova.desktop")});
        QVERIFY2(entry.exitCode == 0 && entry.out.isEmpty(), qPrintable(entry.out + entry.err));
        const Run metadata =
            run(appstreamcli, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                               usr_ + QStringLiteral("/share/metainfo/"
                                                     "de.karbeno.turnova.metainfo.xml")});
        QVERIFY2(metadata.exitCode == 0, qPrintable(metadata.out + metadata.err));

        QSettings entryFile(usr_ + QStringLiteral("/share/applications/de.karbeno.turnova.desktop"),
                            QSettings::IniFormat);
        entryFile.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(entryFile.value(QStringLiteral("Name")).toString(), QStringLiteral("Turnova"));
        QCOMPARE(entryFile.value(QStringLiteral("Exec")).toString(), QStringLiteral("turnova %f"));
        QCOMPARE(entryFile.value(QStringLiteral("Icon")).toString(),
                 QStringLiteral("de.karbeno.turnova"));
    }

    // The file types as the desktop sees them once its MIME database holds the installed file
    // (the package's trigger merges it into the system's): a roster database by its extension
    // and by its SQLite header, saved duties by their extension.
    void rosterFilesAreKnownByNameAndByContent() {
        const QString updateMimeDatabase = tool("update-mime-database");
        QVERIFY(!updateMimeDatabase.isEmpty());
        const QString share = tmp_.filePath(QStringLiteral("mime share"));
        QVERIFY(QDir().mkpath(share + QStringLiteral("/mime/packages")));
        QVERIFY(QFile::copy(usr_ + QStringLiteral("/share/mime/packages/de.karbeno.turnova.xml"),
                            share + QStringLiteral("/mime/packages/de.karbeno.turnova.xml")));
        QVERIFY(QFile::copy(QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml"),
                            share + QStringLiteral("/mime/packages/freedesktop.org.xml")));
        // read by update-mime-database and by the first QMimeDatabase of this process
        qputenv("XDG_DATA_DIRS", QFile::encodeName(share));
        qputenv("XDG_DATA_HOME", QFile::encodeName(tmp_.filePath(QStringLiteral("no home"))));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PKGSYSTEM_ENABLE_FSYNC"), QStringLiteral("0"));
        const Run update = run(updateMimeDatabase, {share + QStringLiteral("/mime")}, env);
        QVERIFY2(update.exitCode == 0 && update.err.isEmpty(), qPrintable(update.err));

        const QString ours = tmp_.filePath(QStringLiteral("Dienstplan ohne Endung"));
        engine::Connection::createDatabaseFile(ours);
        const QString other = tmp_.filePath(QStringLiteral("fremd.sqlite3"));
        {
            engine::Connection::createDatabaseFile(other);
            engine::Connection c;
            c.open(other);
            c.executeNative(QStringLiteral("PRAGMA application_id=0"));
        }
        const QString older = tmp_.filePath(QStringLiteral("alt.tnv"));
        QVERIFY(QFile::copy(other, older));
        const QString duties = tmp_.filePath(QStringLiteral("block.tns"));
        {
            QFile f(duties);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("1\t07:00\t15:00\r\n");
        }

        QMimeDatabase types;
        QCOMPARE(types.mimeTypeForFile(ours).name(),
                 QStringLiteral("application/x-turnova-roster"));
        QCOMPARE(types.mimeTypeForFile(other).name(), QStringLiteral("application/vnd.sqlite3"));
        const QMimeType roster = types.mimeTypeForFile(older);
        QCOMPARE(roster.name(), QStringLiteral("application/x-turnova-roster"));
        QVERIFY(roster.inherits(QStringLiteral("application/vnd.sqlite3")));
        QCOMPARE(roster.iconName(), QStringLiteral("de.karbeno.turnova"));
        const QMimeType saved = types.mimeTypeForFile(duties);
        QCOMPARE(saved.name(), QStringLiteral("application/x-turnova-duties"));
        QVERIFY(saved.inherits(QStringLiteral("text/plain")));
    }

    void installedProgramFindsItsFilesBesideTheInstallation() {
        const platform::Folders folders =
            platform::Folders::forExecutable(QFileInfo(binary()).absolutePath());
        QVERIFY(folders.installed);
        QCOMPARE(folders.programFolder, usr_ + QStringLiteral("/share/turnova"));
        QVERIFY(QFile::exists(folders.programFolder + QStringLiteral("/Handbuch.pdf")));

        // the first start creates the per-user database from the standard files
        const Run first = run(binary(), {}, smokeEnvironment());
        QVERIFY2(first.exitCode == 0, qPrintable(first.err));
        QVERIFY2(first.err.contains(QStringLiteral("Soll die Datenbank neu erstellt werden?")),
                 qPrintable(first.err));
        QVERIFY2(!first.err.contains(QStringLiteral("Es ist ein Fehler")), qPrintable(first.err));
        const QString database = tmp_.filePath(QStringLiteral("Eigene Daten/Turnova/daten.tnv"));
        QCOMPARE(employees(database), 5);

        // a bare name lies in the per-user folder, never in the installation
        const Run bare = run(binary(), {QStringLiteral("Probe")}, smokeEnvironment());
        QVERIFY2(bare.exitCode == 0, qPrintable(bare.err));
        QCOMPARE(employees(tmp_.filePath(QStringLiteral("Eigene Daten/Turnova/Probe.tnv"))), 5);
        QCOMPARE(filesBelow(root_), installed_);
    }

    void pathWithBlanksOpensInOneArgumentOrSeveral() {
        const QString folder = tmp_.filePath(QStringLiteral("Meine Dienstpläne"));
        QVERIFY(QDir().mkpath(folder));
        const QString database = folder + QStringLiteral("/Plan  für Januar.tnv");
        const Run created = run(binary(), {database}, smokeEnvironment());
        QVERIFY2(created.exitCode == 0, qPrintable(created.err));
        QCOMPARE(employees(database), 5);

        // split at its blanks the path still names the same file, which now exists
        const QString single = folder + QStringLiteral("/Plan für Januar");
        const Run split = run(binary(), single.split(QLatin1Char(' ')), smokeEnvironment());
        QVERIFY2(split.exitCode == 0, qPrintable(split.err));
        QVERIFY2(split.err.contains(QStringLiteral("nicht gefunden")), qPrintable(split.err));
        QCOMPARE(employees(single + QStringLiteral(".tnv")), 5);
        const Run again = run(binary(), single.split(QLatin1Char(' ')), smokeEnvironment());
        QVERIFY2(again.exitCode == 0 && !again.err.contains(QStringLiteral("nicht gefunden")),
                 qPrintable(again.err));
    }

    void versionAndHelpAnswerInGermanWithoutADisplay() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        platform::setLocale(QLocale(QLocale::German, QLocale::Germany));
        const Run version = run(binary(), {QStringLiteral("--version")}, env);
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, versionOutput());
        QVERIFY(version.out.startsWith(QStringLiteral("Turnova\nProgramm Version 1.")));
        platform::resetLocale();

        const Run help = run(binary(), {QStringLiteral("-h")}, env);
        QCOMPARE(help.exitCode, 0);
        for (const char* text : {"Aufruf:", "[Optionen] [datenbank]", "Optionen:", "Argumente:",
                                 "Zeigt diese Hilfe an.", "Zeigt die Programmversion an."})
            QVERIFY2(help.out.contains(QString::fromUtf8(text)), qPrintable(help.out));
    }
};

QTEST_MAIN(TestInstall)
#include "test_install.moc"
