// The import, export and "Sichern" entries of the Datei menu: their place in the menu, the file
// dialogs they ask for, and what they write and read.

#include "data/TableFiles.h"
#include "engine/Connection.h"
#include "engine/RowsetXml.h"
#include "platform/Formats.h"
#include "shell/FileCommands.h"
#include "tests/support/TestSession.h"

#include <QMenu>
#include <QtTest>

using testing::TestSession;

namespace {

QAction* find(QMenu& menu, const char* name) {
    return menu.findChild<QAction*>(QLatin1String(name));
}

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { platform::resetLocale(); }

    void entriesInTheirPlace() {
        TestSession t;
        QMenu datei;
        datei.addAction(QStringLiteral("Druckvorschau"))->setObjectName(QStringLiteral("mnuprint"));
        datei.addSeparator()->setObjectName(QStringLiteral("mnusep2"));
        datei.addAction(QStringLiteral("Beenden"))->setObjectName(QStringLiteral("mnuclose"));
        addFileMenuEntries(&datei, t.session, {}, {});
        addFileMenuEntries(&datei, t.session, {}, {}); // entries that exist are not made again
        QStringList order;
        for (QAction* a : datei.actions())
            order << (a->menu() ? a->menu()->objectName() : a->objectName());
        QCOMPARE(order, QStringList({"mnuprint", "mnusep2", "mnuImport", "mnuExport", "mnuSave",
                                     "mnuclose"}));
        const auto captions = [](QMenu* menu) {
            QStringList shown;
            for (QAction* a : menu->actions())
                if (a->isVisible())
                    shown << a->text();
            return shown;
        };
        QMenu* import = datei.findChild<QMenu*>(QStringLiteral("mnuImport"));
        QMenu* exportMenu = datei.findChild<QMenu*>(QStringLiteral("mnuExport"));
        QCOMPARE(import->title(), QStringLiteral("Importieren"));
        QCOMPARE(captions(import), QStringList({"Standarddienste", "Feiertage"}));
        QCOMPARE(captions(exportMenu), QStringList({"Standarddienste", "Feiertage"}));
        QVERIFY(!find(datei, "mnuImpMa")->isVisible() && !find(datei, "mnuEpMa")->isVisible());
        QCOMPARE(find(datei, "mnuSave")->text(), QStringLiteral("Sichern"));
    }

    void exportThenImportStandardDuties() {
        TestSession t(QDate(2026, 12, 6), true);
        t.createDatabase();
        QString std = t.programFolder() + QStringLiteral("/std.StdDienste.xml");
        QVERIFY(data::importinempty(t.session, std, QStringLiteral(".StdDienste.xml"),
                                    t.env().rsStandarddienste));
        QMenu datei;
        int redrawn = 0;
        addFileMenuEntries(&datei, t.session, {}, [&redrawn] { ++redrawn; });

        const QString file =
            t.session.services.folders.documentsFolder + QStringLiteral("/Standarddienste.xml");
        QFile stale(file);
        QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("alt") == 3);
        stale.close();
        t.prompts.queueFile(file);
        find(datei, "mnuEpStd")->trigger();
        const platform::FileRequest asked = t.prompts.saveRequests.last();
        QCOMPARE(asked.defaultName, QStringLiteral("Standarddienste"));
        QCOMPARE(asked.defaultExtension, QStringLiteral(".xml"));
        QCOMPARE(asked.startFolder, t.session.services.folders.documentsFolder);
        QCOMPARE(asked.filter, QStringLiteral("Alle Dateien (*.*)|*.*|XML Dateien (*.xml)|*.xml|"));
        QCOMPARE(asked.filterIndex, 2);
        QCOMPARE(engine::readRowsetXml(file).rows.size(), 7); // the old file is replaced

        t.env().Datenbank.execute(
            QStringLiteral("DELETE FROM Standarddienste WHERE Taste IN ('N', 'U')"));
        t.prompts.queueFile(file);
        find(datei, "mnuImpStd")->trigger();
        QCOMPARE(t.prompts.openRequests.last().defaultName, QString());
        QCOMPARE(t.prompts.lastMessage().text,
                 QStringLiteral("Bei dem Import sind 5 Fehler aufgetreten."));
        QCOMPARE(t.env().rsStandarddienste.recordCount(), 7L);
        QCOMPARE(redrawn, 1);

        // cancelled dialogs do nothing
        const qsizetype shown = t.prompts.messages().size();
        find(datei, "mnuexfreier")->trigger();
        find(datei, "mnuimfreier")->trigger();
        QCOMPARE(t.prompts.messages().size(), shown);
        QVERIFY(!QFile::exists(t.session.services.folders.documentsFolder +
                               QStringLiteral("/Feiertage.xml")));
    }

    void sichernCopiesTheOpenDatabase() {
        TestSession t;
        t.createDatabase();
        t.env().rsGruppen.addNew();
        t.env().rsGruppen.setValue(QStringLiteral("Gruppenname"), QStringLiteral("Station 1"));
        t.env().rsGruppen.update();
        const QString copy =
            t.session.services.folders.documentsFolder + QStringLiteral("/Kopie.tnv");
        t.prompts.queueFile(copy);
        mnuSave_Click(t.session);
        const platform::FileRequest asked = t.prompts.saveRequests.last();
        QCOMPARE(asked.defaultName, QStringLiteral("Sicherung vom 06.12.26.tnv"));
        QCOMPARE(asked.defaultExtension, QStringLiteral(".tnv"));
        QCOMPARE(asked.startFolder,
                 t.session.services.folders.documentsFolder + QStringLiteral("/"));
        QCOMPARE(asked.filter, QStringLiteral("Alle Dateien (*.*)|*.*|Datenbank (*.tnv)|*.tnv|"));
        QCOMPARE(asked.filterIndex, 2);
        engine::Connection copied;
        copied.open(copy);
        engine::Recordset groups;
        groups.openTable(copied, QStringLiteral("Gruppen"));
        QCOMPARE(groups.value(QStringLiteral("Gruppenname")).toString(),
                 QStringLiteral("Station 1"));
        groups.close();
        copied.close();

        // not over the database itself
        t.prompts.queueFile(t.databasePath());
        mnuSave_Click(t.session);
        QVERIFY(
            t.prompts.lastMessage().text.startsWith(QStringLiteral("Die Datenbank kann nicht")));
        QCOMPARE(t.env().execute(QStringLiteral("Gruppen")).recordCount(), 1L);
    }

    void copyNameHoldsNoFolderSeparators() {
        platform::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(defaultCopyName(QDate(2026, 12, 6)), QStringLiteral("Sicherung vom 12-6-26.tnv"));
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_filecommands.moc"
