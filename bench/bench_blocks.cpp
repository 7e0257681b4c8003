// A whole month of the 60-member group copied as a block and pasted into the next month (one
// transaction, rolled back afterwards so the database stays as generated); then the paste kept,
// undone, redone and undone again through the undo log, next to the raw SQL that deletes and
// inserts the same rows (goal: the undo under 1 s and at most 3 times the raw SQL).

#include "bench/BenchRoster.h"

#include "bench/LargeDatabase.h"
#include "bench/Timing.h"
#include "data/ChangeHooks.h"
#include "engine/DateValue.h"
#include "engine/Sqlite.h"
#include "roster/DutyBlocks.h"

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

namespace bench {

void benchBlocks(data::Session& session) {
    data::DataUmgebung& env = session.env;
    data::attachChangeHooks(session);
    roster::MonthState june;
    june.firstDay = QDate(2025, 6, 1);
    june.groupNumber = BigGroup;
    roster::changedate(june);
    roster::MonthState july = june;
    july.firstDay = QDate(2025, 7, 1);
    roster::changedate(july);
    const QRect month = roster::orderedBlock(1, 2, GroupMembers, june.days + 1, june.days);

    QString text;
    row(QStringLiteral("copy a month of 60 members as a block"),
        medianMicros([&] { text = roster::copyBlock(env, june, month); }, 10), 0);
    const auto lines = roster::readBlockText(text, roster::dutyFields(env));
    if (!lines) {
        std::printf("the copied block does not read back\n");
        return;
    }
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        engine::Transaction keep(env.Datenbank); // rolled back: the database stays as it was
        QElapsedTimer timer;
        timer.start();
        roster::pasteBlock(env, july, 1, 2, GroupMembers + 1, *lines);
        times.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    env.rsDienstzeiten.requery();
    std::sort(times.begin(), times.end());
    row(QStringLiteral("paste that block into the next month"), times[times.size() / 2], 0);

    // the raw SQL of the same paste: July's duties of the group deleted, June's inserted a
    // month later (rolled back)
    const QString members =
        QStringLiteral("(SELECT MaNr FROM GpZuordnung WHERE GruppenNr = %1)").arg(BigGroup);
    const double from = engine::dayNumber(june.firstDay);
    const double to = engine::dayNumber(july.lastDay);
    const double raw = medianMicros(
        [&] {
            engine::Transaction keep(env.Datenbank);
            env.Datenbank.executeNative(
                QStringLiteral(
                    "DELETE FROM Dienstzeiten WHERE Tag >= %1 AND Tag <= %2 AND MaNr IN ")
                    .arg(from + 30)
                    .arg(to) +
                members);
            env.Datenbank.executeNative(
                QStringLiteral("INSERT INTO Dienstzeiten (Tag, Anfang, Ende, Bemerkung, MaNr, "
                               "Normstunden, Pause, Kurzinfo, Normdienst, Farbe, S1, S2, "
                               "Dienstcode) SELECT Tag + 30, Anfang, Ende, Bemerkung, MaNr, "
                               "Normstunden, Pause, Kurzinfo, Normdienst, Farbe, S1, S2, "
                               "Dienstcode FROM Dienstzeiten WHERE Tag >= %1 AND Tag < %2 AND "
                               "MaNr IN ")
                    .arg(from)
                    .arg(from + 30) +
                members);
        },
        5);
    session.undo.watch(env.Datenbank);
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
    row(QStringLiteral("undo of that paste (raw: delete and insert the same rows)"), undone, raw);
    row(QStringLiteral("redo of that paste"), redone, raw);
}

} // namespace bench
