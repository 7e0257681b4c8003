// "Exportieren" → "Monatskonten (CSV) ..." and "Kalender (iCal) ..." on a hand-computed December:
// the CSV read back by the sqlite3 tool's CSV reader and compared with its golden file, the
// calendars parsed back by libical.

#include "engine/DateValue.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/MainWindowDesk.h"
#include "tests/support/Modal.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QProcess>
#include <QTimeZone>
#include <QtTest>

#include <libical/ical.h>

using namespace testing;

namespace {

struct Event {
    QString uid, summary, description;
    QDateTime start, end; // in UTC; all-day events: the dates at midnight UTC
    bool allDay = false;
};

// The events of a calendar file as libical reads them, the zone resolved by its VTIMEZONE.
QList<Event> parse(const QByteArray& ics, QString* zone) {
    QList<Event> events;
    icalcomponent* cal = icalparser_parse_string(ics.constData());
    if (!cal) return events;
    icalcomponent* tz = icalcomponent_get_first_component(cal, ICAL_VTIMEZONE_COMPONENT);
    *zone = tz ? QString::fromUtf8(icalproperty_get_tzid(
                     icalcomponent_get_first_property(tz, ICAL_TZID_PROPERTY)))
               : QString();
    const auto utc = [](icaltimetype t) {
        if (t.is_date) return QDateTime(QDate(t.year, t.month, t.day), QTime(0, 0), Qt::UTC);
        return QDateTime::fromSecsSinceEpoch(
            icaltime_as_timet_with_zone(t, t.zone ? t.zone : icaltimezone_get_utc_timezone()),
            Qt::UTC);
    };
    for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
        const icaltimetype start = icalcomponent_get_dtstart(e);
        events << Event{QString::fromUtf8(icalcomponent_get_uid(e)),
                        QString::fromUtf8(icalcomponent_get_summary(e)),
                        QString::fromUtf8(icalcomponent_get_description(e)),
                        utc(start),
                        utc(icalcomponent_get_dtend(e)),
                        bool(start.is_date)};
    }
    icalcomponent_free(cal);
    return events;
}

QDateTime berlin(const QDate& d, const QTime& t) {
    return QDateTime(d, t, QTimeZone("Europe/Berlin")).toUTC();
}

} // namespace

class TestDataExports : public QObject, MainWindowDesk {
    Q_OBJECT

    int anna = 0, berta = 0;

private slots:
    void init() {
        QVERIFY(startWindow(QDate(2025, 12, 10)));
        anna = employee(env(), QStringLiteral("Anna; Bär"), 1);
        berta = employee(env(), QStringLiteral("=Summe"), 2);
        const int hidden = employee(env(), QStringLiteral("Verborgen"), 0);
        exec("UPDATE Mitarbeiter SET Normstunden = 8, StdBestand = 10.5, ersterArbeitstag = p0 "
             "WHERE MaNr = p1",
             {engine::dateVariant(QDate(2025, 1, 1)), anna});
        exec("UPDATE Mitarbeiter SET Normstunden = 8, Sollstd = 150, ersterArbeitstag = p0 "
             "WHERE MaNr <> p1",
             {engine::dateVariant(QDate(2025, 1, 1)), anna});
        member(env(), 1, anna, 1);
        member(env(), 1, berta, 2);
        member(env(), 1, hidden, 0);
        // November closed with 5 carried in, 170 worked against 160: 15 carried into December
        exec("INSERT INTO Statistik (MaNr, Jahr, Monat, Soll, IstStd, SumVormonat) VALUES "
             "(p0, 2025, 11, 160, 170, 5)",
             {anna});
        for (const auto& [day, name, prozent] : {std::tuple{24, "Heiligabend", 0.5},
                                                 {25, "1. Weihnachtstag", 1.0},
                                                 {26, "2. Weihnachtstag", 1.0}})
            exec("INSERT INTO Feiertage (Tag, Name, Prozent) VALUES (p0, p1, p2)",
                 {QDate(2025, 12, day), QString::fromUtf8(name), prozent});
        duty(env(), anna, QDate(2025, 12, 1), QTime(6, 0), QTime(14, 30), 0.5, 0, 1.5, 0,
             QStringLiteral("Früh; Ü, 1"));
        exec("UPDATE Dienstzeiten SET Bemerkung = p0",
             {QStringLiteral("Übergabe; Station 3,\nKüche")});
        duty(env(), anna, QDate(2025, 12, 2), QTime(22, 0), QTime(6, 0), 0, 0, 0, 0,
             QStringLiteral("Nacht"));
        duty(env(), anna, QDate(2025, 12, 3), {}, {}, 0, 8, 0, 0, QStringLiteral("Urlaub"));
        duty(env(), anna, QDate(2025, 12, 4), {}, {}, 0, 8, 0, 0, QStringLiteral("krank"));
        duty(env(), anna, QDate(2025, 7, 1), QTime(7, 0), QTime(15, 0));
        duty(env(), hidden, QDate(2025, 12, 1), QTime(7, 0), QTime(15, 0));
    }
    void cleanup() { closeWindow(); }

