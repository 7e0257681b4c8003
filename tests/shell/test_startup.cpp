// The main window's start-up and shutdown on temporary databases: creating a missing database,
// declining it, the settings row, the title, and what closing the window stores.

#include "data/Schema.h"
#include "engine/Connection.h"
#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "platform/Formats.h"
#include "platform/ScriptedPrompts.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/support/TestDesk.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using testing::TestDesk;

namespace {

struct Column {
    QString name, type;
    bool notNull;
    QString dflt;
};

QList<Column> tableInfo(engine::Connection& c, const QString& table) {
    engine::Recordset rs;
    rs.openSql(c, QStringLiteral("SELECT name, type, [notnull], dflt_value FROM pragma_table_info('") +
                      table + QStringLiteral("')"));
    QList<Column> cols;
    for (; !rs.eof(); rs.moveNext())
        cols << Column{rs.value(0).toString(), rs.value(1).toString().toLower(),
                       rs.value(2).toInt() != 0, rs.value(3).toString()};
    return cols;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }

    void missingDatabaseAnsweredNoCreatesNothing() {
        TestDesk desk;
        desk.prompts.queueAnswer(platform::Answer::No);
        frmTurnova w(desk.services);
        QVERIFY(!w.Turnova_Load(desk.db()));
        QVERIFY(!QFileInfo::exists(desk.db()));
        QCOMPARE(desk.prompts.shown.size(), 1);
        const platform::Message m = desk.prompts.shown.first();
        QCOMPARE(m.text, QStringLiteral("Datenbank : \n") + QDir::toNativeSeparators(desk.db()) +
                             QStringLiteral("\n nicht gefunden. Soll die Datenbank neu erstellt werden?"));
        QCOMPARE(m.buttons, platform::Buttons::YesNo);
        QCOMPARE(m.icon, platform::Icon::None);
    }

