// The month roster painted onto an in-memory grid: geometry, labels, targets, duties, colours,
// free days and the three sum rows.

#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/GridPainter.h"
#include "roster/MemoryGrid.h"
#include "tests/support/TestSession.h"

#include <QtTest>

#include <bit>

using roster::MemoryGrid;

class TestGridPainter : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::TestSession> t;
    roster::MonthState month;

    void exec(const QString& sql, const QVariantList& values = {}, const QStringList& names = {}) {
        t->env().Datenbank.execute(sql, values, names);
    }
    int addEmployee(const QString& name, double norm, double stdbestand = 0, double sollstd = 0) {
        exec(QStringLiteral("INSERT INTO Mitarbeiter (PlanName, Nachname, normstunden, StdBestand, "
                            "Sollstd) VALUES (n, n, h, b, s)"),
             {name, norm, stdbestand, sollstd},
             {QStringLiteral("n"), QStringLiteral("h"), QStringLiteral("b"), QStringLiteral("s")});
        return int(t->env().Datenbank.lastInsertRowId());
    }
    void addMember(int group, int maNr, int pos) {
        exec(
            QStringLiteral("INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES (g, m, p)"),
            {group, maNr, pos}, {QStringLiteral("g"), QStringLiteral("m"), QStringLiteral("p")});
    }
    void addDuty(int maNr, const QDate& day, const QTime& from, const QTime& to, double pause,
                 const QString& kurz, double flat = 0, quint32 colour = roster::White) {
        const double start = engine::dayNumber(from);
        double end = engine::dayNumber(to);
        if (end < start) end += 1;
        exec(QStringLiteral("INSERT INTO Dienstzeiten (Tag, Anfang, Ende, MaNr, Pause, Kurzinfo, "
                            "Normstunden, Farbe) VALUES (d, a, e, m, p, k, f, c)"),
             {day, from.isValid() ? QVariant(start) : QVariant(),
              to.isValid() ? QVariant(end) : QVariant(), maNr, pause, kurz, flat, qint64(colour)},
             {QStringLiteral("d"), QStringLiteral("a"), QStringLiteral("e"), QStringLiteral("m"),
              QStringLiteral("p"), QStringLiteral("k"), QStringLiteral("f"), QStringLiteral("c")});
    }
    void paint(MemoryGrid& grid, const QDate& first, int group = 1) {
        month.firstDay = first;
        month.groupNumber = group;
        roster::changedate(month);
        roster::GridPainter(t->session, month, grid).gridrepaint();
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void init() {
        t = std::make_unique<testing::TestSession>(QDate(2024, 3, 15));
        t->createDatabase();
        exec(QStringLiteral("INSERT INTO Gruppen (Gruppenname) VALUES ('Alle Ma.')"));
        exec(QStringLiteral("INSERT INTO Gruppen (Gruppenname) VALUES ('Nacht')"));
        month = roster::MonthState();
    }
    void cleanup() { t.reset(); }

    void februaryOfALeapYearHas34Rows() {
        const int a = addEmployee(QStringLiteral("Anna"), 8);
        addMember(1, a, 1);
        MemoryGrid grid;
        paint(grid, QDate(2024, 2, 1));
        QCOMPARE(grid.rows(), 34);
        QCOMPARE(grid.fixedRows(), 2);
        QCOMPARE(grid.cols(), 2);
        QCOMPARE(grid.text(0, 1), QStringLiteral("Anna"));
        QCOMPARE(grid.text(1, 0), QStringLiteral("Sollstd."));
        QCOMPARE(grid.text(2, 0), QStringLiteral("01.Do"));
        QCOMPARE(grid.text(30, 0), QStringLiteral("29.Do"));
        QCOMPARE(grid.text(31, 0), QStringLiteral("Stunden"));
        QCOMPARE(grid.text(32, 0), QStringLiteral("Differenz"));
        QCOMPARE(grid.text(33, 0), QStringLiteral("+ Vormonat"));
        QCOMPARE(grid.alignment(31, 0), roster::Align::Right);
        QCOMPARE(grid.alignment(33, 0), roster::Align::General);
        QCOMPARE(month.workDays, 21);
        QCOMPARE(grid.text(1, 1), QStringLiteral("168,00")); // 21 work days of 8 hours
        QCOMPARE(grid.columnWidth(0), grid.textWidth(roster::LabelColumnSample));
        QCOMPARE(grid.columnWidth(1), grid.textWidth(roster::DutyColumnSample));
    }

    void positionsWithGapsAndPositionZero() {
        const int a = addEmployee(QStringLiteral("A"), 8);
        const int b = addEmployee(QStringLiteral("B"), 8);
        const int c = addEmployee(QStringLiteral("C"), 8);
        const int hidden = addEmployee(QStringLiteral("Versteckt"), 8);
        addMember(2, a, 1);
        addMember(2, b, 2);
        addMember(2, c, 7);
        addMember(2, hidden, 0);
        MemoryGrid grid;
        paint(grid, QDate(2024, 3, 1), 2);
        QCOMPARE(grid.cols(), 8);
        QCOMPARE(grid.text(0, 7), QStringLiteral("C"));
        for (int col = 3; col <= 6; ++col)
            QVERIFY(grid.text(0, col).isEmpty());
        for (int col = 0; col < grid.cols(); ++col)
            QVERIFY(grid.text(0, col) != QStringLiteral("Versteckt"));
        // the cursor stays where it was, or on the last column when that is gone
        grid.setCursor(5, 9);
        paint(grid, QDate(2024, 3, 1), 2);
        QCOMPARE(grid.col(), 7);
        QCOMPARE(grid.row(), 5);
        // a group without members has the label column only
        MemoryGrid empty;
        paint(empty, QDate(2024, 3, 1), 1);
        QCOMPARE(empty.cols(), 1);
        QCOMPARE(empty.rows(), 36);
    }

    void dutiesColoursAndFreeDays() {
        const int a = addEmployee(QStringLiteral("Anna"), 8);
        const int b = addEmployee(QStringLiteral("Ben"), 8, 10);
        addMember(1, a, 1);
        addMember(1, b, 2);
        exec(QStringLiteral(
            "INSERT INTO Feiertage (Tag, Name) VALUES (#5/1/2024#, 'Tag der Arbeit')"));
        addDuty(a, QDate(2024, 5, 1), QTime(6, 0), QTime(14, 0), 0.5, QStringLiteral("Frühdienst"));
        addDuty(a, QDate(2024, 5, 5), QTime(22, 0), QTime(6, 0), 0.5, QStringLiteral("NB"), 0, 255);
        addDuty(a, QDate(2024, 5, 6), QTime(), QTime(), 0, QStringLiteral("Urlaub"), 7.7);
        MemoryGrid grid;
        paint(grid, QDate(2024, 5, 1));
        const quint32 weekend = month.weekendColor;
        // 1 May is a Wednesday holiday: the whole row in the weekend colour, the white duty too
        QCOMPARE(grid.background(2, 0), weekend);
        QCOMPARE(grid.background(2, 1), weekend);
        QCOMPARE(grid.text(2, 1), QStringLiteral("06:00 - 14:00 Fr"));
        // a coloured duty on a Sunday shows its own colour
        QCOMPARE(grid.background(6, 1), 255u);
        QCOMPARE(grid.text(6, 1), QStringLiteral("22:00 - 06:00 NB"));
        QCOMPARE(grid.text(7, 1), QStringLiteral("Urlaub"));
        QCOMPARE(grid.background(3, 1), 0xFFFFFFFFu); // Thursday, no duty: no colour
        // May 2024: 23 weekdays, one of them a holiday
        QCOMPARE(month.workDays, 22);
        QCOMPARE(grid.text(1, 1), QStringLiteral("176,00"));
        const int days = month.days;
        // 7.5 + 7.5 + 7.7 hours
        QCOMPARE(grid.text(days + 2, 1), QStringLiteral("22,70   "));
        QCOMPARE(grid.text(days + 3, 1), QStringLiteral("-153,30   "));
        // Ben has no duty and no statistics row: hours 0, difference -target, balance stdbestand -
        // target
        QCOMPARE(grid.text(days + 2, 2), QStringLiteral("0,00   "));
        QCOMPARE(grid.text(days + 3, 2), QStringLiteral("-176,00   "));
        QCOMPARE(grid.text(days + 4, 2), QStringLiteral("-166,00   "));
    }

    void aMonthWithoutDutiesLeavesTheHoursEmpty() {
        const int a = addEmployee(QStringLiteral("Anna"), 0, 0, 150);
        addMember(1, a, 1);
        MemoryGrid grid;
        paint(grid, QDate(2024, 6, 1));
        QCOMPARE(grid.text(1, 1), QStringLiteral("150,00")); // flat target
        QVERIFY(grid.text(month.days + 2, 1).isEmpty());
        QCOMPARE(grid.text(month.days + 3, 1), QStringLiteral("-150,00   "));
    }

    // The sums row reads only the group's members; each member's sums must be those of the sums
    // over all employees to the last bit, whatever order the duties were entered in.
    void theGroupsSumsAreTheSumsOverAllEmployees() {
        const int a = addEmployee(QStringLiteral("Anna"), 7.7);
        const int b = addEmployee(QStringLiteral("Bert"), 7.7);
        const int other = addEmployee(QStringLiteral("Olga"), 7.7);
        addMember(1, a, 1);
        addMember(1, b, 2);
        addMember(2, other, 1);
        for (int i = 0; i < 30; ++i) {
            const int day = 1 + (i * 7) % 30; // every day once, out of order
            for (const int maNr : {a, b, other})
                addDuty(maNr, QDate(2024, 6, day), QTime(6, 7 * day % 60), QTime(13, 11 * day % 60),
                        day / 7.0, QStringLiteral("F"), day % 3 == 0 ? 1.0 / 3.0 : 0.1);
        }
        const QDate first(2024, 6, 1), last(2024, 6, 30);
        QHash<int, QPair<double, double>> all;
        engine::Recordset& sums = t->env().StundSum(first, last);
        for (sums.moveFirst(); !sums.eof(); sums.moveNext())
            all.insert(sums.value(QStringLiteral("MaNr")).toInt(),
                       {sums.value(QStringLiteral("Summe")).toDouble(),
                        sums.value(QStringLiteral("summe2")).toDouble()});
        engine::Recordset& group = t->env().StundSumGrp(first, last, 1);
        QCOMPARE(group.recordCount(), 2);
        for (group.moveFirst(); !group.eof(); group.moveNext()) {
            const QPair<double, double> expected =
                all.value(group.value(QStringLiteral("MaNr")).toInt());
            // bit for bit (QCOMPARE would allow a rounding difference)
            QCOMPARE(std::bit_cast<quint64>(group.value(QStringLiteral("Summe")).toDouble()),
                     std::bit_cast<quint64>(expected.first));
            QCOMPARE(std::bit_cast<quint64>(group.value(QStringLiteral("summe2")).toDouble()),
                     std::bit_cast<quint64>(expected.second));
        }
    }

    void theStoredStatisticsRowGivesTargetAndCarry() {
        const int a = addEmployee(QStringLiteral("Anna"), 8, 3);
        addMember(1, a, 1);
        exec(QStringLiteral("INSERT INTO Statistik (Jahr, Monat, MaNr, Soll, IstStd, SumVormonat) "
                            "VALUES (2024, 7, m, 100.004, 0, 5)"),
             {a}, {QStringLiteral("m")});
        addDuty(a, QDate(2024, 7, 2), QTime(8, 0), QTime(16, 30), 0.5, QString());
        MemoryGrid grid;
        paint(grid, QDate(2024, 7, 1));
        QCOMPARE(grid.text(1, 1), QStringLiteral("100,00"));
        QCOMPARE(grid.text(3, 1), QStringLiteral("08:00 - 16:30 "));
        // balance = stdbestand 3 + carry 5 + 8 hours - 100
        QCOMPARE(grid.text(month.days + 4, 1), QStringLiteral("-84,00   "));
    }
};

QTEST_GUILESS_MAIN(TestGridPainter)
#include "test_gridpainter.moc"
