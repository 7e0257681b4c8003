#include "shell/FileCommands.h"

#include "data/TableFiles.h"
#include "engine/Recordset.h"
#include "engine/RowsetXml.h"
#include "platform/Formats.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

const QString XmlFilter = QStringLiteral("Alle Dateien (*.*)|*.*|XML Dateien (*.xml)|*.xml|");
const QString DatabaseFilter = QStringLiteral("Alle Dateien (*.*)|*.*|Datenbank (*.tnv)|*.tnv|");

platform::FileRequest xmlRequest(const data::Session& session, const QString& defaultName) {
    platform::FileRequest request;
    request.defaultName = defaultName;
    request.defaultExtension = QStringLiteral(".xml");
    request.startFolder = session.services.folders.documentsFolder;
    request.filter = XmlFilter;
    request.filterIndex = 2;
    return request;
}

// The table as it is now, written to the chosen file. The file is replaced only when the new
// one is complete, so a failed export leaves an existing file as it was.
void exportTable(data::Session& session, const QString& table, const QString& defaultName,
                 const QString& procedure) {
    const std::optional<QString> path =
        session.prompts().saveFile(xmlRequest(session, defaultName));
    if (!path)
        return;
    try {
        engine::Recordset recordset;
        recordset.openTable(session.env.Datenbank, table);
        platform::writeFileSafely(*path, engine::formatRowsetXml(recordset.toData()));
    } catch (const std::exception& e) {
        data::report(session, e, procedure);
    }
}

void importTable(data::Session& session, const QString& table,
                 const std::function<void()>& afterImport) {
    const std::optional<QString> path = session.prompts().openFile(xmlRequest(session, QString()));
    if (!path)
        return;
    if (data::importfile(session, *path, session.env.recordset(table)) && afterImport)
        afterImport();
}

bool sameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

void mnuEpStd_Click(data::Session& session) {
    exportTable(session, QStringLiteral("Standarddienste"), QStringLiteral("Standarddienste"),
                QStringLiteral("mnuEpStd_Click"));
}

void mnuexfreier_Click(data::Session& session) {
    exportTable(session, QStringLiteral("Feiertage"), QStringLiteral("Feiertage"),
                QStringLiteral("mnuexfreier_Click"));
}

void mnuImpStd_Click(data::Session& session, const std::function<void()>& afterImport) {
    importTable(session, QStringLiteral("Standarddienste"), afterImport);
}

void mnuimfreier_Click(data::Session& session, const std::function<void()>& afterImport) {
    importTable(session, QStringLiteral("Feiertage"), afterImport);
}

QString defaultCopyName(const QDate& today) {
    QString date = platform::shortDate(today);
    for (const QChar c : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        date.replace(c, QLatin1Char('-'));
    return QStringLiteral("Sicherung vom ") + date + QStringLiteral(".tnv");
}

void mnuSave_Click(data::Session& session) {
    platform::FileRequest request;
    request.defaultName = defaultCopyName(session.today());
    request.defaultExtension = QStringLiteral(".tnv");
    const QString documents = session.services.folders.documentsFolder;
    request.startFolder = documents.isEmpty() ? QString() : documents + QLatin1Char('/');
    request.filter = DatabaseFilter;
    request.filterIndex = 2;
    const std::optional<QString> path = session.prompts().saveFile(request);
    if (!path)
        return;
    if (sameFile(*path, session.env.Datenbank.path())) {
        session.prompts().ask(QStringLiteral("Die Datenbank kann nicht über sich selbst gesichert "
                                             "werden. Wählen Sie einen anderen Dateinamen."));
        return;
    }
    try {
        // SQLite's online backup: a consistent copy even while the database is open.
        session.env.Datenbank.backupTo(*path);
    } catch (const std::exception& e) {
        data::report(session, e, QStringLiteral("mnuSave_Click"));
    }
}

namespace {

// The entries in the menu's order: ... Druckvorschau, -, Importieren, Exportieren, Sichern, -,
// Eigenschaften, -, Beenden. Made only when the menu does not hold them yet.
void makeFileEntries(QMenu* datei) {
    QAction* before = nullptr;
    for (QAction* action : datei->actions()) {
        const QString name = action->objectName();
        if (name == QLatin1String("mnusep3") || name == QLatin1String("mnusettings") ||
            name == QLatin1String("mnusep4") || name == QLatin1String("mnuclose")) {
            before = action;
            break;
        }
    }
    const auto entry = [](QMenu* menu, const char* name, const char* caption, bool visible) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        action->setVisible(visible);
    };
    const auto submenu = [&](const char* name, const char* caption) {
        auto* menu = new QMenu(QString::fromUtf8(caption), datei);
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        datei->insertMenu(before, menu);
        return menu;
    };
    if (!datei->findChild<QMenu*>(QStringLiteral("mnuImport"))) {
        QMenu* mnuImport = submenu("mnuImport", "Importieren");
        entry(mnuImport, "mnuImpMa", "Mitarbeiter", false);
        entry(mnuImport, "mnuImpStd", "Standarddienste", true);
        entry(mnuImport, "mnuimfreier", "Feiertage", true);
    }
    if (!datei->findChild<QMenu*>(QStringLiteral("mnuExport"))) {
        QMenu* mnuExport = submenu("mnuExport", "Exportieren");
        entry(mnuExport, "mnuEpMa", "Mitarbeiter", false);
        // the roster as an HTML file comes with the HTML export, which shows and connects it
        entry(mnuExport, "mnutnv", "Turnova", false);
        entry(mnuExport, "mnuEpStd", "Standarddienste", true);
        entry(mnuExport, "mnuexfreier", "Feiertage", true);
    }
    if (!datei->findChild<QAction*>(QStringLiteral("mnuSave"))) {
        auto* mnuSave = new QAction(QStringLiteral("Sichern"), datei);
        mnuSave->setObjectName(QStringLiteral("mnuSave"));
        datei->insertAction(before, mnuSave);
    }
}

} // namespace

void addFileMenuEntries(QMenu* datei, data::Session& session,
                        std::function<void()> afterHolidayImport,
                        std::function<void()> afterStdImport) {
    makeFileEntries(datei);
    const auto on = [datei](const char* name, std::function<void()> handler) {
        QAction* action = datei->findChild<QAction*>(QLatin1String(name));
        QObject::connect(action, &QAction::triggered, datei, std::move(handler));
    };
    on("mnuImpStd", [&session, afterStdImport] { mnuImpStd_Click(session, afterStdImport); });
    on("mnuimfreier",
       [&session, afterHolidayImport] { mnuimfreier_Click(session, afterHolidayImport); });
    on("mnuEpStd", [&session] { mnuEpStd_Click(session); });
    on("mnuexfreier", [&session] { mnuexfreier_Click(session); });
    on("mnuSave", [&session] { mnuSave_Click(session); });
}
