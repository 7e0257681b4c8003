// The print preview window driven through its controls: paging, orientation, the font dialog,
// the printer chooser, the settings it keeps, and printing into a PDF file.

#include "platform/Formats.h"
#include "platform/Printers.h"
#include "print/PrintPrev.h"
#include "print/QPainterSurface.h"
#include "tests/print/PrintRows.h"
#include "tests/support/DialogFixture.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/WriteFaults.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QToolButton>
#include <QtTest>

class TestPrintPrev : public QObject, testing::DialogFixture<PrintPrev> {
    Q_OBJECT

    roster::MonthState month;

    void open(int group, const QDate& first) {
        month = testing::monthOf(env(), first, group);
        w = std::make_unique<PrintPrev>(t->session, month);
        w->show();
    }
    void press(const char* key) { QTest::mouseClick(child<QToolButton>(key), Qt::LeftButton); }
    QString pageBox() { return edit("seitenauswahl")->text(); }
    QVariant setting(const char* column) {
        env().rsEinstellungen.requery();
        return env().rsEinstellungen.value(QLatin1String(column));
    }
    void setSetting(const char* column, const QVariant& value) {
        testing::exec(
            env(), QStringLiteral("UPDATE Einstellungen SET %1 = [p0]").arg(QLatin1String(column)),
            {value});
    }
    // The members that fit across a portrait sheet in the preview's print font.
    int columnsPerPortraitPage() {
        QImage probe(10, 10, QImage::Format_RGB32);
        const std::unique_ptr<QPrinter> printer = platform::measuringPrinter();
        print::QPainterSurface surface(probe, testing::A4Short);
        surface.measureOn(*printer);
        surface.setFont(w->printFont());
        const print::PageGeometry g = print::RosterPage(t->session, month).measure(surface);
        int n = 0;
        for (int x = g.labelWidth; x <= testing::A4Short - g.labelWidth - g.colWidth;
             x += g.colWidth)
            ++n;
        return n;
    }
    QString pdfText(const QString& path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), path, QStringLiteral("-")});
        if (!p.waitForFinished(30000)) return QString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void init() {
        startSession(QDate(2025, 1, 15));
        platform::setCurrentPrinter(platform::PdfPrinterName);
    }
    void cleanup() { endSession(); }

    void opensOnTheStoredSettings() {
        const int g = testing::wardRoster(env());
        setSetting("PrinterOrientation", 0);
        setSetting("PrintFontName", QStringLiteral("Liberation Serif"));
        setSetting("PrintFontSize", 11);
        setSetting("PrintFontBold", true);
        setSetting("Printer", QStringLiteral("Gibt es nicht"));
        open(g, QDate(2025, 1, 1));
        QCOMPARE(w->windowTitle(), QStringLiteral("Druckvorschau"));
        QCOMPARE(setting("PrinterOrientation").toInt(), 2); // rewritten at once
        QVERIFY(child<QToolButton>("Quer")->isChecked());
        QVERIFY(!child<QToolButton>("hoch")->isChecked());
        QCOMPARE(child<QToolButton>("Drucken")->toolTip(), QStringLiteral("Drucken"));
        QCOMPARE(child<QToolButton>("Schrift")->toolTip(), QStringLiteral("Schriftart"));
        QCOMPARE(child<QToolButton>("hoch")->toolTip(), QStringLiteral("Hochformat"));
        QCOMPARE(child<QToolButton>("Quer")->toolTip(), QStringLiteral("Querformat"));
        auto* combo = child<QComboBox>("Combo1");
        QCOMPARE(combo->toolTip(), QStringLiteral("Wählen sie den Drucker für die Ausgabe."));
        // a printer that is gone leaves the current one
        QCOMPARE(combo->currentText(), platform::PdfPrinterName);
        QCOMPARE(platform::currentPrinter(), platform::PdfPrinterName);
        QCOMPARE(w->printFont().family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(w->printFont().pointSizeF(), 11.0);
        QVERIFY(w->printFont().bold());
        QCOMPARE(pageBox(), QStringLiteral("1"));
        // the picture is the landscape sheet at the screen's resolution
        const QImage& pic = w->picture();
        QVERIFY(qAbs(pic.width() - testing::A4Long * w->logicalDpiX() / 1440.0) <= 1);
        QVERIFY(qAbs(pic.height() - testing::A4Short * w->logicalDpiY() / 1440.0) <= 1);
        QCOMPARE(child<QLabel>("prevpic")->size(), pic.size());
        QCOMPARE(pic.pixelColor(2, 2), QColor(Qt::white));
        // one page: both page buttons off
        QCOMPARE(w->pageCount(), 1);
        QVERIFY(!child<QToolButton>("seiteUp")->isEnabled());
        QVERIFY(!child<QToolButton>("seiteDown")->isEnabled());
    }

    void pagesAndOrientation() {
        const int g = testing::wideGroup(env(), 1, QDate(2025, 3, 1));
        setSetting("PrinterOrientation", 1);
        open(g, QDate(2025, 3, 1));
        const int perPage = columnsPerPortraitPage();
        w.reset();
        // the group grows to three portrait pages
        for (int i = 2; i <= 2 * perPage + 1; ++i) {
            const int ma =
                testing::employee(env(), QStringLiteral("M%1").arg(i, 2, 10, QLatin1Char('0')), i);
            testing::member(env(), g, ma, i);
        }
        env().rsMitarbeiter.requery();
        env().MaNachGrp(g);
        open(g, QDate(2025, 3, 1));
        QCOMPARE(w->pageCount(), 3);
        QVERIFY(child<QToolButton>("seiteUp")->isEnabled());
        QVERIFY(w->picture().width() < w->picture().height());
        const QImage first = w->picture();
        press("seiteUp");
        press("seiteUp");
        QCOMPARE(pageBox(), QStringLiteral("3"));
        QVERIFY(w->picture() != first);
        press("seiteUp");
        QCOMPARE(pageBox(), QStringLiteral("3"));
        press("seiteDown");
        press("seiteDown");
        press("seiteDown");
        QCOMPARE(pageBox(), QStringLiteral("1"));
        QCOMPARE(w->picture(), first);
        // text that is no number shows the first page
        edit("seitenauswahl")->setText(QStringLiteral("x"));
        press("seiteUp");
        QCOMPARE(pageBox(), QStringLiteral("2"));

        press("Quer");
        QCOMPARE(pageBox(), QStringLiteral("1"));
        QVERIFY(child<QToolButton>("Quer")->isChecked());
        QVERIFY(!child<QToolButton>("hoch")->isChecked());
        QVERIFY(w->picture().width() > w->picture().height());
        QVERIFY(w->pageCount() < 3);
        press("seiteUp");
        press("hoch");
        QCOMPARE(pageBox(), QStringLiteral("1"));
        QCOMPARE(w->pageCount(), 3);
        QVERIFY(w->picture().width() < w->picture().height());
        // the scroll bars reach the far edges of the longest side
        auto* v = child<QScrollBar>("VScroll1");
        v->setValue(v->maximum());
        auto* pic = child<QLabel>("prevpic");
        QCOMPARE(pic->geometry().bottom() + 1, pic->parentWidget()->height());
        auto* h = child<QScrollBar>("HScroll1");
        h->setValue(h->maximum());
        QVERIFY(pic->x() < 0);
    }

    void fontDialog() {
        const int g = testing::wardRoster(env());
        open(g, QDate(2025, 1, 1));
        const QFont before = w->printFont();
        const QImage picture = w->picture();
        prompts().queueFont(std::nullopt);
        press("Schrift");
        QCOMPARE(prompts().fontRequests.size(), 1);
        QCOMPARE(prompts().fontRequests.first(), before);
        QCOMPARE(w->printFont(), before);
        QCOMPARE(w->picture(), picture);
        QVERIFY(prompts().shown.isEmpty());

        QFont chosen(QStringLiteral("Liberation Serif"), 12);
        chosen.setItalic(true);
        prompts().queueFont(chosen);
        press("Schrift");
        QCOMPARE(w->printFont().family(), QStringLiteral("Liberation Serif"));
        QVERIFY(w->printFont().italic());
        QVERIFY(w->picture() != picture);
    }

    void closingStoresTheSettings() {
        const int g = testing::wardRoster(env());
        open(g, QDate(2025, 1, 1));
        QFont chosen(QStringLiteral("Liberation Mono"), 9);
        chosen.setBold(true);
        prompts().queueFont(chosen);
        press("Schrift");
        press("hoch");
        QVERIFY(w->close());
        QCOMPARE(setting("PrinterOrientation").toInt(), 1);
        QCOMPARE(setting("Printer").toString(), platform::PdfPrinterName);
        QCOMPARE(setting("PrintFontName").toString(), QStringLiteral("Liberation Mono"));
        QCOMPARE(setting("PrintFontSize").toDouble(), 9.0);
        QVERIFY(setting("PrintFontBold").toBool());
        QVERIFY(!setting("PrintFontitalic").toBool());
        QVERIFY(prompts().shown.isEmpty());
    }

    void printingIntoAPdfFile() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const int g = testing::wardRoster(env());
        open(g, QDate(2025, 1, 1));
        const QString path = t->folder() + QStringLiteral("/Dienstplan Jänner.pdf");
        prompts().queueFile(path);
        press("Drucken");
        QVERIFY(prompts().shown.isEmpty());
        QCOMPARE(prompts().saveRequests.size(), 1);
        QCOMPARE(prompts().saveRequests.first().defaultName, QStringLiteral("tnv-2025-01.pdf"));
        QCOMPARE(prompts().saveRequests.first().startFolder,
                 t->session.services.folders.documentsFolder);
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".part")));
        const QString text = pdfText(path);
        for (const char* expected :
             {"Januar 2025", "Klinik Süd Station 3 & <Nord>", "Karbeno", "Anna", "Bernd", "Emil",
              "Carla", "06:00 - 14:00 ", "22:00 - 06:00 Na", "Urlaub", "20:00 - 08:00", "Sollstd.",
              "+Vormon.", "31.Fr"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(!text.contains(QStringLiteral("Dora")));

        // cancelling the file dialog prints nothing
        QVERIFY(QFile::remove(path));
        prompts().queueFile(std::nullopt);
        press("Drucken");
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(prompts().shown.isEmpty());
    }

    void everyPageGoesIntoThePdf() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const int g = testing::wideGroup(env(), 30, QDate(2025, 3, 1));
        open(g, QDate(2025, 3, 1));
        QVERIFY(w->pageCount() > 1);
        const QString path = t->folder() + QStringLiteral("/wide.pdf");
        prompts().queueFile(path);
        press("Drucken");
        const QString text = pdfText(path);
        QCOMPARE(text.count(QLatin1Char('\f')), w->pageCount());
        QCOMPARE(text.count(QStringLiteral("März 2025")), w->pageCount());
        for (int i = 1; i <= 30; ++i)
            QVERIFY(text.contains(QStringLiteral("M%1").arg(i, 2, 10, QLatin1Char('0'))));
    }

    // The preview lays out the pages in the printer's metrics: the same members on the same
    // pages as the PDF, in both orientations.
    void previewIsThePrintout() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const int g = testing::wideGroup(env(), 74, QDate(2027, 2, 1));
        for (const char* orientation : {"Quer", "hoch"}) {
            open(g, QDate(2027, 2, 1));
            press(orientation);
            const std::vector<int> preview = w->pageStarts();
            const int pages = w->pageCount();
            QCOMPARE(int(preview.size()), pages);
            const QString path = t->folder() + QStringLiteral("/%1.pdf").arg(orientation);
            prompts().queueFile(path);
            press("Drucken");
            QCOMPARE(w->pageStarts(), preview);
            const QStringList sheets = pdfText(path).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
            QCOMPARE(sheets.size(), pages);
            for (int p = 0; p < pages; ++p) {
                const int first = preview[std::size_t(p)];
                const int last = p + 1 < pages ? preview[std::size_t(p) + 1] - 1 : 73;
                QVERIFY(sheets[p].contains(
                    QStringLiteral("M%1").arg(first + 1, 2, 10, QLatin1Char('0'))));
                QVERIFY(sheets[p].contains(
                    QStringLiteral("M%1").arg(last + 1, 2, 10, QLatin1Char('0'))));
                if (p + 1 < pages)
                    QVERIFY(!sheets[p].contains(
                        QStringLiteral("M%1").arg(last + 2, 2, 10, QLatin1Char('0'))));
            }
            w.reset();
        }
    }

    void aTableTooTallIsNotPrinted() {
        const int g = testing::wardRoster(env());
        open(g, QDate(2025, 1, 1));
        prompts().queueFont(QFont(QStringLiteral("Liberation Sans"), 30));
        press("Schrift");
        QVERIFY(prompts().shown.isEmpty()); // the preview still draws
        const QString path = t->folder() + QStringLiteral("/gross.pdf");
        prompts().queueFile(path);
        press("Drucken");
        QCOMPARE(prompts().texts(),
                 QStringList{QStringLiteral("Wählen Sie eine kleinere Schrift")});
        QCOMPARE(prompts().lastMessage().buttons, platform::Buttons::Ok);
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".part")));
    }

    void aPdfThatCannotBeWrittenIsReported() {
        const int g = testing::wardRoster(env());
        open(g, QDate(2025, 1, 1));
        const QString path = t->folder() + QStringLiteral("/fehlt/plan.pdf");
        prompts().queueFile(path);
        press("Drucken");
        QCOMPARE(prompts().shown.size(), 1);
        QVERIFY(prompts().lastMessage().text.startsWith(
            QStringLiteral("Fehler beim Drucken in Funktion neuzeichnen70 ")));
        QVERIFY(!QFileInfo::exists(path));
        // the preview goes on working
        press("hoch");
        QCOMPARE(prompts().shown.size(), 1);

        // a PDF that cannot be closed, and one cut off by a full disk, leave the old file
        const QString old = t->folder() + QStringLiteral("/alt.pdf");
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("alte Datei") == 10);
        file.close();
        {
            const testing::FailingWrites failing(testing::FailingStep::Close);
            prompts().queueFile(old);
            press("Drucken");
        }
        QVERIFY(prompts().lastMessage().text.endsWith(QStringLiteral("Der Datenträger ist voll.")));
        QCOMPARE(testing::readBytes(old), QByteArray("alte Datei"));
        QCOMPARE(QDir(t->folder()).entryList({QStringLiteral("alt.pdf*")}, QDir::Files),
                 QStringList{"alt.pdf"});
        testing::SmallDisk disk(256);
        if (!disk.mounted()) QSKIP("no tmpfs can be mounted here");
        const QString cut = disk.path(QStringLiteral("plan.pdf"));
        QFile onDisk(cut);
        QVERIFY(onDisk.open(QIODevice::WriteOnly) && onDisk.write("alte Datei") == 10);
        onDisk.close();
        QVERIFY(disk.leaveFree(4096));
        prompts().queueFile(cut);
        press("Drucken");
        QVERIFY2(prompts().lastMessage().text.endsWith(QStringLiteral("Der Datenträger ist voll.")),
                 qPrintable(prompts().lastMessage().text));
        QCOMPARE(testing::readBytes(cut), QByteArray("alte Datei"));
    }
};

QTEST_MAIN(TestPrintPrev)
#include "test_printprev.moc"
