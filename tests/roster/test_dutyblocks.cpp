// Blocks of duties on a temporary database: the text of a copied block (against a golden file),
// cutting, deleting, pasting at the end of a month, past the last position, into another month
// and onto employees with other norm hours, moving a block onto itself, a move that fails in its
// middle, and saved-duty files written, read back, edited and damaged.

#include "data/ChangeHooks.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/DutyBlocks.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <bit>
#include <cmath>

using namespace roster;
using namespace testing;

namespace {

const QChar Tab = QLatin1Char('\t');

// The rows of the duty table, every field, in the order of their numbers.
QList<QVariantList> dutyTable(data::DataUmgebung& env) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank, QStringLiteral("SELECT * FROM Dienstzeiten ORDER BY DienstNR"));
    QList<QVariantList> rows;
    for (; !rs.eof(); rs.moveNext()) {
        QVariantList row;
        for (int i = 0; i < rs.fieldCount(); ++i)
            row << rs.value(i);
        rows << row;
    }
    return rows;
}

// The duty of an employee on a day as field name (lower case) to value; empty when none.
QVariantMap dutyOf(data::DataUmgebung& env, int maNr, const QDate& day) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank,
               QStringLiteral("SELECT * FROM Dienstzeiten WHERE MaNr = m AND Tag = d"), {maNr, day},
               {QStringLiteral("m"), QStringLiteral("d")});
    QVariantMap row;
    if (rs.eof()) return row;
    for (const QString& f : rs.fieldNames())
        row[f.toLower()] = rs.value(f);
    return row;
}

QString kurz(data::DataUmgebung& env, int maNr, const QDate& day) {
    return dutyOf(env, maNr, day).value(QStringLiteral("kurzinfo")).toString();
}

int dutyCount(data::DataUmgebung& env) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank, QStringLiteral("SELECT count(*) FROM Dienstzeiten"));
    return rs.value(0).toInt();
}

// The offsets of a block text's lines ("0 0", "0 1", ...).
QStringList offsets(const QString& text) {
    QStringList result;
    const QStringList lines = text.split(BlockLineBreak, Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i)
        result << lines[i].section(Tab, 0, 0) + QLatin1Char(' ') + lines[i].section(Tab, 1, 1);
    return result;
}

} // namespace

