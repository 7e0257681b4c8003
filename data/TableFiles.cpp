#include "data/TableFiles.h"

#include "data/ImportRules.h"
#include "data/RowAppender.h"
#include "data/Schema.h"
#include "engine/DateValue.h"
#include "engine/RowsetXml.h"
#include "engine/SqlDialect.h"
#include "engine/Sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcData)

namespace data {

namespace {

const QString SettingsSuffix = QStringLiteral(".Einstellungen.xml");

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// (Re)opens a table's recordset through the data environment's command of the same name.
// A table of the program's own beyond the design's has no named command: its recordset is opened
// on the table of its name.
void reopen(Session& session, engine::Recordset& recordset) {
    const QString name = recordset.objectName().mid(2);
    if (session.env.hasCommand(name)) {
        session.env.execute(name);
    } else {
        recordset.close();
        recordset.openTable(session.env.Datenbank, name);
    }
}

// After a failed import the recordset shows the table as it is; a failure here would only
// repeat the error already reported.
void requeryQuietly(engine::Recordset& recordset) {
    try {
        if (recordset.isOpen()) recordset.requery();
    } catch (const std::exception&) {
    }
}

// The start window's progress bar advances per row and starts again after 100 rows, when the
// windows get the chance to repaint.
void advance(ProgressSink& progress) {
    const int next = progress.value() + 1;
    progress.setValue(next >= 100 ? 0 : next);
    if (next >= 100) progress.processEvents();
}

// Shown through the error reporter for at most this many refused rows of one file; the summary
// counts them all.
constexpr int ReportedRows = 3;

struct Copied {
    long rows = 0;
    long refused = 0;
};

// Adds a row to the table for every row of the file, all in one transaction. A row that the
// table refuses (a text too long for its column, a duplicate key) is reported with its number and
// left out; the sound rows all arrive. With `keepReadableRows` (a rebuild from backup files) a
// row that cannot be read (a bad value, the row a cut-off file ends in) is reported and left out
// too; otherwise, and always for a file that cannot be read at all, the file is thrown on and the
// table stays as it was. The file is read and written in portions as it streams in, so its size
// never costs memory; the reports come after the whole file was read, the unread rows first.
Copied copyAllRows(Session& session, const QString& path, const QString& suffix,
                   engine::Recordset& table, bool withProgress, const QString& procedure,
                   bool keepReadableRows = false) {
    QStringList unread;
    if (withProgress) session.progress->setValue(0);
    const QDate today = session.today();
    engine::Transaction transaction(session.env.Datenbank);
    Copied copied;
    QList<engine::EngineError> refusals;
    engine::Recordset file;
    const std::unique_ptr<RowAppender> appender = RowAppender::forTable(session, table);
    const auto refuse = [&](const engine::EngineError& e) {
        if (++copied.refused <= ReportedRows)
            refusals.append(engine::EngineError(
                e.number(), e.description() + QStringLiteral(" (Datensatz %1 der Datei %2)")
                                                  .arg(copied.rows)
                                                  .arg(shown(path))));
    };
    engine::streamRowsetXml(
        path,
        [&](const engine::RowsetData& batch) {
            file.openData(batch);
            for (file.moveFirst(); !file.eof(); file.moveNext()) {
                ++copied.rows;
                if (withProgress) advance(*session.progress);
                try {
                    if (appender) {
                        const auto refusal =
                            appender->append(importedRow(file, table, today, AutoNumbers::Copy));
                        if (refusal) refuse(*refusal);
                        continue;
                    }
                    table.addNew();
                    setImportedRow(file, table, today, AutoNumbers::Copy);
                    // whatever the file held, the row is now one of the current format
                    if (suffix == SettingsSuffix)
                        table.setValue(QStringLiteral("Firststart"),
                                       engine::dateVariant(formatMarker()));
                    table.update();
                } catch (const engine::EngineError& e) {
                    table.cancelUpdate();
                    refuse(e);
                }
            }
        },
        keepReadableRows ? &unread : nullptr);
    if (appender) appender->announce();
    copied.refused += long(unread.size());
    for (qsizetype i = 0; i < unread.size() && i < ReportedRows; ++i)
        report(session,
               engine::EngineError(engine::err::BadFileFormat,
                                   QStringLiteral("Ein Datensatz der Datei %1 kann nicht gelesen "
                                                  "werden: %2.")
                                       .arg(shown(path), unread.at(i))),
               procedure);
    for (const engine::EngineError& refusal : refusals)
        report(session, refusal, procedure);
    transaction.commit();
    if (copied.refused > 0)
        session.prompts().ask(QStringLiteral("Aus der Datei %1 wurden %2 von %3 Datensätzen nicht "
                                             "übernommen.")
                                  .arg(shown(path))
                                  .arg(copied.refused)
                                  .arg(copied.rows + unread.size()));
    return copied;
}

bool ignoredByImportsaved(const std::exception& e) {
    const long n = errorNumber(e);
    return n == engine::err::ItemNotFound || n == engine::err::CommandError;
}

} // namespace

QString standardFile(const Session& session, const QString& suffix) {
    return session.services.folders.programFolder + QStringLiteral("/std") + suffix;
}

QString findBackupFile(const Session& session, const QString& suffix) {
    const QString name = session.location.baseName() + suffix;
    const QString beside = session.location.folder + QLatin1Char('/') + name;
    if (QFileInfo(beside).isFile()) return beside;
    QString root = session.location.drive;
    if (root.endsWith(QLatin1Char('/')) || root.endsWith(QLatin1Char('\\'))) root.chop(1);
    const QString inRoot = root + QLatin1Char('/') + name;
    if (QFileInfo(inRoot).isFile()) return inRoot;
    return QString();
}

void ensureIndexes(engine::Connection& connection, const QString& table) {
    const QString on = QStringLiteral(" ON ") + table + QStringLiteral(" ");
    for (const QString& statement : schema::ExtraIndexes) {
        if (statement.contains(on, Qt::CaseInsensitive)) connection.executeNative(statement);
    }
}

void upgradeIndexes(engine::Connection& connection) {
    for (const QString& name : schema::RetiredIndexes) {
        bool present = false;
        {
            engine::Statement st(connection, QStringLiteral("SELECT 1 FROM sqlite_master WHERE "
                                                            "type = 'index' AND name = ?1"));
            st.bind(1, name);
            present = st.step();
        }
        if (present) connection.executeNative(QStringLiteral("DROP INDEX \"%1\"").arg(name));
    }
    for (const TableDef& t : tables()) {
        try {
            if (connection.tableExists(t.name)) ensureIndexes(connection, t.name);
        } catch (const engine::EngineError& e) {
            // rows an index would refuse end no start; opening the table reports them
            qCWarning(lcData) << "index of" << t.name << e.description();
        }
    }
}

void openTable(Session& session, engine::Recordset& recordset, const QString& suffix,
               const QString& createStatement) {
    bool empty = false;
    try {
        try {
            reopen(session, recordset);
        } catch (const engine::EngineError& e) {
            if (e.number() != engine::err::TableNotFound) throw;
            session.env.Datenbank.execute(createStatement);
            reopen(session, recordset);
        }
        ensureIndexes(session.env.Datenbank, engine::createTableName(createStatement));
        empty = recordset.recordCount() == 0;
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("openTable"));
        return;
    }
    // The duties and the statistics of a new database start empty.
    if (empty && suffix != QLatin1String(".Dienste.xml") &&
        suffix != QLatin1String(".Statistik.xml")) {
        QString path;
        importinempty(session, path, suffix, recordset);
    }
}

