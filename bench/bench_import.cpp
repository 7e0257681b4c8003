// The restore of a table from its backup file, as a rebuild does it: the duty backup of the large
// database and a holiday file of 300,000 rows that are nearly all duplicates. Each restore runs
// in a child process of its own, so its peak memory is its own.

#include "bench/BenchImport.h"

#include "bench/Timing.h"
#include "data/ChangeHooks.h"
#include "data/Schema.h"
#include "data/Session.h"
#include "data/TableFiles.h"
#include "engine/DateValue.h"
#include "engine/RowsetXml.h"
#include "engine/Sqlite.h"
#include "platform/Clock.h"
#include "platform/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <sqlite3.h>

namespace bench {

namespace {

constexpr int HolidayRows = 300000;
constexpr int HolidayDays = 1000; // every day 300 times: all rows but 1,000 are refused

// The peak resident memory of this process image (VmHWM); getrusage's maximum would carry
// the parent's size over the fork.
long peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    }
    return -1;
}

// Counts what the start window would show.
class CountingProgress final : public data::ProgressSink {
public:
    void status(const QString&) override {}
    void setMaximum(int) override {}
    void setValue(int v) override {
        if (v != value_) ++changes;
        value_ = v;
    }
    int value() const override { return value_; }
    void processEvents() override { ++repaints; }
    long changes = 0;
    long repaints = 0;

private:
    int value_ = 0;
};

// The raw side: the same file's rows written with one INSERT OR IGNORE in one transaction into
// a fresh copy of the table (the file is parsed again; that is part of both figures).
double rawRestore(const QString& folder, const data::TableDef& def, const QString& backup) {
    const QString path = folder + QStringLiteral("/raw.tnv");
    QFile::remove(path);
    engine::Connection::createDatabaseFile(path);
    engine::Connection connection;
    connection.open(path);
    connection.execute(def.createStatement);
    data::ensureIndexes(connection, def.name);
    QElapsedTimer timer;
    timer.start();
    connection.executeNative(QStringLiteral("BEGIN"));
    std::unique_ptr<engine::Statement> insert;
    engine::streamRowsetXml(backup, [&](const engine::RowsetData& batch) {
        if (!insert) {
            QStringList names;
            QStringList marks;
            for (const engine::RowsetColumn& c : batch.columns) {
                names << c.name;
                marks << QStringLiteral("?");
            }
            insert = std::make_unique<engine::Statement>(
                connection, QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (%3)")
                                .arg(def.name, names.join(u','), marks.join(u',')));
        }
        for (const engine::RowsetRow& row : batch.rows) {
            insert->reset();
            for (int i = 0; i < row.size(); ++i)
                insert->bind(i + 1, row.at(i));
            insert->step();
        }
    });
    insert.reset();
    connection.executeNative(QStringLiteral("COMMIT"));
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    connection.close();
    QFile::remove(path);
    return seconds;
}

// In the child: restores the table of `suffix` from `backup` into a new database in `folder` as
// the rebuild does (the employees of `largePath` restored before it, the change hooks attached),
// then the raw side; prints "seconds rows peakMB progress-changes repaints raw-seconds".
int restoreChild(const QString& backup, const QString& suffix, const QString& folder,
                 const QString& largePath) {
    const data::TableDef* def = nullptr;
    for (const data::TableDef& t : data::tables())
        if (t.suffix == suffix) def = &t;
    if (!def) return 2;
    platform::ScriptedPrompts prompts;
    platform::FixedClock clock(QDate(2025, 12, 31));
    CountingProgress progress;
    double seconds = 0;
    long rows = 0;
    long peak = 0;
    {
        data::Session session;
        session.services.prompts = &prompts;
        session.services.clock = &clock;
        session.progress = &progress;
        session.location.path = folder + QStringLiteral("/daten.tnv");
        data::deriveNames(session.location, folder);
        QFile::remove(session.location.path);
        QFile::remove(folder + QStringLiteral("/daten") + suffix);
        QFile::link(backup, folder + QStringLiteral("/daten") + suffix);
        engine::Connection::createDatabaseFile(session.location.path);
        session.env.open(session.location.path);
        session.env.Datenbank.execute(data::schema::Mitarbeiter);
        {
            engine::Statement attach(session.env.Datenbank, QStringLiteral("ATTACH ?1 AS large"));
            attach.bind(1, largePath);
            attach.step();
        }
        session.env.Datenbank.executeNative(
            QStringLiteral("INSERT INTO Mitarbeiter SELECT * FROM large.Mitarbeiter"));
        session.env.Datenbank.executeNative(QStringLiteral("DETACH large"));
        session.env.execute(QStringLiteral("Mitarbeiter"));
        data::attachChangeHooks(session);
        engine::Recordset& recordset = session.env.recordset(def->name);
        QElapsedTimer timer;
        timer.start();
        data::importsaved(session, def->createStatement, suffix, recordset, false);
        seconds = double(timer.nsecsElapsed()) / 1e9;
        peak = peakMegabytes();
        rows = recordset.recordCount();
        session.env.close();
        QFile::remove(session.location.path);
        QFile::remove(folder + QStringLiteral("/daten") + suffix);
    }
    const double raw = rawRestore(folder, *def, backup);
    std::printf("%.3f %ld %ld %ld %ld %.3f\n", seconds, rows, peak, progress.changes,
                progress.repaints, raw);
    return 0;
}