    void missingDatabaseAnsweredYesHasTheNineTables() {
        TestDesk desk;
        desk.prompts.queueAnswer(platform::Answer::Yes);
        {
            frmTurnova w(desk.services);
            QVERIFY(w.Turnova_Load(desk.db()));
            QCOMPARE(w.windowTitle(), QStringLiteral("Turnova | "));
            QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtdatum"))->text(),
                     QStringLiteral("Dezember.26"));
            QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("GprSel"))->currentText(),
                     QStringLiteral("Alle Ma."));
            for (const char* name : {"Grid", "GprSel", "Toolbar", "datumDown", "txtdatum",
                                     "datumUp", "StatusBar1", "ProgressBar", "Timer1"})
                QVERIFY2(w.findChild<QObject*>(QLatin1String(name)), name);
            QCOMPARE(w.findChild<QWidget*>(QStringLiteral("StatusBar1"))->findChildren<QLabel*>().size(), 9);
            auto* timer = w.findChild<QTimer*>(QStringLiteral("Timer1"));
            QVERIFY(timer->isSingleShot() && timer->interval() == 2000 && !timer->isActive());
            w.close();
        }
        engine::Connection c;
        c.open(desk.db());
        QStringList names = c.tableNames();
        for (const data::TableDef& t : data::tables())
            QVERIFY2(names.contains(t.name), qPrintable(t.name));
        // the columns of the duty table, in order, with type, nullability and default
        const QList<Column> duty = tableInfo(c, QStringLiteral("Dienstzeiten"));
        QStringList got;
        for (const Column& col : duty)
            got << QStringLiteral("%1 %2 %3 %4").arg(col.name, col.type).arg(col.notNull).arg(col.dflt);
        QCOMPARE(got, (QStringList{
                          QStringLiteral("DienstNR integer 1 "),
                          QStringLiteral("Tag smalldatetime 1 "),
                          QStringLiteral("Anfang smalldatetime 0 "),
                          QStringLiteral("Ende smalldatetime 0 "),
                          QStringLiteral("Bemerkung varchar(50) 0 "),
                          QStringLiteral("MaNr int 1 "),
                          QStringLiteral("Normstunden float 1 0"),
                          QStringLiteral("Pause float 1 0"),
                          QStringLiteral("Kurzinfo varchar(15) 0 "),
                          QStringLiteral("Normdienst bit 1 0"),
                          QStringLiteral("Farbe int 0 16777215"),
                          QStringLiteral("S1 float 1 0"),
                          QStringLiteral("S2 float 1 0"),
                          QStringLiteral("Dienstcode varchar(15) 0 "),
                      }));
        const QList<Column> staff = tableInfo(c, QStringLiteral("Mitarbeiter"));
        QCOMPARE(staff.size(), 37);
        QCOMPARE(staff.at(7).name, QStringLiteral("ersterArbeitstag"));
        QCOMPARE(staff.at(7).dflt, QStringLiteral("37257"));
        engine::Recordset groups;
        groups.openTable(c, QStringLiteral("Gruppen"));
        QCOMPARE(groups.recordCount(), 1L);
        QCOMPARE(groups.value(QStringLiteral("Gruppenname")).toString(), QStringLiteral("Alle Ma."));
        engine::Recordset settings;
        settings.openTable(c, QStringLiteral("Einstellungen"));
        QCOMPARE(settings.recordCount(), 1L);
        QCOMPARE(*engine::dayNumber(settings.value(QStringLiteral("Firststart"))), 37528.0);
        QCOMPARE(settings.value(QStringLiteral("WoEndeColor")).toInt(), 13761911);
        QCOMPARE(settings.value(QStringLiteral("PrinterOrientation")).toInt(), 2);
        QVERIFY(!settings.value(QStringLiteral("PrintFontName")).toString().isEmpty());
        QCOMPARE(settings.value(QStringLiteral("StdGruppe")).toString(), QStringLiteral("Alle Ma."));
    }

    void closingStoresFontAndGroupAndTheNextStartAppliesThem() {
        TestDesk desk;
        desk.prompts.queueAnswer(platform::Answer::Yes);
        {
            frmTurnova w(desk.services);
            QVERIFY(w.Turnova_Load(desk.db()));
            QFont f = w.grid()->font();
            f.setPointSizeF(13.5);
            f.setBold(true);
            w.grid()->setFont(f);
            w.close();
        }
        {
            engine::Connection c;
            c.open(desk.db());
            engine::Recordset s;
            s.openTable(c, QStringLiteral("Einstellungen"));
            QCOMPARE(s.value(QStringLiteral("FormFontSize")).toDouble(), 13.5);
            QCOMPARE(s.value(QStringLiteral("FormFontBold")).toBool(), true);
            QCOMPARE(s.value(QStringLiteral("StdGruppe")).toString(), QStringLiteral("Alle Ma."));
            s.setValue(QStringLiteral("OrgName"), QStringLiteral("Haus am See"));
            s.update();
        }
        desk.prompts.clear();
        frmTurnova again(desk.services);
        QVERIFY(again.Turnova_Load(desk.db()));
        QCOMPARE(again.windowTitle(), QStringLiteral("Turnova | Haus am See"));
        QCOMPARE(again.grid()->font().pointSizeF(), 13.5);
        QVERIFY(again.grid()->font().bold());
        QCOMPARE(again.font().pointSizeF(), 13.5);
        again.close();
    }

    void errorReporterShowsTheFourLines() {
        TestDesk desk;
        frmTurnova w(desk.services);
        w.reportError(engine::EngineError(3021, QStringLiteral("Kein aktueller Datensatz.")),
                      QStringLiteral("Turnova_Load"));
        const platform::Message m = desk.prompts.lastMessage();
        QCOMPARE(m.title, QStringLiteral("Turnova"));
        QCOMPARE(m.buttons, platform::Buttons::Ok);
        QCOMPARE(m.text, QStringLiteral("Es ist ein Fehler im Programm aufgetreten\nKein aktueller "
                                        "Datensatz.\nNummer : 3021\nModul : Turnova_Load"));
    }

    void theRealProgramStartsAndCloses() {
        const QString binary = qEnvironmentVariable("TURNOVA_BINARY");
        if (binary.isEmpty())
            QSKIP("TURNOVA_BINARY not set");
        QTemporaryDir dir;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TURNOVA_SMOKE_MS"), QStringLiteral("500"));
        env.insert(QStringLiteral("TURNOVA_APPDATA"), dir.filePath(QStringLiteral("appdata")));
        p.setProcessEnvironment(env);
        const QString db = dir.filePath(QStringLiteral("smoke.tnv"));
        p.start(binary, {db});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("nicht gefunden. Soll die Datenbank neu erstellt werden?")),
                 qPrintable(err));
        QVERIFY2(!err.contains(QStringLiteral("Es ist ein Fehler")), qPrintable(err));
        engine::Connection c;
        c.open(db);
        // the nine tables, the two of the working-time check and the four of the staffing check
        QCOMPARE(c.tableNames().size(), 15);
        QVERIFY(c.tableExists(QStringLiteral("Arbeitszeitregeln")));
        QVERIFY(c.tableExists(QStringLiteral("Dienstarten")));
        // a second start on the existing file makes the daily backup and the compaction copy
        p.start(binary, {db});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QFileInfo::exists(db + QStringLiteral(".sav")));
        QVERIFY(!QDir(dir.path()).entryList({QStringLiteral("smokebackup*.tnv.sav")}).isEmpty());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
