// Mutated saved-duty files and clipboard texts: twenty thousand damaged variants of a real block
// go through the file reader and the format check, and every one that passes is pasted at a
// random cell. Nothing may crash, nothing may land outside the month or on nobody, and a
// refused paste leaves the database as it was.

#include "data/ChangeHooks.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/DutyBlocks.h"
#include "tests/roster/RosterRows.h"
#include "tests/support/TestSession.h"

#include <QRandomGenerator>
#include <QTest>

using namespace roster;
using namespace testing;

namespace {

int count(data::DataUmgebung& env, const QString& sql) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank, sql);
    return rs.value(0).toInt();
}

// One to four random damages of the kinds files suffer: bytes changed, lost or added, lines
// doubled, swapped or cut, numbers made huge or negative.
QByteArray mutate(QByteArray data, QRandomGenerator& rng) {
    static const QByteArray interesting("\t\r\n-+90,.: \xff\x00\xc3", 15);
    static const QList<QByteArray> numbers = {"-1", "2147483648", "99999999999999999999",
                                              "1e308", "nan", "31.02.2024", "24:00:00", "-0"};
    const int damages = 1 + int(rng.bounded(4));
    for (int d = 0; d < damages && !data.isEmpty(); ++d) {
        const qsizetype at = qsizetype(rng.bounded(quint32(data.size())));
        switch (rng.bounded(8)) {
        case 0:
            data[at] = char(rng.bounded(256));
            break;
        case 1:
            data.insert(at, interesting[qsizetype(rng.bounded(quint32(interesting.size())))]);
            break;
        case 2:
            data.remove(at, 1 + qsizetype(rng.bounded(16)));
            break;
        case 3:
            data.truncate(at);
            break;
        case 4: { // a line doubled
            const qsizetype start = data.lastIndexOf('\n', at) + 1;
            const qsizetype end = data.indexOf('\n', at);
            if (end > start) data.insert(end + 1, data.mid(start, end - start + 1));
            break;
        }
        case 5: { // two lines swapped
            QList<QByteArray> lines = data.split('\n');
            if (lines.size() > 2) {
                const qsizetype a = qsizetype(rng.bounded(quint32(lines.size())));
                const qsizetype b = qsizetype(rng.bounded(quint32(lines.size())));
                lines.swapItemsAt(a, b);
                data = lines.join('\n');
            }
            break;
        }
        case 6: { // a value replaced
            const qsizetype start = data.lastIndexOf('\t', at) + 1;
            qsizetype end = data.indexOf('\t', at);
            if (end < 0) end = data.size();
            data.replace(start, end - start, numbers[qsizetype(rng.bounded(quint32(numbers.size())))]);
            break;
        }
        default: // a long run of one byte
            data.insert(at, QByteArray(1 + qsizetype(rng.bounded(300)), char(rng.bounded(256))));
            break;
        }
    }
    return data;
}

} // namespace

class TestBlockFuzz : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSession> t;

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanupTestCase() { platform::resetLocale(); }

    void mutatedBlocksNeverHarmTheDatabase() {
        t = std::make_unique<TestSession>(QDate(2024, 3, 15));
        t->createDatabase();
        data::DataUmgebung& env = t->env();
        // thousands of pastes: the file need not reach the disk after each one
        env.Datenbank.executeNative(QStringLiteral("PRAGMA synchronous = OFF"));
        data::attachChangeHooks(t->session);
        addRow(env.rsGruppen, {{"Gruppenname", "Station"}});
        for (int pos = 1; pos <= 4; ++pos) {
            const int ma = addEmployee(env, QStringLiteral("MA%1").arg(pos), QDate(2020, 1, 1));
            addRow(env.rsGpZuordnung, {{"GruppenNr", 1}, {"MaNr", ma}, {"DienstPos", pos}});
            addDuty(env, ma, QDate(2024, 3, pos), QTime(22, 0), QTime(6, 0), 0.5, "Nacht", 0);
            addLabel(env, ma, QDate(2024, 3, pos + 2), "Urlaub", 7.7);
        }
        MonthState march;
        march.firstDay = QDate(2024, 3, 1);
        march.groupNumber = 1;
        changedate(march);
        const QByteArray seed =
            blockFileContent(copyBlock(env, march, orderedBlock(1, 2, 3, 7, march.days)));
        const auto fields = dutyFields(env);
        QRandomGenerator rng(20261206);
        int refused = 0, pasted = 0, failed = 0;
        for (int i = 0; i < 20000; ++i) {
            const QByteArray file = mutate(seed, rng);
            const auto text = blockTextOfFile(file);
            if (!text) continue;
            const auto lines = readBlockText(*text, fields);
            if (!lines) {
                ++refused;
                continue;
            }
            const int before = count(env, QStringLiteral("SELECT count(*) FROM Dienstzeiten"));
            try {
                pasteBlock(env, march, 1 + int(rng.bounded(5)), 2 + int(rng.bounded(32)), 5,
                           *lines);
                ++pasted;
            } catch (const engine::EngineError&) {
                ++failed;
                QCOMPARE(count(env, QStringLiteral("SELECT count(*) FROM Dienstzeiten")), before);
            }
        }
        qInfo("refused %d, pasted %d, refused by the database %d", refused, pasted, failed);
        QVERIFY(refused > 1000);
        QVERIFY(pasted > 100);
        // every duty lies in March and belongs to a member
        QCOMPARE(count(env, QStringLiteral("SELECT count(*) FROM Dienstzeiten WHERE MaNr NOT IN "
                                           "(SELECT MaNr FROM GpZuordnung)")),
                 0);
        QCOMPARE(count(env, QStringLiteral("SELECT count(*) FROM Dienstzeiten WHERE Tag < %1 OR "
                                           "Tag > %2")
                                .arg(engine::dayNumber(march.firstDay))
                                .arg(engine::dayNumber(march.lastDay))),
                 0);
        t.reset();
    }
};

QTEST_GUILESS_MAIN(TestBlockFuzz)
#include "test_blockfuzz.moc"
