// Writes cut off by a crash: a child process (this program again, started with the database in
// TURNOVA_CRASH_DATABASE) enters duties, runs the statistics and imports holiday files through
// the program's own routines, and appends a line to a log after each commit; the test kills it
// with SIGKILL at a random moment, again and again. After every kill the file must pass
// integrity_check, the program's start-up check must go on without a word (no lock-out by what
// the kill left), and the file must hold every write the log names.

#include "data/ChangeHooks.h"
#include "data/StartCheck.h"
#include "data/TableFiles.h"
#include "engine/Connection.h"
#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "engine/RowsetXml.h"
#include "roster/DutyEntry.h"
#include "roster/Statistics.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

namespace {

constexpr char DatabaseVariable[] = "TURNOVA_CRASH_DATABASE";
constexpr char LogVariable[] = "TURNOVA_CRASH_LOG";
// Duties are entered from this day on, holidays are imported from the day before backwards.
const QDate FirstDutyDay(2025, 1, 1);
// The standard duties the child enters, and their short texts.
const QList<std::pair<QChar, QString>> Duties = {{u'F', QStringLiteral("Früh")},
                                                 {u'S', QStringLiteral("Spät")},
                                                 {u'N', QStringLiteral("Nacht")}};

QString day(const QDate& d) {
    return d.toString(Qt::ISODate);
}

// The first value of a query; an invalid QVariant when it has no row or a null.
QVariant scalar(engine::Connection& c, const QString& sql) {
    engine::Recordset rs;
    rs.openSql(c, sql);
    return rs.eof() ? QVariant() : rs.value(0);
}

QList<QStringList> rows(engine::Connection& c, const QString& sql) {
    engine::Recordset rs;
    rs.openSql(c, sql);
    QList<QStringList> all;
    for (; !rs.eof(); rs.moveNext()) {
        QStringList row;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            const QVariant v = rs.value(i);
            row << (v.typeId() == QMetaType::QDateTime ? day(engine::toDate(v)) : v.toString());
        }
        all << row;
    }
    return all;
}

// The committed writes as the log names them: "duty <MaNr> <day> <Kurzinfo>",
// "statistics <MaNr> <year> <month>", "holiday <day> <name>".
QSet<QString> writesIn(engine::Connection& c) {
    QSet<QString> writes;
    for (const QStringList& r :
         rows(c, QStringLiteral("SELECT MaNr, Tag, Kurzinfo FROM Dienstzeiten")))
        writes << QStringLiteral("duty ") + r.join(QLatin1Char(' '));
    for (const QStringList& r : rows(c, QStringLiteral("SELECT MaNr, Jahr, Monat FROM Statistik")))
        writes << QStringLiteral("statistics ") + r.join(QLatin1Char(' '));
    for (const QStringList& r : rows(c, QStringLiteral("SELECT Tag, Name FROM Feiertage")))
        writes << QStringLiteral("holiday ") + r.join(QLatin1Char(' '));
    return writes;
}

// A holiday file of three days before |last|, named after the import.
void writeHolidayFile(const QString& path, const QDate& last, int import) {
    engine::RowsetData file;
    file.columns = {{QStringLiteral("Tag"), engine::ColumnType::DateTime, 0, false},
                    {QStringLiteral("Name"), engine::ColumnType::Text, 50, true},
                    {QStringLiteral("Prozent"), engine::ColumnType::Double, 0, true}};
    for (int i = 1; i <= 3; ++i)
        file.rows << engine::RowsetRow{QDateTime(last.addDays(-i), QTime(0, 0), Qt::UTC),
                                       QStringLiteral("Import%1-%2").arg(import).arg(i), 1.0};
    engine::writeRowsetXml(path, file);
}

// The child: writes until it is killed. Every write goes to days no earlier write used, so no
// logged write is ever replaced by a later one.
int runChild(const QString& database, const QString& logPath) {
    testing::TestSession t;
    t.openDatabase(database);
    data::attachChangeHooks(t.session);
    data::DataUmgebung& env = t.env();
    QFile log(logPath);
    if (!log.open(QIODevice::Append | QIODevice::WriteOnly)) return 2;
    const auto logged = [&log](const QString& line) {
        log.write(line.toUtf8() + '\n');
        log.flush(); // into the system: a killed process loses nothing written here
    };
    QList<int> employees;
    for (const QStringList& r :
         rows(env.Datenbank, QStringLiteral("SELECT MaNr FROM Mitarbeiter ORDER BY MaNr")))
        employees << r.first().toInt();
    const QVariant lastDuty =
        scalar(env.Datenbank, QStringLiteral("SELECT max(Tag) FROM Dienstzeiten"));
    QDate dutyDay = lastDuty.isValid() ? engine::toDate(lastDuty).addDays(1) : FirstDutyDay;
    const QVariant firstHoliday =
        scalar(env.Datenbank, QStringLiteral("SELECT min(Tag) FROM Feiertage"));
    QDate holidayDay = firstHoliday.isValid() ? engine::toDate(firstHoliday) : FirstDutyDay;
    const QString holidayFile = t.folder() + QStringLiteral("/feiertage.xml");
    const int import = QRandomGenerator::global()->bounded(1000000);
    std::fputs("ready\n", stdout);
    std::fflush(stdout);

    for (int step = 0;; ++step) {
        t.prompts.clear();
        if (step % 8 == 3) {
            writeHolidayFile(holidayFile, holidayDay, import + step);
            if (!data::importfile(t.session, holidayFile, env.rsFeiertage) ||
                !t.prompts.shown.isEmpty())
                return 3;
            for (int i = 1; i <= 3; ++i)
                logged(QStringLiteral("holiday %1 Import%2-%3")
                           .arg(day(holidayDay.addDays(-i)))
                           .arg(import + step)
                           .arg(i));
            holidayDay = holidayDay.addDays(-3);
        } else if (step % 8 == 7) {
            if (roster::berStatistik2(t.session) != roster::StatisticsOutcome::Ok) return 4;
            for (const QStringList& r :
                 rows(env.Datenbank, QStringLiteral("SELECT MaNr, Jahr, Monat FROM Statistik")))
                logged(QStringLiteral("statistics ") + r.join(QLatin1Char(' ')));
        } else {
            const int maNr = employees.at(step % employees.size());
            const auto& duty = Duties.at(step % Duties.size());
            if (roster::insStdDienst(t.session, dutyDay, maNr, duty.first) !=
                roster::StdDienstResult::Written)
                return 5;
            logged(QStringLiteral("duty %1 %2 %3").arg(maNr).arg(day(dutyDay), duty.second));
            if (maNr == employees.last()) dutyDay = dutyDay.addDays(1);
        }
    }
}