bool importinempty(Session& session, QString& path, const QString& suffix,
                   engine::Recordset& recordset) {
    if (path.isEmpty()) {
        path = standardFile(session, suffix);
        session.prompts().ask(QStringLiteral("Die Tabelle ist leer\n") + shown(path) +
                              QStringLiteral("\nEs werden die Standardwerte eingetragen"));
    }
    if (!QFileInfo(path).isFile()) return false;
    try {
        copyAllRows(session, path, suffix, recordset, false, QStringLiteral("importinempty"));
        recordset.requery();
        return true;
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("importinempty"));
        requeryQuietly(recordset);
        return false;
    }
}

bool importsaved(Session& session, const QString& createStatement, const QString& suffix,
                 engine::Recordset& recordset, bool askFlag) {
    session.progress->processEvents();
    try {
        session.env.Datenbank.execute(createStatement);
    } catch (const std::exception& e) {
        if (!ignoredByImportsaved(e)) // the table exists already
            report(session, e, QStringLiteral("importsaved"));
    }
    try {
        ensureIndexes(session.env.Datenbank, engine::createTableName(createStatement));
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("importsaved"));
    }

    QString path = findBackupFile(session, suffix);
    if (!path.isEmpty() && askFlag) {
        const platform::Answer answer = session.prompts().ask(
            QStringLiteral("Beim wiederherstellen der Datenbank wurde eine Sicherungsdatei "
                           "gefunden. \n") +
                shown(path) +
                QStringLiteral("\nSoll diese Datei verwendet werden oder sollen die "
                               "Standardwerte übernommen werden?\nDrücken Sie auf 'JA' um die "
                               "Daten zu übernehmen, oder 'NEIN' um die Standarddaten zu "
                               "verwenden"),
            platform::Buttons::YesNo);
        if (answer == platform::Answer::No) path.clear();
    }
    if (path.isEmpty()) path = standardFile(session, suffix);

    try {
        reopen(session, recordset);
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("importsaved"));
        return false;
    }
    if (!QFileInfo(path).isFile()) return false;
    try {
        copyAllRows(session, path, suffix, recordset, true, QStringLiteral("importsaved"), true);
        recordset.requery();
        return true;
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("importsaved"));
        requeryQuietly(recordset);
        return false;
    }
}