    void monthlyAccountsAsCsv() {
        const QString path = desk->dir.filePath(QStringLiteral("konten.csv"));
        desk->prompts.queueFile(path);
        w->menuAction(QStringLiteral("mnuEpKonten"))->trigger();
        QCOMPARE(desk->prompts.saveRequests.last().defaultName,
                 QStringLiteral("Monatskonten-2025-12.csv"));
        const QByteArray bytes = readBytes(path);
        QVERIFY(matchesGolden(bytes, QStringLiteral("shell/golden/monatskonten-2025-12.csv")));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF") && bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        // read back by a real CSV reader
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"),
                     {QStringLiteral(":memory:"), QStringLiteral(".mode csv"),
                      QStringLiteral(".separator ;"), QStringLiteral(".import '%1' k").arg(path),
                      QStringLiteral(".mode list"), QStringLiteral(".separator |"),
                      QStringLiteral("SELECT * FROM k ORDER BY rowid")});
        QVERIFY(sqlite.waitForFinished());
        const QStringList rows =
            QString::fromUtf8(sqlite.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        // December: 23 weekdays, 25 and 26 off, 24 half: 20,5 days of 8 hours
        QCOMPARE(rows, QStringList({QStringLiteral("%1|Anna; Bär|164,00|32,00|-132,00|25,50|"
                                                   "-106,50|1|1|1,50|0,00")
                                        .arg(anna),
                                    QStringLiteral("%1|'=Summe|150,00|0,00|-150,00|0,00|-150,00|"
                                                   "0|0|0,00|0,00")
                                        .arg(berta)}));
        // cancelled: nothing written; an unwritable place: a German message, the old file stays
        desk->prompts.queueFile(std::nullopt);
        w->menuAction(QStringLiteral("mnuEpKonten"))->trigger();
        desk->prompts.queueFile(desk->dir.filePath(QStringLiteral("fehlt/konten.csv")));
        w->menuAction(QStringLiteral("mnuEpKonten"))->trigger();
        QVERIFY(desk->prompts.lastMessage().text.startsWith(QStringLiteral("Die Datei ")));
        QVERIFY(!QFile::exists(desk->dir.filePath(QStringLiteral("fehlt"))));
        QCOMPARE(readBytes(path), bytes);
    }

