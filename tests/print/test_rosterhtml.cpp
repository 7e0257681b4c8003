// The roster as an HTML page: the exact bytes of the page for a fixed database (line ends, code
// page, escaping, colours, sums), a month without duties, replacing an existing page, a failed
// export that leaves the old page alone, and the export command's dialog.

#include "platform/Formats.h"
#include "print/HtmlFile.h"
#include "print/HtmlText.h"
#include "print/RosterHtml.h"
#include "roster/Konstanten.h"
#include "roster/MemoryGrid.h"
#include "shell/ExportCommands.h"
#include "tests/print/HtmlRows.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/WriteFaults.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

using testing::TestSession;

namespace {

// Progress that fails once on the 15th day, as a full disk would in the middle of the page.
class FailingProgress final : public data::ProgressSink {
public:
    void status(const QString&) override {}
    void setMaximum(int m) override { maximum = m; }
    void setValue(int v) override {
        if (v == 15 && !failed) {
            failed = true;
            throw std::runtime_error("Datenträger voll");
        }
        value_ = v;
    }
    int value() const override { return value_; }
    int maximum = 0;
    bool failed = false;

private:
    int value_ = -1;
};

} // namespace

class TestRosterHtml : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSession> t;
    testing::HtmlRows rows;
    roster::MonthState month;

    QString documents() const { return t->session.services.folders.documentsFolder; }
    void showMonth(const QDate& first) {
        month.firstDay = first;
        month.groupNumber = rows.group;
        roster::changedate(month);
        month.workDays = roster::workDays(t->env(), month.firstDay, month.lastDay);
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanupTestCase() { platform::resetLocale(); }
    void init() {
        t = std::make_unique<TestSession>(QDate(2024, 3, 15));
        t->createDatabase();
        rows = testing::htmlRows(t->env());
    }
    void cleanup() { t.reset(); }

    void textInTheOldCodePage() {
        QCOMPARE(print::htmlEscape(QStringLiteral("Müller & <Söhne> \"x\"")),
                 QStringLiteral("Müller &amp; &lt;Söhne&gt; &quot;x&quot;"));
        QCOMPARE(print::toWindows1252Html(QStringLiteral("für März")),
                 QByteArray("f\xFCr M\xE4rz"));
        QCOMPARE(print::toWindows1252Html(QStringLiteral("€ „a“ – ™ Ÿ")),
                 QByteArray("\x80 \x84"
                            "a\x93 \x96 \x99 \x9F"));
        // letters outside the code page as references, also beyond the basic plane
        QCOMPARE(print::toWindows1252Html(QStringLiteral("Łódź Ив 😀")),
                 QByteArray("&#321;\xF3"
                            "d&#378; &#1048;&#1074; &#128512;"));
        QCOMPARE(print::toWindows1252Html(QString(QChar(0x81))), QByteArray("&#129;"));
    }

    void marchPageByteForByte() {
        showMonth(QDate(2024, 3, 1));
        const QString path = documents() + QStringLiteral("/tnv-2024-03.html");
        QVERIFY(print::makehtmlplan(t->session, month, path));
        const QByteArray page = testing::readBytes(path);
        QVERIFY(testing::matchesGolden(page, QStringLiteral("print/roster-2024-03.html")));
        QVERIFY(page.contains("<title>M\xE4rz 2024</title>\r\n"));
        QVERIFY(page.contains("width=960>"));
        QVERIFY(!page.contains("<script>"));
        QVERIFY(!page.contains("\n\n") && page.count('\n') == page.count("\r\n"));
        QVERIFY(t->prompts.messages().isEmpty());
        QCOMPARE(t->session.progress->value(), 0);
    }

    void monthWithoutDuties() {
        showMonth(QDate(2024, 4, 1));
        const QString path = documents() + QStringLiteral("/april.html");
        QVERIFY(print::makehtmlplan(t->session, month, path));
        QVERIFY(testing::matchesGolden(testing::readBytes(path),
                                       QStringLiteral("print/roster-2024-04.html")));
    }

    void replacesOnlyWithACompletePage() {
        showMonth(QDate(2024, 3, 1));
        const QString path = documents() + QStringLiteral("/plan.html");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("alte Seite") == 10);
        old.close();
        QVERIFY(print::makehtmlplan(t->session, month, path));
        QVERIFY(print::makehtmlplan(t->session, month, path)); // twice to the same path
        QVERIFY(testing::matchesGolden(testing::readBytes(path),
                                       QStringLiteral("print/roster-2024-03.html")));

        // a failure half-way (on the 15th day) keeps the page of before
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("alte Seite") == 10);
        old.close();
        FailingProgress failing;
        t->session.progress = &failing;
        QVERIFY(!print::makehtmlplan(t->session, month, path));
        t->session.progress = &t->session.noProgress;
        QCOMPARE(failing.value(), 0);
        QCOMPARE(failing.maximum, 10);
        QCOMPARE(testing::readBytes(path), QByteArray("alte Seite"));
        QCOMPARE(QDir(documents()).entryList(QDir::Files), QStringList({"plan.html"}));
        QVERIFY(t->prompts.lastMessage().text.startsWith(
            QStringLiteral("Es ist ein Fehler im Programm aufgetreten")));
        QVERIFY(t->prompts.lastMessage().text.contains(QStringLiteral("Datenträger voll")));
        QVERIFY(t->prompts.lastMessage().text.endsWith(QStringLiteral("Modul : HTML Export")));
    }

    // A disk that fills at the last bytes or fails when the page is closed: the page of before
    // stays, and the report names the cause.
    void failedLastWriteOrCloseKeepsThePage() {
        showMonth(QDate(2024, 3, 1));
        const QString path = documents() + QStringLiteral("/plan.html");
        QVERIFY(print::makehtmlplan(t->session, month, path));
        const QByteArray before = testing::readBytes(path);
        for (const auto step : {testing::FailingStep::LastWrite, testing::FailingStep::Close}) {
            t->prompts.clear();
            const testing::FailingWrites failing(step);
            QVERIFY(!print::makehtmlplan(t->session, month, path));
            QCOMPARE(testing::readBytes(path), before);
            QCOMPARE(QDir(documents()).entryList(QDir::Files), QStringList({"plan.html"}));
            QCOMPARE(t->prompts.messages().size(), 1);
            QVERIFY(t->prompts.lastMessage().text.contains(
                QStringLiteral("konnte nicht geschrieben werden. Der Datenträger ist voll.")));
        }
    }

    void folderThatCannotTakeThePage() {
        showMonth(QDate(2024, 3, 1));
        QVERIFY(!print::makehtmlplan(t->session, month,
                                     documents() + QStringLiteral("/fehlt/plan.html")));
        QCOMPARE(t->prompts.messages().size(), 1);
        QVERIFY(t->prompts.lastMessage().text.contains(
            QStringLiteral("konnte nicht geschrieben werden")));
    }

    void groupWithoutMembersIsReported() {
        showMonth(QDate(2024, 3, 1));
        month.groupNumber = testing::group(t->env(), QStringLiteral("Leer"));
        const QString path = documents() + QStringLiteral("/leer.html");
        QVERIFY(!print::makehtmlplan(t->session, month, path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(t->prompts.lastMessage().text.endsWith(QStringLiteral("Modul : HTML Export")));
    }

    void exportCommandAsksForTheFile() {
        showMonth(QDate(2024, 3, 1));
        t->prompts.queueFile(std::nullopt); // cancelled: no file, no message
        mnutnv_Click(t->session, month);
        const platform::FileRequest asked = t->prompts.saveRequests.last();
        QCOMPARE(asked.defaultName, QStringLiteral("tnv-2024-03.html"));
        QCOMPARE(asked.defaultExtension, QStringLiteral(".html"));
        QCOMPARE(asked.startFolder, documents() + QStringLiteral("/"));
        QCOMPARE(asked.filter,
                 QStringLiteral("Alle Dateien (*.*)|*.*|HTML Dateien (*.html)|*.html|"));
        QCOMPARE(asked.filterIndex, 2);
        QVERIFY(QDir(documents()).entryList(QDir::Files).isEmpty());
        QVERIFY(t->prompts.messages().isEmpty());

        const QString path = documents() + QStringLiteral("/Intranet.html");
        t->prompts.queueFile(path);
        mnutnv_Click(t->session, month);
        QVERIFY(testing::matchesGolden(testing::readBytes(path),
                                       QStringLiteral("print/roster-2024-03.html")));
    }

    void gridAsTable() {
        roster::MemoryGrid grid;
        grid.setRows(2);
        grid.setCols(3);
        grid.setText(0, 1, QStringLiteral("Anfang"));
        grid.setText(1, 0, QStringLiteral("01.Fr"));
        grid.setBackground(1, 0, roster::DefaultWeekendColor); // the label column stays grey
        grid.setText(1, 1, QStringLiteral("A & B"));
        grid.setBackground(1, 2, roster::DefaultWeekendColor);
        const QString path = documents() + QStringLiteral("/grid.html");
        {
            print::HtmlFile file(path);
            print::gridToHtml(file, grid);
            file.commit();
        }
        QCOMPARE(testing::readBytes(path),
                 QByteArray("<table border=1 bgcolor=#999999 width=1212>\r\n"
                            "<tr>\r\n"
                            "<td align=center width=120 bgcolor=#DCDCDC></td>\r\n"
                            "<td align=center width=120 bgcolor=#DCDCDC>Anfang</td>\r\n"
                            "<td align=center width=120 bgcolor=#DCDCDC></td>\r\n"
                            "</tr>\r\n"
                            "<tr>\r\n"
                            "<td align=center width=120 bgcolor=#DCDCDC>01.Fr</td>\r\n"
                            "<td align=center width=120 bgcolor=#FFFFFF>A &amp; B</td>\r\n"
                            "<td align=center width=120 bgcolor=#77FDD1></td>\r\n"
                            "</tr>\r\n"));
    }
};

QTEST_MAIN(TestRosterHtml)
#include "test_rosterhtml.moc"