bool importfile(Session& session, const QString& path, engine::Recordset& recordset) {
    if (!QFileInfo(path).isFile()) {
        session.prompts().ask(QStringLiteral("Kann die Datei ") + shown(path) +
                              QStringLiteral(" nicht finden."));
        return false;
    }
    int errors = 0;
    try {
        if (!recordset.isOpen()) reopen(session, recordset);
        engine::Recordset file;
        const QDate today = session.today();
        // One transaction for speed; a refused row is undone alone and the others stay. The
        // file streams in, so a fault in it leaves the table as it was.
        engine::Transaction transaction(session.env.Datenbank);
        const std::unique_ptr<RowAppender> appender = RowAppender::forTable(session, recordset);
        engine::streamRowsetXml(path, [&](const engine::RowsetData& batch) {
            file.openData(batch);
            for (file.moveFirst(); !file.eof(); file.moveNext()) {
                try {
                    if (appender) {
                        if (appender->append(
                                importedRow(file, recordset, today, AutoNumbers::Renumber)))
                            ++errors;
                        continue;
                    }
                    recordset.addNew();
                    setImportedRow(file, recordset, today, AutoNumbers::Renumber);
                    recordset.update();
                } catch (const engine::EngineError&) {
                    recordset.cancelUpdate();
                    ++errors;
                }
            }
        });
        if (appender) appender->announce();
        transaction.commit();
    } catch (const std::exception& e) {
        errors = 0; // the rows counted were rolled back with the others
        report(session, e, QStringLiteral("importfile"));
    }
    requeryQuietly(recordset);
    if (errors > 0)
        session.prompts().ask(QStringLiteral("Bei dem Import sind ") + QString::number(errors) +
                              QStringLiteral(" Fehler aufgetreten."));
    return true;
}

} // namespace data