    void dutiesAsICalendar() {
        const auto exportCalendars = [this](const QString& folder, int employeeIndex,
                                            const QDate& from) {
            desk->prompts.queueFile(folder);
            onModal([employeeIndex, from](QWidget* d) {
                in<QComboBox>(d, "cboMitarbeiter")->setCurrentIndex(employeeIndex);
                in<QDateEdit>(d, "dtpVon")->setDate(from);
                QTest::keyClick(d, Qt::Key_Return);
            });
            w->menuAction(QStringLiteral("mnuEpKalender"))->trigger();
        };
        QTemporaryDir first, second;
        exportCalendars(first.path(), 0, QDate(2025, 12, 1)); // the whole group
        QStringList files = QDir(first.path()).entryList(QDir::Files);
        files.sort();
        QCOMPARE(files, QStringList({QStringLiteral("=Summe-2025-12.ics"),
                                     QStringLiteral("Anna; Bär-2025-12.ics")}));
        QCOMPARE(desk->prompts.lastMessage().text.left(29),
                 QStringLiteral("2 Kalenderdatei(en) wurden in"));
        const QByteArray ics = readBytes(first.filePath(QStringLiteral("Anna; Bär-2025-12.ics")));
        // RFC 5545: CR LF, lines of at most 75 octets, text escaped
        for (const QByteArray& line : ics.split('\n')) {
            QVERIFY2(line.isEmpty() || line.endsWith('\r'), line.constData());
            QVERIFY2(line.size() <= 76, line.constData());
        }
        QVERIFY(ics.contains("SUMMARY:Früh\\; Ü\\, 1"));
        QString zone;
        const QList<Event> events = parse(ics, &zone);
        QCOMPARE(zone, QStringLiteral("Europe/Berlin"));
        QCOMPARE(events.size(), 4);
        QCOMPARE(events[0].summary, QStringLiteral("Früh; Ü, 1"));
        QCOMPARE(events[0].description, QStringLiteral("Übergabe; Station 3,\nKüche"));
        QCOMPARE(events[0].start, berlin(QDate(2025, 12, 1), QTime(6, 0)));
        QCOMPARE(events[0].end, berlin(QDate(2025, 12, 1), QTime(14, 30)));
        QCOMPARE(events[1].start, berlin(QDate(2025, 12, 2), QTime(22, 0)));
        QCOMPARE(events[1].end, berlin(QDate(2025, 12, 3), QTime(6, 0)));
        QVERIFY(events[2].allDay && events[2].summary == QStringLiteral("Urlaub"));
        QCOMPARE(events[2].start.date(), QDate(2025, 12, 3));
        QCOMPARE(events[2].end.date(), QDate(2025, 12, 4));
        QVERIFY(events[3].allDay && events[3].summary == QStringLiteral("krank"));

        // one employee for a range: summer time; the same UIDs after a change of the duty
        exec("UPDATE Dienstzeiten SET Anfang = p0 WHERE Tag = p1",
             {engine::dayNumber(QTime(5, 0)), QDate(2025, 12, 1)});
        exportCalendars(second.path(), 1, QDate(2025, 7, 1));
        const QList<Event> range = parse(
            readBytes(second.filePath(QStringLiteral("Anna; Bär-2025-07-bis-2025-12.ics"))), &zone);
        QCOMPARE(QDir(second.path()).entryList(QDir::Files).size(), 1);
        QCOMPARE(range.size(), 5);
        QCOMPARE(range[0].start, berlin(QDate(2025, 7, 1), QTime(7, 0)));
        QCOMPARE(range[0].start.time(), QTime(5, 0)); // two hours ahead of UTC in July
        QCOMPARE(range[1].start, berlin(QDate(2025, 12, 1), QTime(5, 0)));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(range[i + 1].uid, events[i].uid);
        QVERIFY(events[0].uid != events[1].uid);

        // a folder that cannot take the files: a German message, no file written
        const QString missing = first.filePath(QStringLiteral("fehlt"));
        desk->prompts.queueFile(missing);
        onModal([](QWidget* d) {
            QTest::keyClick(d, Qt::Key_Return);
            QTest::keyClick(d, Qt::Key_Escape); // the window stays open after the failure
        });
        w->menuAction(QStringLiteral("mnuEpKalender"))->trigger();
        QVERIFY(desk->prompts.lastMessage().text.startsWith(QStringLiteral("Die Datei ")));
        QVERIFY(!QDir(missing).exists());
    }
};

QTEST_MAIN(TestDataExports)
#include "test_dataexports.moc"
