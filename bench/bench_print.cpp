#include "bench/BenchPrint.h"

#include "bench/LargeDatabase.h"
#include "bench/RawSql.h"
#include "bench/Timing.h"
#include "engine/DateValue.h"
#include "engine/SqlDialect.h"
#include "platform/Printers.h"
#include "platform/ScriptedPrompts.h"
#include "print/PrintPrev.h"
#include "print/QPainterSurface.h"
#include "roster/Konstanten.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace bench {

void benchPrint(data::Session& session, const QString& path) {
    data::DataUmgebung& env = session.env;
    for (const char* t : {"Mitarbeiter", "Feiertage", "Statistik", "Gruppen", "Einstellungen"})
        env.execute(QLatin1String(t));
    roster::MonthState month;
    month.firstDay = QDate(2025, 6, 1);
    month.groupNumber = BigGroup;
    roster::changedate(month);
    month.workDays = roster::workDays(env, month.firstDay, month.lastDay);
    env.MaNachGrp(BigGroup);

    platform::ScriptedPrompts prompts;
    platform::Prompts* before = session.services.prompts;
    session.services.prompts = &prompts;
    platform::setCurrentPrinter(platform::PdfPrinterName);
    {
        PrintPrev preview(session, month);

        // the members page 1 shows
        QImage probe(10, 10, QImage::Format_RGB32);
        probe.setDotsPerMeterX(qRound(preview.logicalDpiX() / 0.0254));
        print::QPainterSurface surface(probe, 16838);
        surface.setFont(preview.printFont());
        const print::PageGeometry g = print::RosterPage(session, month).measure(surface);
        int onFirstPage = 0;
        for (int x = g.labelWidth; x <= 16838 - g.labelWidth - g.colWidth; x += g.colWidth)
            ++onFirstPage;

        sqlite3* raw = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
        engine::registerDialectFunctions(raw);
        const auto command = [&env](const char* name) {
            return engine::translateSql(env.command(QLatin1String(name)).text,
                                        env.command(QLatin1String(name)).parameters)
                .sql;
        };
        const QString members = command("MaNachGrp");
        const QString sums = command("StundSum");
        const QString duties = command("Dienst");
        const double first = engine::dayNumber(month.firstDay);
        const double last = engine::dayNumber(month.lastDay);
        const double rawMicros = medianMicros(
            [&] {
                runRawSql(raw, members, {BigGroup});
                runRawSql(raw, sums, {first, last});
                runRawSql(raw,
                          QStringLiteral("SELECT * FROM Feiertage WHERE Tag >= ?1 AND Tag <= ?2"),
                          {first, last});
                for (int pos = 1; pos <= onFirstPage; ++pos) {
                    runRawSql(
                        raw,
                        QStringLiteral("SELECT * FROM statistik WHERE (statistik.MaNr = ?1) "
                                       "AND (statistik.jahr = 2025) AND (statistik.monat = 6)"),
                        {pos});
                    runRawSql(raw, duties, {first, last, pos, BigGroup});
                }
            },
            20);
        sqlite3_close(raw);
        row(QStringLiteral("neuzeichnen, page 1 of 60 members (preview picture)"),
            medianMicros([&] { preview.neuzeichnen(); }, 20), rawMicros);

        const QString pdf = QFileInfo(path).absolutePath() + QStringLiteral("/bench-roster.pdf");
        prompts.queueFile(pdf);
        QElapsedTimer timer;
        timer.start();
        preview.cmdPrint_Click();
        const double micros = timer.nsecsElapsed() / 1000.0;
        row(QStringLiteral("printing all %1 pages of the month into a PDF file")
                .arg(preview.pageCount()),
            micros, 0);
        if (!prompts.shown.isEmpty() || !QFileInfo::exists(pdf))
            std::printf("printing failed: %s\n",
                        qPrintable(prompts.texts().join(QLatin1Char(' '))));
        QFile::remove(pdf);
    }
    session.services.prompts = before;
}

} // namespace bench
