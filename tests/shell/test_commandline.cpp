// The command line: "--help" and "--version" in German, everything else the database path; the
// program's icon on the windows and in the about window.

#include "platform/Formats.h"
#include "platform/ProgramIcon.h"
#include "platform/Translations.h"
#include "reports/frminfo.h"
#include "shell/CommandLine.h"

#include <QLabel>
#include <QtTest>

namespace {

CommandLine read(const QStringList& arguments) {
    return readCommandLine(QStringList{QStringLiteral("turnova")} + arguments);
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        platform::setLocale(QLocale(QLocale::German, QLocale::Germany));
        platform::installTranslations(*QCoreApplication::instance());
    }
    void cleanupTestCase() { platform::resetLocale(); }

    void everythingButTheOptionsIsTheDatabasePath() {
        QCOMPARE(read({}).action, CommandLine::Action::Start);
        QCOMPARE(read({}).database, QString());
        QCOMPARE(read({QStringLiteral("/home/pflege/Dienst plan.tnv")}).database,
                 QStringLiteral("/home/pflege/Dienst plan.tnv"));
        // a path split at its blanks, as a desktop without quoting hands it over
        QCOMPARE(read({QStringLiteral("/home/pflege/Dienst"), QStringLiteral("plan.tnv")}).database,
                 QStringLiteral("/home/pflege/Dienst plan.tnv"));
        // words the program knows no option for stay part of the path
        const CommandLine dashed = read({QStringLiteral("-Plan"), QStringLiteral("2026.tnv")});
        QCOMPARE(dashed.action, CommandLine::Action::Start);
        QCOMPARE(dashed.database, QStringLiteral("-Plan 2026.tnv"));
        QCOMPARE(read({QStringLiteral("--"), QStringLiteral("-v.tnv")}).database,
                 QStringLiteral("-v.tnv"));
        QCOMPARE(read({QStringLiteral("Plan & <Team> Ærø.tnv")}).database,
                 QStringLiteral("Plan & <Team> Ærø.tnv"));
    }

    void versionIsTheAboutWindowsVersion() {
        for (const QString& option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
            const CommandLine c = read({option});
            QCOMPARE(c.action, CommandLine::Action::Version);
            QCOMPARE(c.text, QStringLiteral("Turnova\n") +
                                 frminfo::versionText(TURNOVA_VERSION_MAJOR, TURNOVA_VERSION_MINOR,
                                                      TURNOVA_VERSION_PATCH) +
                                 QLatin1Char('\n'));
        }
        QVERIFY(read({QStringLiteral("--version")})
                    .text.endsWith(QStringLiteral("\nDatenbank Version vom : 29.09.02\n")));
        frminfo about;
        QCOMPARE(QStringLiteral("Turnova\n") +
                     about.findChild<QLabel*>(QStringLiteral("Label4"))->text() + QLatin1Char('\n'),
                 versionOutput());
    }

    void helpIsGerman() {
        for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const CommandLine c = read({option, QStringLiteral("plan.tnv")});
            QCOMPARE(c.action, CommandLine::Action::Help);
            for (const char* text : {"Aufruf:", "[Optionen] [datenbank]", "Optionen:", "Argumente:",
                                     "Zeigt diese Hilfe an.", "Zeigt die Programmversion an.",
                                     "~/.local/share/Turnova/daten.tnv"})
                QVERIFY2(c.text.contains(QString::fromUtf8(text)), qPrintable(c.text));
            QVERIFY2(!c.text.contains(QStringLiteral("Usage")), qPrintable(c.text));
        }
    }

    void aboutWindowShowsTheProgramIcon() {
        const QIcon icon = platform::programIcon();
        for (const int size : {16, 32, 48, 256})
            QCOMPARE(icon.pixmap(size, size).size(), QSize(size, size));
        frminfo about;
        const QLabel* picture = about.findChild<QLabel*>(QStringLiteral("Picture1"));
        QVERIFY(picture);
        QCOMPARE(picture->pixmap().size(), QSize(64, 64));
        QCOMPARE(picture->pixmap().toImage(), icon.pixmap(64, 64).toImage());
        // a click on the picture closes the window like a click anywhere else
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseClick(const_cast<QLabel*>(picture), Qt::LeftButton);
        QTRY_VERIFY(!about.isVisible());
    }
};

QTEST_MAIN(TestCommandLine)
#include "test_commandline.moc"
