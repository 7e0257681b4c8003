#include "data/TableFiles.h"

#include "data/Schema.h"
#include "engine/DateValue.h"
#include "engine/SqlDialect.h"

#include <QFileInfo>

namespace data {

QString standardFile(const Session& session, const QString& suffix) {
    return session.services.folders.programFolder + QStringLiteral("/std") + suffix;
}

void ensureIndexes(engine::Connection& connection, const QString& table) {
    const QString on = QStringLiteral(" ON ") + table + QStringLiteral(" ");
    for (const QString& statement : schema::ExtraIndexes) {
        if (statement.contains(on, Qt::CaseInsensitive))
            connection.executeNative(statement);
    }
}

void setUnlessNullOnRequired(engine::Recordset& target, int index, const QVariant& value) {
    const engine::FieldInfo& f = target.fieldInfo(index);
    if (value.isNull() && f.notNull && f.defaultValue.isValid())
        return; // the column keeps its default rather than refusing the whole row
    target.setValue(index, value);
}

void copyMatchingColumns(const engine::Recordset& source, engine::Recordset& target) {
    for (int i = 0; i < target.fieldCount(); ++i) {
        const int from = source.fieldIndex(target.fieldInfo(i).name);
        if (from >= 0)
            setUnlessNullOnRequired(target, i, source.value(from));
    }
}

void openTable(Session& session, engine::Recordset& recordset, const QString& suffix,
               const QString& createStatement) {
    DataUmgebung& env = session.env;
    const QString table = engine::createTableName(createStatement);
    try {
        try {
            env.execute(recordset.objectName().mid(2));
        } catch (const engine::EngineError& e) {
            if (e.number() != engine::err::TableNotFound)
                throw;
            env.Datenbank.execute(createStatement);
            env.execute(recordset.objectName().mid(2));
        }
        ensureIndexes(env.Datenbank, table);
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("openTable"));
        return;
    }
    if (recordset.recordCount() == 0 && suffix != QLatin1String(".Dienste.xml") &&
        suffix != QLatin1String(".Statistik.xml")) {
        QString path;
        importinempty(session, path, suffix, recordset);
    }
}

bool importinempty(Session& session, QString& path, const QString& suffix,
                   engine::Recordset& recordset) {
    if (path.isEmpty()) {
        path = standardFile(session, suffix);
        session.prompts().ask(QStringLiteral("Die Tabelle ist leer\n") + path +
                              QStringLiteral("\nEs werden die Standardwerte eingetragen"));
    }
    if (!QFileInfo::exists(path))
        return false;
    try {
        engine::Recordset file;
        file.openFile(path);
        recordset.setBatchMode(true);
        try {
            for (file.moveFirst(); !file.eof(); file.moveNext()) {
                recordset.addNew();
                copyMatchingColumns(file, recordset);
                if (suffix == QLatin1String(".Einstellungen.xml"))
                    recordset.setValue(QStringLiteral("Firststart"),
                                       engine::dateVariant(formatMarker()));
                recordset.update();
            }
            recordset.updateBatch(); // one transaction: all rows or none
        } catch (...) {
            recordset.cancelBatch();
            recordset.setBatchMode(false);
            throw;
        }
        recordset.setBatchMode(false);
        recordset.requery();
        return true;
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("importinempty"));
        recordset.requery();
        return false;
    }
}

} // namespace data

