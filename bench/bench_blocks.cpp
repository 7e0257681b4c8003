// A whole month of the 60-member group copied as a block and pasted into the next month, and a
// month's block moved one day later ("hierher verschieben"), each in one transaction rolled back
// afterwards so the database stays as generated; then the paste kept, undone, redone and undone
// again through the undo log. The program side runs as the main window has it: the change hooks
// attached, the undo log watching, rsDienstzeiten sorted by day. The raw side is the SQL that
// deletes and inserts the same rows in one transaction and lowers the members' lastChange as the
// change hooks do, without the undo log (goal: at most 3 times the raw SQL); the same SQL under
// the undo log's triggers is shown apart.

#include "bench/BenchRoster.h"

#include "bench/Checksum.h"
#include "bench/LargeDatabase.h"
#include "bench/Timing.h"
#include "data/ChangeHooks.h"
#include "engine/DateValue.h"
#include "engine/Sqlite.h"
#include "roster/DutyBlocks.h"

#include <QElapsedTimer>

namespace bench {

namespace {

const QString Columns = QStringLiteral("Anfang, Ende, Bemerkung, MaNr, Normstunden, Pause, "
                                       "Kurzinfo, Normdienst, Farbe, S1, S2, Dienstcode");

// Every duty of the group's two months and every employee's lastChange, to the last bit, as a
// checksum: what a paste or move wrote must stay the same whatever way the program writes it.
// The numbers of new duties count from the first one handed out by the change (undone pastes of
// earlier runs have used some).
QString dutySnapshot(data::DataUmgebung& env, const QString& members, double from, double to,
                     qint64 lastNumber) {
    return rowsChecksum(
        env.Datenbank,
        {QStringLiteral("SELECT DienstNR - (DienstNR > %3) * (SELECT min(DienstNR) FROM "
                        "Dienstzeiten WHERE DienstNR > %3), Tag, %4 FROM Dienstzeiten "
                        "WHERE Tag >= %1 AND Tag < %2 AND MaNr IN ")
                 .arg(from)
                 .arg(to)
                 .arg(lastNumber)
                 .arg(Columns) +
             members + QStringLiteral(" ORDER BY DienstNR"),
         QStringLiteral("SELECT MaNr, lastChange FROM Mitarbeiter ORDER BY MaNr")});
}

// The median time of a change made in a transaction that is rolled back afterwards.
double rolledBack(engine::Connection& db, const std::function<void()>& change) {
    return medianMicros(
        [&] {
            engine::Transaction keep(db);
            change();
        },
        9);
}

} // namespace

void benchBlocks(data::Session& session) {
    data::DataUmgebung& env = session.env;
    openRosterTables(env);
    env.rsDienstzeiten.setSort(QStringLiteral("tag"));
    data::attachChangeHooks(session);
    roster::MonthState june;
    june.firstDay = QDate(2025, 6, 1);
    june.groupNumber = BigGroup;
    roster::changedate(june);
    roster::MonthState july = june;
    july.firstDay = QDate(2025, 7, 1);
    roster::changedate(july);
    const QRect month = roster::orderedBlock(1, 2, GroupMembers, june.days + 1, june.days);
    const QString members =
        QStringLiteral("(SELECT MaNr FROM GpZuordnung WHERE GruppenNr = %1)").arg(BigGroup);
    const double juneFirst = engine::dayNumber(june.firstDay);
    const double julyFirst = engine::dayNumber(july.firstDay);
    const double julyLast = engine::dayNumber(july.lastDay);

    QString text;
    const double copied = medianMicros([&] { text = roster::copyBlock(env, june, month); }, 10);
    const double copiedRaw = medianMicros(
        [&] {
            engine::Statement read(
                env.Datenbank,
                QStringLiteral("SELECT Dienstzeiten.*, GpZuordnung.DienstPos FROM Dienstzeiten "
                               "INNER JOIN GpZuordnung ON Dienstzeiten.MaNr = GpZuordnung.MaNr "
                               "WHERE GpZuordnung.GruppenNr = %1 AND Tag >= %2 AND Tag < %3")
                    .arg(BigGroup)
                    .arg(juneFirst)
                    .arg(julyFirst));
            while (read.step()) {
                for (int c = 0; c < read.columnCount(); ++c)
                    (void)read.value(c);
            }
        },
        10);
    row(QStringLiteral("copy a month of 60 members as a block"), copied, copiedRaw);
    const auto lines = roster::readBlockText(text, roster::dutyFields(env));
    if (!lines) {
        std::printf("the copied block does not read back\n");
        return;
    }

    // The raw SQL includes the change hooks' work: the members' lastChange lowered to the first
    // day written (July 1st, by the paste and by the move's cut).
    const auto lowerLastChange = [&] {
        env.Datenbank.executeNative(
            QStringLiteral("UPDATE Mitarbeiter SET lastChange = %1 WHERE (lastChange IS NULL OR "
                           "lastChange > %1) AND MaNr IN ")
                .arg(julyFirst) +
            members);
    };
    // The paste: the group's duties of July 1 to 30 deleted, June's inserted a month later.
    const auto rawPaste = [&] {
        env.Datenbank.executeNative(
            QStringLiteral("DELETE FROM Dienstzeiten WHERE Tag >= %1 AND Tag < %2 AND MaNr IN ")
                .arg(julyFirst)
                .arg(julyLast) +
            members);
        env.Datenbank.executeNative(
            QStringLiteral("INSERT INTO Dienstzeiten (Tag, %1) SELECT Tag + 30, %1 FROM "
                           "Dienstzeiten WHERE Tag >= %2 AND Tag < %3 AND MaNr IN ")
                .arg(Columns)
                .arg(juneFirst)
                .arg(julyFirst) +
            members);
        lowerLastChange();
    };
    // The move: July's days 1 to 30 one day later; every July duty of the group goes, the
    // moved ones come back.
    const auto rawMove = [&] {
        env.Datenbank.executeNative(
            QStringLiteral("CREATE TEMP TABLE moved AS SELECT Tag + 1 AS Tag, %1 FROM "
                           "Dienstzeiten WHERE Tag >= %2 AND Tag < %3 AND MaNr IN ")
                .arg(Columns)
                .arg(julyFirst)
                .arg(julyLast) +
            members);
        env.Datenbank.executeNative(
            QStringLiteral("DELETE FROM Dienstzeiten WHERE Tag >= %1 AND Tag <= %2 AND MaNr IN ")
                .arg(julyFirst)
                .arg(julyLast) +
            members);
        env.Datenbank.executeNative(
            QStringLiteral("INSERT INTO Dienstzeiten (Tag, %1) SELECT Tag, %1 FROM temp.moved")
                .arg(Columns));
        env.Datenbank.executeNative(QStringLiteral("DROP TABLE temp.moved"));
        lowerLastChange();
    };
    // The raw SQL first: the undo log's triggers, once there, log it too (shown apart).
    const double pasteRaw = rolledBack(env.Datenbank, rawPaste);
    const double moveRaw = rolledBack(env.Datenbank, rawMove);
    session.undo.watch(env.Datenbank);
    std::printf("    raw SQL under the undo log's triggers: paste %.1f us, move %.1f us\n",
                rolledBack(env.Datenbank, rawPaste), rolledBack(env.Datenbank, rawMove));
    const double pasted = rolledBack(
        env.Datenbank, [&] { roster::pasteBlock(env, july, 1, 2, GroupMembers + 1, *lines); });
    env.rsDienstzeiten.requery();
    row(QStringLiteral("paste that block into the next month"), pasted, pasteRaw);
    const QRect julyBlock = roster::orderedBlock(1, 2, GroupMembers, july.days, july.days);
    bool refused = false;
    const double moved = rolledBack(env.Datenbank, [&] {
        refused = roster::moveBlock(env, july, julyBlock, 1, 3, GroupMembers + 1).refused;
    });
    env.rsDienstzeiten.requery();
    row(QStringLiteral("move July's days 1-30 of 60 members a day later") +
            (refused ? QStringLiteral(" (refused)") : QString()),
        moved, moveRaw);

    // what the paste and the move wrote, for comparing program versions
    const double augustLast = julyLast + 32;
    for (const bool move : {false, true}) {
        engine::Transaction keep(env.Datenbank);
        engine::Statement highest(env.Datenbank,
                                  QStringLiteral("SELECT max(DienstNR) FROM Dienstzeiten"));
        const qint64 lastNumber = highest.step() ? highest.int64(0) : 0;
        if (move)
            roster::moveBlock(env, july, julyBlock, 1, 3, GroupMembers + 1);
        else
            roster::pasteBlock(env, july, 1, 2, GroupMembers + 1, *lines);
        std::printf("    duty table after the %s: %s\n", move ? "move" : "paste",
                    qPrintable(dutySnapshot(env, members, juneFirst, augustLast, lastNumber)));
    }
    env.rsDienstzeiten.requery();

    {
        data::UndoLog::Command step(session.undo, QStringLiteral("Einfügen"));
        roster::pasteBlock(env, july, 1, 2, GroupMembers + 1, *lines);
    }
    QElapsedTimer timer;
    timer.start();
    session.undo.undo();
    const double undone = double(timer.nsecsElapsed()) / 1000.0;
    timer.restart();
    session.undo.redo();
    const double redone = double(timer.nsecsElapsed()) / 1000.0;
    session.undo.undo(); // the database as generated
    session.undo.clear();
    env.rsDienstzeiten.requery();
    row(QStringLiteral("undo of that paste"), undone, pasteRaw);
    row(QStringLiteral("redo of that paste"), redone, pasteRaw);
}

} // namespace bench