// The complete lines of the log; a line cut off by the kill was not yet confirmed.
QStringList loggedWrites(const QString& logPath) {
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
    lines.removeLast(); // empty, or the cut-off line
    return lines;
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWritesLeaveASoundFileWithEveryConfirmedWrite() {
        testing::TestSession t;
        t.createDatabase();
        // the settings row of a database in use, so that a start finds nothing to fill in
        t.env().Datenbank.executeNative(
            QStringLiteral("INSERT INTO Einstellungen (Firststart, FormFontBold, FormFontItalic, "
                           "PrintFontBold, PrintFontItalic) VALUES (37528, 0, 0, 0, 0)"));
        for (const auto& [key, kurz] : Duties)
            testing::addRow(t.env().rsStandarddienste, {{"Taste", QString(key)},
                                                        {"Anfang", testing::timeValue(QTime(6, 0))},
                                                        {"Ende", testing::timeValue(QTime(14, 0))},
                                                        {"Kurzinfo", kurz},
                                                        {"Pauschalstunden", 1.0}});
        for (const char* name : {"Anna", "Bernd", "Çelik"})
            testing::addEmployee(t.env(), QString::fromUtf8(name), QDate(2024, 1, 1));
        t.env().close();
        const QString database = t.databasePath();
        const QString logPath = t.folder() + QStringLiteral("/geschrieben.log");

        const int rounds = qEnvironmentVariableIntValue("TURNOVA_CRASH_ROUNDS") > 0
                               ? qEnvironmentVariableIntValue("TURNOVA_CRASH_ROUNDS")
                               : 20;
        QRandomGenerator random(QRandomGenerator::global()->generate());
        for (int round = 1; round <= rounds; ++round) {
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QLatin1String(DatabaseVariable), database);
            environment.insert(QLatin1String(LogVariable), logPath);
            // the child's temporary folders, left behind by the kill, go with the test's
            environment.insert(QStringLiteral("TMPDIR"), t.folder());
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(child.waitForStarted());
            QVERIFY2(child.waitForReadyRead(20000), "the child did not start writing");
            QTest::qSleep(random.bounded(5, 400));
            QCOMPARE(child.state(), QProcess::Running); // it stopped on its own: a write failed
            child.kill();
            QVERIFY(child.waitForFinished());

            {
                engine::Connection c;
                c.open(database);
                QCOMPARE(scalar(c, QStringLiteral("PRAGMA integrity_check")).toString(),
                         QStringLiteral("ok"));
            }
            {
                // the next start of the program goes on without a word, whatever the kill left
                testing::TestSession restart;
                QVERIFY2(data::dbstartcheck(restart.session, database, {}),
                         qPrintable(restart.prompts.texts().join(QStringLiteral(" | "))));
                QVERIFY2(restart.prompts.shown.isEmpty(),
                         qPrintable(restart.prompts.texts().join(QStringLiteral(" | "))));
            }
            engine::Connection c;
            c.open(database);
            const QSet<QString> present = writesIn(c);
            QStringList missing;
            for (const QString& write : loggedWrites(logPath))
                if (!present.contains(write)) missing << write;
            QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("round %1 lost: ").arg(round) +
                                                   missing.join(QStringLiteral(", "))));
        }
        // every kind of write was confirmed at least once, so each was checked
        const QStringList all = loggedWrites(logPath);
        for (const char* kind : {"duty ", "statistics ", "holiday "}) {
            const qsizetype confirmed =
                all.filter(QRegularExpression(QLatin1Char('^') + QLatin1String(kind))).size();
            qInfo("%s%lld confirmed", kind, static_cast<long long>(confirmed));
            QVERIFY2(confirmed > 0, kind);
        }
    }
};

int main(int argc, char** argv) {
    const QString database = qEnvironmentVariable(DatabaseVariable);
    if (!database.isEmpty()) {
        QCoreApplication app(argc, argv);
        return runChild(database, qEnvironmentVariable(LogVariable));
    }
    QApplication app(argc, argv);
    TestCrashSafety test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_crashsafety.moc"