// In the child: writes the duty table of the large database as its backup file.
int writeBackupChild(const QString& database, const QString& backup) {
    data::DataUmgebung env;
    env.open(database);
    engine::Recordset rs;
    rs.openSql(env.Datenbank, QStringLiteral("SELECT * FROM Dienstzeiten ORDER BY DienstNR"));
    rs.saveToFile(backup);
    return 0;
}

QStringList runChild(const QStringList& arguments) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    return QString::fromLatin1(child.readAllStandardOutput()).split(u' ', Qt::SkipEmptyParts);
}

void restoreRow(const QString& name, const QString& backup, const QString& suffix,
                const QString& folder, const QString& largePath) {
    const QStringList f =
        runChild({QStringLiteral("--restore"), backup, suffix, folder, largePath});
    if (f.size() < 6) {
        std::printf("%s: the child failed\n", qPrintable(name));
        return;
    }
    row(name, f.at(0).toDouble() * 1e6, f.at(5).toDouble() * 1e6);
    std::printf("    %s of %.0f MB: %s rows kept, peak memory %s MB, progress bar moved %s "
                "times, %s repaints\n",
                qPrintable(QFileInfo(backup).fileName()), double(QFileInfo(backup).size()) / 1e6,
                qPrintable(f.at(1)), qPrintable(f.at(2)), qPrintable(f.at(3)),
                qPrintable(f.at(4).trimmed()));
}

} // namespace

int importChild(int argc, char* argv[]) {
    const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
    if (argc >= 6 && arg(1) == QLatin1String("--restore"))
        return restoreChild(arg(2), arg(3), arg(4), arg(5));
    if (argc >= 4 && arg(1) == QLatin1String("--write-backup"))
        return writeBackupChild(arg(2), arg(3));
    return -1;
}

void benchImport(const QString& folder, const QString& largePath) {
    const QString work = folder + QStringLiteral("/restore");
    QDir().mkpath(work);
    const QString duties = folder + QStringLiteral("/large.Dienste.xml");
    if (!QFileInfo::exists(duties)) runChild({QStringLiteral("--write-backup"), largePath, duties});

    const QString holidays = folder + QStringLiteral("/doppelt.Feiertage.xml");
    if (!QFileInfo::exists(holidays)) {
        engine::RowsetData data;
        data.columns = {{QStringLiteral("Tag"), engine::ColumnType::DateTime, 0, false},
                        {QStringLiteral("Name"), engine::ColumnType::Text, 50, true},
                        {QStringLiteral("Prozent"), engine::ColumnType::Single, 0, true}};
        data.rows.reserve(HolidayRows);
        for (int i = 0; i < HolidayRows; ++i)
            data.rows.append({engine::dateVariant(QDate(2000, 1, 1).addDays(i % HolidayDays)),
                              QStringLiteral("Tag %1").arg(i % HolidayDays), 1.0});
        engine::writeRowsetXml(holidays, data);
    }
    restoreRow(QStringLiteral("restore of the duty backup (rebuild, all rows)"), duties,
               QStringLiteral(".Dienste.xml"), work, largePath);
    restoreRow(QStringLiteral("restore of 300,000 holidays, 299,000 refused"), holidays,
               QStringLiteral(".Feiertage.xml"), work, largePath);
}

} // namespace bench