namespace data {

namespace {

bool ignoredByImportsaved(const std::exception& e) {
    const long n = errorNumber(e);
    return n == engine::err::ItemNotFound || n == engine::err::CommandError;
}

// The value importsaved writes into a column of the table, by the rules for files of earlier
// formats. Returns false when the file has no value to give (the column keeps its default).
bool importsavedValue(const engine::Recordset& file, const QString& column, const QDate& today,
                      QVariant* value) {
    const auto fileValue = [&file](const QString& name, QVariant* out) {
        const int i = file.fieldIndex(name);
        if (i < 0)
            return false;
        *out = file.value(i);
        return true;
    };
    QVariant v;
    const bool has = fileValue(column, &v);
    if (column == QLatin1String("ersterArbeitstag")) {
        if (has && !v.isNull()) {
            *value = v;
        } else {
            *value = engine::dateVariant(today.addDays(-today.addDays(-1).day()));
        }
        return true;
    }
    if (column == QLatin1String("PlanName")) {
        if (has && !v.isNull()) {
            *value = v;
            return true;
        }
        return fileValue(QStringLiteral("Vorname"), value);
    }
    if (column == QLatin1String("Pauschalstunden")) {
        if (has && !v.isNull()) {
            *value = v;
            return true;
        }
        return fileValue(QStringLiteral("NBStunden"), value);
    }
    if (column == QLatin1String("Sollstd")) {
        *value = (has && !v.isNull()) ? v : QVariant(0.0);
        return true;
    }
    if (column == QLatin1String("Normstunden")) {
        if (has && !v.isNull() && v.toDouble() != 0) {
            *value = v;
            return true;
        }
        QVariant nb;
        if (fileValue(QStringLiteral("NBStunden"), &nb)) {
            *value = nb;
            return true;
        }
        if (has) {
            *value = v;
            return true;
        }
        return false;
    }
    if (!has)
        return false;
    *value = v;
    return true;
}

} // namespace

QString findBackupFile(const Session& session, const QString& suffix) {
    const QString base = session.location.baseName();
    const QString beside = session.location.folder + QLatin1Char('/') + base + suffix;
    if (QFileInfo::exists(beside))
        return beside;
    QString root = session.location.drive;
    if (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    const QString inRoot = root + QLatin1Char('/') + base + suffix;
    if (QFileInfo::exists(inRoot))
        return inRoot;
    return QString();
}

bool importsaved(Session& session, const QString& createStatement, const QString& suffix,
                 engine::Recordset& recordset, bool askFlag) {
    DataUmgebung& env = session.env;
    const QString command = recordset.objectName().mid(2);
    session.progress->processEvents();
    try {
        env.Datenbank.execute(createStatement);
    } catch (const std::exception& e) {
        if (!ignoredByImportsaved(e))
            report(session, e, QStringLiteral("importsaved"));
    }
    try {
        ensureIndexes(env.Datenbank, engine::createTableName(createStatement));
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("importsaved"));
    }
    QString path = findBackupFile(session, suffix);
    if (!path.isEmpty() && askFlag) {
        const platform::Answer a = session.prompts().ask(
            QStringLiteral("Beim wiederherstellen der Datenbank wurde eine Sicherungsdatei "
                           "gefunden. \n") +
                path +
                QStringLiteral("\nSoll diese Datei verwendet werden oder sollen die "
                               "Standardwerte übernommen werden?\nDrücken Sie auf 'JA' um die "
                               "Daten zu übernehmen, oder 'NEIN' um die Standarddaten zu "
                               "verwenden"),
            platform::Buttons::YesNo);
        if (a == platform::Answer::No)
            path.clear();
    }
    if (path.isEmpty())
        path = standardFile(session, suffix);
    try {
        env.execute(command);
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("importsaved"));
        return false;
    }
    if (!QFileInfo::exists(path))
        return false;
    try {
        engine::Recordset file;
        file.openFile(path);
        session.progress->setValue(0);
        const QDate today = session.today();
        recordset.setBatchMode(true);
        try {
            for (file.moveFirst(); !file.eof(); file.moveNext()) {
                recordset.addNew();
                int p = session.progress->value() + 1;
                session.progress->setValue(p >= 100 ? 0 : p);
                for (int i = 0; i < recordset.fieldCount(); ++i) {
                    QVariant v;
                    if (importsavedValue(file, recordset.fieldInfo(i).name, today, &v))
                        setUnlessNullOnRequired(recordset, i, v);
                }
                if (suffix == QLatin1String(".Einstellungen.xml"))
                    recordset.setValue(QStringLiteral("Firststart"),
                                       engine::dateVariant(formatMarker()));
                recordset.update();
            }
            recordset.updateBatch(); // one transaction: the whole file or nothing
        } catch (...) {
            recordset.cancelBatch();
            recordset.setBatchMode(false);
            throw;
        }
        recordset.setBatchMode(false);
        recordset.requery();
        return true;
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("importsaved"));
        recordset.requery();
        return false;
    }
}

bool importfile(Session& session, const QString& path, engine::Recordset& recordset) {
    if (!QFileInfo::exists(path)) {
        session.prompts().ask(QStringLiteral("Kann die Datei ") + path +
                              QStringLiteral(" nicht finden."));
        return false;
    }
    int errors = 0;
    try {
        engine::Recordset file;
        file.openFile(path);
        for (file.moveFirst(); !file.eof(); file.moveNext()) {
            try {
                recordset.addNew();
                copyMatchingColumns(file, recordset);
                recordset.update();
            } catch (const std::exception&) {
                recordset.cancelUpdate();
                ++errors;
            }
        }
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("importfile"));
    }
    recordset.requery();
    if (errors > 0)
        session.prompts().ask(QStringLiteral("Bei dem Import sind ") + QString::number(errors) +
                              QStringLiteral(" Fehler aufgetreten."));
    return true;
}

} // namespace data
