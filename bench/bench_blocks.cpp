// A whole month of the 60-member group copied as a block and pasted into the next month (one
// transaction, rolled back afterwards so the database stays as generated).

#include "bench/BenchRoster.h"

#include "bench/LargeDatabase.h"
#include "bench/Timing.h"
#include "data/ChangeHooks.h"
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
}

} // namespace bench