class TestDutyBlocks : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSession> t;
    MonthState march;
    int anna = 0, bert = 0, carla = 0, dora = 0;
    const int gridCols = 6; // positions 1, 2, 3 and 5; position 4 is empty

    data::DataUmgebung& env() { return t->env(); }
    MonthState monthOf(const QDate& first) {
        MonthState m;
        m.firstDay = first;
        m.groupNumber = 1;
        changedate(m);
        return m;
    }
    // The duties of a text pasted at a cell of a month.
    PasteResult paste(const QString& text, const MonthState& month, int col, int row) {
        const auto lines = readBlockText(text, dutyFields(env()));
        if (!lines) qFatal("not a block text");
        return pasteBlock(env(), month, col, row, gridCols, *lines);
    }
    // A duty with every field set.
    void addFullDuty(int maNr, const QDate& day) {
        addRow(env().rsDienstzeiten,
               {{"Tag", engine::dateVariant(day)},
                {"MaNr", maNr},
                {"Anfang", timeValue(QTime(21, 45, 30))},
                {"Ende", timeValue(QTime(6, 15), true)},
                {"Bemerkung", QStringLiteral("Übergabe <Station> & Küche ćevapčići")},
                {"Normstunden", 0.1},
                {"Pause", 0.75},
                {"Kurzinfo", QStringLiteral("Nacht")},
                {"Normdienst", false},
                {"Farbe", 255},
                {"S1", 1.0 / 3.0},
                {"S2", -2.5},
                {"Dienstcode", QStringLiteral("N1")}});
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanupTestCase() { platform::resetLocale(); }

    void init() {
        t = std::make_unique<TestSession>(QDate(2024, 3, 15));
        t->createDatabase();
        data::attachChangeHooks(t->session);
        anna = addEmployee(env(), "Anna", QDate(2020, 1, 1), 7.7);
        bert = addEmployee(env(), "Bert", QDate(2020, 1, 1), 8.0);
        carla = addEmployee(env(), "Carla", QDate(2020, 1, 1), 6.0);
        dora = addEmployee(env(), "Dora", QDate(2020, 1, 1), 4.0);
        addRow(env().rsGruppen, {{"Gruppenname", "Station"}});
        addRow(env().rsGpZuordnung, {{"GruppenNr", 1}, {"MaNr", anna}, {"DienstPos", 1}});
        addRow(env().rsGpZuordnung, {{"GruppenNr", 1}, {"MaNr", bert}, {"DienstPos", 2}});
        addRow(env().rsGpZuordnung, {{"GruppenNr", 1}, {"MaNr", carla}, {"DienstPos", 3}});
        addRow(env().rsGpZuordnung, {{"GruppenNr", 1}, {"MaNr", dora}, {"DienstPos", 5}});
        march = monthOf(QDate(2024, 3, 1));
    }
    void cleanup() { t.reset(); }

    void blocksAreOrderedAndCutToTheDays() {
        QCOMPARE(orderedBlock(3, 7, 2, 6, 31), QRect(QPoint(2, 6), QPoint(3, 7)));
        // the sum rows below the last day and the label rows and column are cut off
        QCOMPARE(orderedBlock(1, 30, 1, 35, 29), QRect(QPoint(1, 30), QPoint(1, 30)));
        QCOMPARE(orderedBlock(0, 0, 2, 3, 31), QRect(QPoint(1, 2), QPoint(2, 3)));
        QVERIFY(orderedBlock(1, 33, 2, 34, 31).isEmpty());
    }

    void aCopiedBlockIsTheGoldenText() {
        // columns 2 to 3, days 5 to 6: rows 6 and 7
        addFullDuty(bert, QDate(2024, 3, 5));
        addDuty(env(), carla, QDate(2024, 3, 6), QTime(6, 0), QTime(14, 0), 0.5, "Früh", 0);
        addLabel(env(), carla, QDate(2024, 3, 7), "Urlaub", 7.7); // outside the block
        const QString text = copyBlock(env(), march, orderedBlock(3, 7, 2, 6, march.days));
        QCOMPARE(offsets(text), (QStringList{"0 0", "0 1", "1 0", "1 1"}));
        QFile golden(sourceDir() + QStringLiteral("/tests/roster/golden/duty_block.txt"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(text.toUtf8(), golden.readAll());
        QCOMPARE(dutyCount(env()), 3); // a copy changes nothing
    }

    void cutAndDeleteRemoveTheBlocksDutiesAndMarkTheEmployees() {
        for (int d = 10; d <= 12; ++d) {
            addLabel(env(), anna, QDate(2024, 3, d), "A");
            addLabel(env(), bert, QDate(2024, 3, d), "B");
        }
        setLastChange(env(), anna, QDate(2024, 4, 1));
        setLastChange(env(), bert, QDate(2024, 4, 1));
        const QString text = copyBlock(env(), march, orderedBlock(1, 12, 1, 13, march.days), true);
        QCOMPARE(offsets(text), (QStringList{"0 0", "0 1"}));
        QVERIFY(dutyOf(env(), anna, QDate(2024, 3, 11)).isEmpty());
        QVERIFY(dutyOf(env(), anna, QDate(2024, 3, 12)).isEmpty());
        QCOMPARE(kurz(env(), anna, QDate(2024, 3, 10)), QStringLiteral("A"));
        QCOMPARE(lastChange(env(), anna), QDate(2024, 3, 11));
        QCOMPARE(deleteBlock(env(), march, orderedBlock(1, 11, 2, 13, march.days)), 4);
        QCOMPARE(dutyCount(env()), 0);
        QCOMPARE(lastChange(env(), bert), QDate(2024, 3, 10));
        QCOMPARE(deleteBlock(env(), march, orderedBlock(1, 11, 2, 13, march.days)), 0);
    }

    void aPasteAtTheEndOfTheMonthStops() {
        // three days of two columns, pasted at the second-to-last day of April
        for (int d = 1; d <= 3; ++d) {
            addLabel(env(), anna, QDate(2024, 3, d), QStringLiteral("A%1").arg(d));
            addLabel(env(), bert, QDate(2024, 3, d), QStringLiteral("B%1").arg(d));
        }
        const QString text = copyBlock(env(), march, orderedBlock(1, 2, 2, 4, march.days));
        const MonthState april = monthOf(QDate(2024, 4, 1));
        const PasteResult r = paste(text, april, 1, 30); // the 29th
        QCOMPARE(r.cells.size(), 2);
        QCOMPARE(kurz(env(), anna, QDate(2024, 4, 29)), QStringLiteral("A1"));
        QCOMPARE(kurz(env(), anna, QDate(2024, 4, 30)), QStringLiteral("A2"));
        QVERIFY(dutyOf(env(), anna, QDate(2024, 5, 1)).isEmpty());
        // the paste stopped: the second column is not pasted at all
        QVERIFY(dutyOf(env(), bert, QDate(2024, 4, 29)).isEmpty());
        QVERIFY(r.otherRows);
        QCOMPARE(r.cells.first().row, 30);
        QCOMPARE(r.cells.first().text, QStringLiteral("A1"));
    }

    void columnsPastTheGroupAndEmptyPositionsAreSkipped() {
        addLabel(env(), anna, QDate(2024, 3, 1), "A");
        const QString line = copyBlock(env(), march, orderedBlock(1, 2, 1, 2, march.days))
                                 .split(BlockLineBreak)
                                 .value(1)
                                 .section(Tab, 2);
        const QString header = blockHeader(env().rsDienstzeiten) + BlockLineBreak;
        // offsets: column 9 (past the grid), then column 3 (empty position 4), then column 0
        const QString text = header + "9\t0\t" + line + BlockLineBreak + "3\t1\t" + line +
                             BlockLineBreak + "0\t2\t" + line + BlockLineBreak + "4\t3\t" + line +
                             BlockLineBreak;
        const PasteResult r = paste(text, march, 1, 10);
        QCOMPARE(r.cells.size(), 2);
        QCOMPARE(kurz(env(), anna, QDate(2024, 3, 11)), QStringLiteral("A"));
        QCOMPARE(kurz(env(), dora, QDate(2024, 3, 12)), QStringLiteral("A"));
        QCOMPARE(dutyCount(env()), 3);
        // nobody got a duty for the empty position
        engine::Recordset rs;
        rs.openSql(env().Datenbank, QStringLiteral("SELECT count(*) FROM Dienstzeiten WHERE "
                                                   "MaNr NOT IN (SELECT MaNr FROM Mitarbeiter)"));
        QCOMPARE(rs.value(0).toInt(), 0);
    }

    void aPastedDutyTakesTheTargetsDayEmployeeAndNormHours() {
        addRow(env().rsDienstzeiten, {{"Tag", engine::dateVariant(QDate(2024, 3, 4))},
                                      {"MaNr", anna},
                                      {"Kurzinfo", "Norm"},
                                      {"Normdienst", true},
                                      {"Normstunden", 7.7},
                                      {"Dienstcode", "X"}});
        addLabel(env(), carla, QDate(2024, 3, 5), "Alt");
        addLabel(env(), carla, QDate(2024, 3, 6), "Bleibt");
        setLastChange(env(), carla, QDate(2024, 4, 1));
        // Anna's norm duty and the empty day after it, onto Carla
        const QString text = copyBlock(env(), march, orderedBlock(1, 5, 1, 6, march.days));
        paste(text, march, 3, 6);
        const QVariantMap pasted = dutyOf(env(), carla, QDate(2024, 3, 5));
        QCOMPARE(pasted.value("kurzinfo").toString(), QStringLiteral("Norm"));
        QCOMPARE(pasted.value("normstunden").toDouble(), 6.0);
        QCOMPARE(pasted.value("normdienst").toBool(), true);
        QVERIFY(pasted.value("dienstcode").isNull());
        // the empty source cell left the target's duty as it was
        QCOMPARE(kurz(env(), carla, QDate(2024, 3, 6)), QStringLiteral("Bleibt"));
        QCOMPARE(dutyCount(env()), 3);
        QCOMPARE(lastChange(env(), carla), QDate(2024, 3, 5));
        // the source is untouched
        QCOMPARE(dutyOf(env(), anna, QDate(2024, 3, 4)).value("normstunden").toDouble(), 7.7);
    }

    void aBlockOfMarchLandsOnTheSameOffsetsInApril() {
        addLabel(env(), anna, QDate(2024, 3, 28), "X");
        addLabel(env(), bert, QDate(2024, 3, 30), "Y");
        const QString text = copyBlock(env(), march, orderedBlock(1, 29, 2, 32, march.days));
        const MonthState april = monthOf(QDate(2024, 4, 1));
        const PasteResult r = paste(text, april, 1, 3); // the 2nd of April
        QCOMPARE(kurz(env(), anna, QDate(2024, 4, 2)), QStringLiteral("X"));
        QCOMPARE(kurz(env(), bert, QDate(2024, 4, 4)), QStringLiteral("Y"));
        QCOMPARE(r.cells.size(), 2);
        QCOMPARE(dutyCount(env()), 4);
    }

    void aBlockMovedOntoItselfShiftedByOneDayKeepsTheMovedDuties() {
        // quotes are part of a label: a move keeps them; values written once for the whole
        // block keep apart what differs in case or in the last bit only
        const QStringList labels = {"\"A1\"", "\"a1\"", "\"A1\"", "Früh"};
        const double hours[] = {0.1, std::nextafter(0.1, 1.0), 0.1, 8};
        for (int d = 1; d <= 4; ++d)
            addLabel(env(), anna, QDate(2024, 3, d), labels[d - 1], hours[d - 1]);
        const MoveResult r =
            moveBlock(env(), march, orderedBlock(1, 2, 1, 5, march.days), 1, 3, gridCols);
        QVERIFY(dutyOf(env(), anna, QDate(2024, 3, 1)).isEmpty());
        for (int d = 1; d <= 4; ++d) {
            const QVariantMap moved = dutyOf(env(), anna, QDate(2024, 3, d + 1));
            QCOMPARE(moved.value(QStringLiteral("kurzinfo")).toString(), labels[d - 1]);
            QCOMPARE(std::bit_cast<quint64>(moved.value(QStringLiteral("normstunden")).toDouble()),
                     std::bit_cast<quint64>(hours[d - 1]));
        }
        QCOMPARE(dutyCount(env()), 4);
        QCOMPARE(r.pasted.cells.size(), 4);
        QCOMPARE(offsets(r.text), (QStringList{"0 0", "0 1", "0 2", "0 3"}));
    }

    void aMoveThatFailsInItsMiddleChangesNothing() {
        addLabel(env(), anna, QDate(2024, 3, 1), "A1");
        addLabel(env(), anna, QDate(2024, 3, 2), "Bad");
        addLabel(env(), anna, QDate(2024, 3, 3), "A3");
        addLabel(env(), bert, QDate(2024, 3, 2), "Target");
        setLastChange(env(), anna, QDate(2024, 4, 1));
        setLastChange(env(), bert, QDate(2024, 4, 1));
        const QList<QVariantList> before = dutyTable(env());
        env().Datenbank.execute(
            QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Dienstzeiten WHEN "
                           "NEW.Kurzinfo = 'Bad' BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); "
                           "END"));
        QVERIFY_THROWS_EXCEPTION(
            engine::EngineError,
            moveBlock(env(), march, orderedBlock(1, 2, 1, 4, march.days), 2, 2, gridCols));
        QCOMPARE(dutyTable(env()), before);
        QCOMPARE(lastChange(env(), anna), QDate(2024, 4, 1));
        QCOMPARE(lastChange(env(), bert), QDate(2024, 4, 1));
        // the shared recordset still sees every duty, and the next move works
        env().Datenbank.execute(QStringLiteral("DROP TRIGGER refuse"));
        moveBlock(env(), march, orderedBlock(1, 2, 1, 4, march.days), 2, 2, gridCols);
        QCOMPARE(kurz(env(), bert, QDate(2024, 3, 2)), QStringLiteral("Bad"));
        QCOMPARE(dutyCount(env()), 3);
    }

    void aFailedPasteWritesNothing() {
        addLabel(env(), anna, QDate(2024, 3, 1), "Lang");
        addLabel(env(), bert, QDate(2024, 3, 1), "Alt");
        const QStringList copied =
            copyBlock(env(), march, orderedBlock(1, 2, 1, 2, march.days)).split(BlockLineBreak);
        const QString values = copied[1].section(Tab, 2);
        // both lines go to Bert's 1st; the database refuses the second one
        env().Datenbank.execute(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE INSERT ON Dienstzeiten WHEN NEW.Kurzinfo = 'Zweit' "
            "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END"));
        const QString text = copied[0] + BlockLineBreak + "1\t0\t" + values + BlockLineBreak +
                             "1\t0\t" + QString(values).replace("Lang", "Zweit") + BlockLineBreak;
        const QList<QVariantList> before = dutyTable(env());
        QVERIFY_THROWS_EXCEPTION(engine::EngineError, paste(text, march, 1, 2));
        QCOMPARE(dutyTable(env()), before);
        QCOMPARE(kurz(env(), bert, QDate(2024, 3, 1)), QStringLiteral("Alt"));
    }

    // A text naming every cell of the month three times: the duties go in several statements, and
    // each later line replaces the duty an earlier one wrote, as a paste line by line would.
    void aCellNamedAgainTakesTheLaterDuty() {
        addLabel(env(), anna, QDate(2024, 3, 1), "Lang");
        const QStringList copied =
            copyBlock(env(), march, orderedBlock(1, 2, 1, 2, march.days)).split(BlockLineBreak);
        QString text = copied[0] + BlockLineBreak;
        for (int pass = 1; pass <= 3; ++pass) {
            for (int col = 0; col < 5; ++col) {
                for (int row = 0; row < march.days; ++row)
                    text +=
                        QStringLiteral("%1\t%2\t").arg(col).arg(row) +
                        copied[1].section(Tab, 2).replace("Lang", QStringLiteral("P%1").arg(pass)) +
                        BlockLineBreak;
            }
        }
        const PasteResult r = paste(text, march, 1, 2);
        QCOMPARE(r.cells.size(), 3 * 4 * march.days);
        QCOMPARE(dutyCount(env()), 4 * march.days);
        for (const int maNr : {anna, bert, carla, dora}) {
            for (int d = 1; d <= march.days; ++d)
                QCOMPARE(kurz(env(), maNr, QDate(2024, 3, d)), QStringLiteral("P3"));
        }
    }

    void aSavedFileReadsBackAsTheSameBlock() {
        addFullDuty(anna, QDate(2024, 3, 5));
        addDuty(env(), anna, QDate(2024, 3, 6), QTime(0, 0), QTime(0, 0, 1), 0, "Mitternacht");
        addLabel(env(), bert, QDate(2024, 3, 6), "Frei", 1e-7);
        const QString text = copyBlock(env(), march, orderedBlock(1, 6, 2, 7, march.days));
        const QByteArray file = blockFileContent(text);
        QVERIFY(file.endsWith("\r\n\r\n"));
        const QList<QVariantList> before = dutyTable(env());
        // back onto the same cells: every field as it was, apart from the duty numbers
        const auto read = blockTextOfFile(file);
        QVERIFY(read);
        QCOMPARE(*read, text);
        paste(*read, march, 1, 6);
        const QList<QVariantList> after = dutyTable(env());
        QCOMPARE(after.size(), before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            QCOMPARE(after[i].mid(1, 12), before[i].mid(1, 12));
            QVERIFY(after[i][13].isNull()); // Dienstcode is not taken over
        }
        // the same text under Swiss German settings, read under German ones
        platform::setLocale(QLocale(QLocale::German, QLocale::Switzerland));
        const QString swiss = copyBlock(env(), march, orderedBlock(1, 6, 2, 7, march.days));
        platform::setLocale(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(swiss.contains(QStringLiteral("\t0.75\t")));
        paste(swiss, march, 1, 6);
        const QList<QVariantList> again = dutyTable(env());
        for (qsizetype i = 0; i < before.size(); ++i)
            QCOMPARE(again[i].mid(1, 12), before[i].mid(1, 12));
    }

    void aFileEndingInALineFeedKeepsItsLastValue() {
        addFullDuty(anna, QDate(2024, 3, 5));
        const QString text = copyBlock(env(), march, orderedBlock(1, 6, 1, 6, march.days));
        // an editor saved it with bare line feeds and without the trailing tab and blank line
        QString edited = text;
        edited.replace(BlockLineBreak, "\n");
        edited.chop(2); // "\t\n"
        QVERIFY(edited.endsWith("N1"));
        const auto read = blockTextOfFile((edited + "\n").toUtf8());
        QVERIFY(read);
        QVERIFY(read->endsWith("N1"));
        const auto lines = readBlockText(*read, dutyFields(env()));
        QVERIFY(lines);
        QCOMPARE(lines->size(), size_t(1));
        QCOMPARE(lines->front().values.back().toString(), QStringLiteral("N1"));
        // a file of an older program in Latin-1
        const auto latin = blockTextOfFile(QStringLiteral("Zeile\tSpalte\tK\xfc"
                                                          "che\r\n\r\n")
                                               .toLatin1());
        QCOMPARE(*latin, QStringLiteral("Zeile\tSpalte\tKüche\r\n"));
    }

    void damagedTextsAreNotInTheFormat() {
        addFullDuty(anna, QDate(2024, 3, 5));
        const QString text = copyBlock(env(), march, orderedBlock(1, 6, 1, 7, march.days));
        const auto fields = dutyFields(env());
        QVERIFY(readBlockText(text, fields));
        const QStringList lines = text.split(BlockLineBreak);
        const QString header = lines[0];
        const QString duty = lines[1];
        const auto damaged = [&](const QString& bad) {
            return !readBlockText(header + BlockLineBreak + bad + BlockLineBreak, fields);
        };
        QVERIFY(!readBlockText(QString(), fields));
        QVERIFY(!readBlockText(QStringLiteral("Zeile\tSpalte\tDienstNR\r\n0\t0\t\r\n"), fields));
        QVERIFY(!readBlockText(header + "x" + BlockLineBreak, fields)); // a wrong header
        QVERIFY(damaged(duty + "zuviel\t"));                            // a value too many
        QVERIFY(damaged(duty.section(Tab, 0, 8)));                      // values missing
        QVERIFY(damaged(QString(duty).replace("0,75", "dreiviertel"))); // text for a number
        QVERIFY(damaged(QString(duty).replace("Wahr", "vielleicht").replace("Falsch", "nie")));
        QVERIFY(damaged(QString(duty).replace("21:45:30", "25:61"))); // no time of day
        QVERIFY(damaged("-1\t0\t"));                                  // a negative offset
        QVERIFY(damaged("0\t99999999999999999999\t"));                // an offset too large
        QVERIFY(damaged("0"));
        // values the program never stores
        QVERIFY(damaged(QString(duty).replace("0,75", "1e308")));                   // hours
        QVERIFY(damaged(QString(duty).replace("\t255\t", "\t99999999999\t")));      // a colour
        QVERIFY(damaged(QString(duty).replace("21:45:30", "05.03.2024 21:45:30"))); // a date
        QVERIFY(damaged(QString(duty).replace("Nacht", QStringLiteral("Na") + QChar(0) + "cht")));
        QVERIFY(damaged(QString(duty).replace("Nacht", QString(16, u'x')))); // wider than 15
        // a quoted cell of a spreadsheet
        const auto quoted =
            readBlockText(header + BlockLineBreak +
                              QString(duty).replace("Nacht", "\"Na\"\"cht\"") + BlockLineBreak,
                          fields);
        QVERIFY(quoted);
        QVERIFY(quoted->front().values[size_t(header.split(Tab).indexOf("Kurzinfo") - 2)] ==
                QStringLiteral("Na\"cht"));
        QVERIFY(!damaged("0\t1\t")); // an empty cell
        QVERIFY(!damaged("0\t1"));
        // a huge file is refused before it is read
        QVERIFY(!blockTextOfFile(QByteArray(MaxBlockTextSize + 1, 'x')));
        // a line whose duty number is empty carries no duty
        const auto empty = readBlockText(
            header + BlockLineBreak + "0\t0\t\t" + duty.section(Tab, 3) + BlockLineBreak, fields);
        QVERIFY(empty);
        QVERIFY(!empty->front().hasDuty());
    }

    void valuesKeepTheirExactValue() {
        using engine::FieldKind;
        for (double v : {0.1, 1.0 / 3.0, -2.5, 1e-7, 123456789.123, 0.0}) {
            const QString s = blockValueText(FieldKind::Double, v);
            QCOMPARE(blockValue(FieldKind::Double, s)->toDouble(), v);
        }
        QCOMPARE(blockValueText(FieldKind::Double, 7.5), QStringLiteral("7,5"));
        QCOMPARE(blockValueText(FieldKind::Date, engine::dayNumber(QDate(2030, 1, 2))),
                 QStringLiteral("02.01.2030"));
        QCOMPARE(blockValueText(FieldKind::Date, 1.25), QStringLiteral("31.12.1899 06:00:00"));
        QCOMPARE(blockValueText(FieldKind::Date, 0.0), QStringLiteral("00:00:00"));
        QCOMPARE(blockValue(FieldKind::Date, "31.12.1899 06:00:00")->toDouble(), 1.25);
        QCOMPARE(blockValue(FieldKind::Date, "06:00")->toDouble(), 0.25);
        QCOMPARE(blockValue(FieldKind::Date, "02.01.29")->toDouble(),
                 engine::dayNumber(QDate(2029, 1, 2)));
        QCOMPARE(blockValueText(FieldKind::Boolean, 1), QStringLiteral("Wahr"));
        QCOMPARE(blockValue(FieldKind::Boolean, "False")->toBool(), false);
        QCOMPARE(blockValueText(FieldKind::Text, QStringLiteral("a\tb\r\nc")),
                 QStringLiteral("a b  c"));
        QVERIFY(blockValue(FieldKind::Integer, QString())->isNull());

        // numbers written as Qt writes them
        QRandomGenerator writing(3);
        for (int i = 0; i < 20000; ++i) {
            const double scale = std::pow(10.0, writing.bounded(10) - 4);
            const double v = i % 2 ? (writing.generateDouble() - 0.5) * scale
                                   : std::round(writing.generateDouble() * 4e6) / 400 - 5000;
            QCOMPARE(blockValueText(FieldKind::Double, v),
                     QString::number(v == 0 ? 0.0 : v, 'g', QLocale::FloatingPointShortest)
                         .replace('.', ','));
        }
        // numbers read as Qt's general reading reads them, plain or not
        const auto qtReading = [](const QString& text) -> std::optional<double> {
            bool ok = false;
            const double v = QString(text).replace(',', '.').trimmed().toDouble(&ok);
            return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
        };
        QStringList numbers = {"-0",
                               "0,5",
                               "-12.25",
                               ",5",
                               "5,",
                               "-",
                               "1,2,3",
                               " 8 ",
                               "1e5",
                               "+3",
                               "0x10",
                               "1e400",
                               QString(40, u'9'),
                               QStringLiteral("٣")};
        QRandomGenerator random(7);
        for (int i = 0; i < 2000; ++i) {
            const double v = (random.generateDouble() - 0.5) * std::pow(10.0, random.bounded(12));
            numbers << blockValueText(FieldKind::Double, v) << QString::number(v, 'f', 17);
        }
        for (const QString& n : numbers) {
            const auto read = blockValue(FieldKind::Double, n);
            const auto expected = qtReading(n);
            QVERIFY2(read.has_value() == expected.has_value(), qPrintable(n));
            if (read)
                QVERIFY2(std::bit_cast<quint64>(read->toDouble()) ==
                             std::bit_cast<quint64>(*expected),
                         qPrintable(n));
        }
        // times to the second in the written form and in the forms typed by hand
        for (int i = 0; i < 2000; ++i) {
            const double day = random.bounded(60000.0) + (i % 3 == 0 ? 0.0 : random.bounded(1.0));
            const double second = engine::dayNumber(engine::dateTimeOf(day));
            QCOMPARE(blockValue(FieldKind::Date, blockValueText(FieldKind::Date, day))->toDouble(),
                     second);
        }
        QCOMPARE(blockValue(FieldKind::Date, "1.3.2024 6:05")->toDouble(),
                 blockValue(FieldKind::Date, "01.03.2024 06:05:00")->toDouble());
        QCOMPARE(blockValue(FieldKind::Date, "01.03.2024  06:05:00")->toDouble(),
                 blockValue(FieldKind::Date, "01.03.2024 06:05:00")->toDouble());
        for (const char* bad : {"31.02.2024", "24:00:00", "1a.03.2024", "01.03.2024T06:05:00",
                                "01-03-2024", "01.03.2024 06:05:60"})
            QVERIFY2(!blockValue(FieldKind::Date, bad), bad);
    }
};

QTEST_GUILESS_MAIN(TestDutyBlocks)
#include "test_dutyblocks.moc"
