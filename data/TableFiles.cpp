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

void copyMatchingColumns(const engine::Recordset& source, engine::Recordset& target) {
    for (int i = 0; i < target.fieldCount(); ++i) {
        const QString& name = target.fieldInfo(i).name;
        const int from = source.fieldIndex(name);
        if (from >= 0)
            target.setValue(i, source.value(from));
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
