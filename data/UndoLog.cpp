#include "data/UndoLog.h"

#include "engine/EngineError.h"
#include "engine/Sqlite.h"

#include <sqlite3.h>

#include <QHash>

#include <memory>

#include <QLoggingCategory>
#include <algorithm>
#include <cmath>

Q_DECLARE_LOGGING_CATEGORY(lcData)

namespace data {

namespace {

const QString DutyTable = QStringLiteral("Dienstzeiten");

// the triggers that fill the log, and those that empty the stacks
const QStringList TriggerNames = {
    QStringLiteral("tnv_undo_dz_i"),   QStringLiteral("tnv_undo_dz_d"),
    QStringLiteral("tnv_undo_dz_u"),   QStringLiteral("tnv_undo_gp_u"),
    QStringLiteral("tnv_undo_x_ma"),   QStringLiteral("tnv_undo_x_gp_i"),
    QStringLiteral("tnv_undo_x_gp_d"), QStringLiteral("tnv_undo_x_sd_i"),
    QStringLiteral("tnv_undo_x_sd_u"), QStringLiteral("tnv_undo_x_sd_d")};

QString values(const QString& prefix, const QStringList& columns) {
    QStringList list;
    for (const QString& c : columns)
        list << prefix + QLatin1Char('"') + c + QLatin1Char('"');
    return list.join(QStringLiteral(", "));
}

QString valueSlots(int count, int firstNumber = 0) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("v%1").arg(firstNumber + i);
    return list.join(QStringLiteral(", "));
}

qint64 maxSeq(engine::Connection& c) {
    engine::Statement s(c, QStringLiteral("SELECT ifnull(max(seq), 0) FROM temp.tnv_undo_log"));
    return s.step() ? s.int64(0) : 0;
}

} // namespace

// The SQL function the triggers call for the number of the transaction being written.
struct UndoFunctions {
    static void txn(sqlite3_context* context, int, sqlite3_value**) {
        sqlite3_result_int64(context, static_cast<UndoLog*>(sqlite3_user_data(context))->txn_);
    }
};

int UndoLog::onCommit(void* log) {
    ++static_cast<UndoLog*>(log)->txn_;
    return 0;
}

UndoLog::~UndoLog() {
    if (!connection_ || connection_->handle() != handle_ || !handle_) return;
    try {
        for (const QString& name : TriggerNames)
            connection_->executeNative(QStringLiteral("DROP TRIGGER IF EXISTS temp.") + name);
    } catch (const std::exception& e) {
        qCWarning(lcData) << "undo log not removed:" << e.what();
    }
    sqlite3_commit_hook(connection_->handle(), nullptr, nullptr);
    sqlite3_create_function_v2(connection_->handle(), "tnv_undo_txn", 0, SQLITE_UTF8, nullptr,
                               nullptr, nullptr, nullptr, nullptr);
}

void UndoLog::watch(engine::Connection& connection) {
    if (!connection.isOpen()) return;
    if (connection_ == &connection && handle_ == connection.handle()) return;
    // a database opened anew: what was logged belongs to another file or another state
    if (handle_) clear(!undo_.empty() || !redo_.empty() || impossible_);
    connection_ = &connection;
    handle_ = connection.handle();
    sqlite3* db = connection.handle();
    sqlite3_create_function_v2(db, "tnv_undo_txn", 0, SQLITE_UTF8, this, &UndoFunctions::txn,
                               nullptr, nullptr, nullptr);
    sqlite3_commit_hook(db, &UndoLog::onCommit, this);

    columns_.clear();
    {
        engine::Statement info(connection, QStringLiteral("PRAGMA main.table_info(Dienstzeiten)"));
        QString key;
        while (info.step()) {
            const QString name = info.value(1).toString();
            if (info.int64(5) == 1)
                key = name;
            else
                columns_ << name;
        }
        if (key.isEmpty() || columns_.isEmpty()) {
            handle_ = nullptr; // no duty table: nothing to log
            return;
        }
        columns_.prepend(key);
    }
    const int n = int(columns_.size());
    connection.executeNative(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS tnv_undo_log (seq "
                                            "INTEGER PRIMARY KEY AUTOINCREMENT, txn INTEGER, tbl "
                                            "TEXT, op TEXT, rid INTEGER, ") +
                             valueSlots(n) + QLatin1Char(')'));
    connection.executeNative(QStringLiteral("CREATE INDEX IF NOT EXISTS temp.tnv_undo_rid ON "
                                            "tnv_undo_log (tbl, rid, seq)"));
    const QString tagSlot = QStringLiteral("v%1").arg(columns_.indexOf(QStringLiteral("Tag")));
    const QString head = QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS ");
    const QString log = QStringLiteral(" BEGIN INSERT INTO tnv_undo_log (txn, tbl, op, rid");
    const QStringList triggers = {
        head + QStringLiteral("tnv_undo_dz_i AFTER INSERT ON main.Dienstzeiten") + log +
            QStringLiteral(", ") + tagSlot +
            QStringLiteral(") VALUES (tnv_undo_txn(), 'D', 'I', NEW.rowid, NEW.Tag); END"),
        head + QStringLiteral("tnv_undo_dz_d BEFORE DELETE ON main.Dienstzeiten") + log +
            QStringLiteral(", ") + valueSlots(n) +
            QStringLiteral(") VALUES (tnv_undo_txn(), 'D', 'D', OLD.rowid, ") +
            values(QStringLiteral("OLD."), columns_) + QStringLiteral("); END"),
        head + QStringLiteral("tnv_undo_dz_u BEFORE UPDATE ON main.Dienstzeiten") + log +
            QStringLiteral(", ") + valueSlots(n) +
            QStringLiteral(") VALUES (tnv_undo_txn(), 'D', 'U', OLD.rowid, ") +
            values(QStringLiteral("OLD."), columns_) + QStringLiteral("); END"),
        head + QStringLiteral("tnv_undo_gp_u BEFORE UPDATE OF DienstPos ON main.GpZuordnung") +
            log +
            QStringLiteral(", v0) VALUES (tnv_undo_txn(), 'G', 'U', OLD.rowid, OLD.DienstPos); "
                           "END"),
    };
    for (const QString& sql : triggers)
        connection.executeNative(sql);
    const QList<std::pair<QString, QString>> breaking = {
        {QStringLiteral("tnv_undo_x_ma"), QStringLiteral("AFTER DELETE ON main.Mitarbeiter")},
        {QStringLiteral("tnv_undo_x_gp_i"), QStringLiteral("AFTER INSERT ON main.GpZuordnung")},
        {QStringLiteral("tnv_undo_x_gp_d"), QStringLiteral("AFTER DELETE ON main.GpZuordnung")},
        {QStringLiteral("tnv_undo_x_sd_i"), QStringLiteral("AFTER INSERT ON main.Standarddienste")},
        {QStringLiteral("tnv_undo_x_sd_u"), QStringLiteral("AFTER UPDATE ON main.Standarddienste")},
        {QStringLiteral("tnv_undo_x_sd_d"), QStringLiteral("AFTER DELETE ON main.Standarddienste")},
    };
    for (const auto& [name, when] : breaking)
        connection.executeNative(head + name + QLatin1Char(' ') + when +
                                 QStringLiteral(" BEGIN INSERT INTO tnv_undo_log (txn, tbl, op) "
                                                "VALUES (tnv_undo_txn(), 'X', 'X'); END"));
    seen_ = maxSeq(connection);
}

UndoLog::Command::Command(UndoLog& log, const QString& verb) : log_(log) {
    if (log_.commandDepth_ == 0) {
        try {
            log_.collect(); // what came before is not this command's
        } catch (const std::exception& e) {
            qCWarning(lcData) << "undo log not read:" << e.what();
        }
        log_.commandVerb_ = verb;
    }
    ++log_.commandDepth_;
}

UndoLog::Command::~Command() {
    if (--log_.commandDepth_ > 0) return;
    log_.grouping_ = true;
    try {
        log_.collect();
    } catch (const std::exception& e) {
        qCWarning(lcData) << "undo log not read:" << e.what();
    }
    log_.grouping_ = false;
    log_.commandVerb_.clear();
}

void UndoLog::collect() {
    if (!connection_ || !handle_ || !connection_->isOpen() || commandDepth_ > 0) return;
    if (connection_->handle() != handle_) {
        watch(*connection_);
        return;
    }
    struct Run {
        qint64 txn = 0;
        qint64 first = 0;
        qint64 last = 0;
        bool breaking = false;
    };
    std::vector<Run> runs;
    bool added = false;
    {
        engine::Statement rows(*connection_,
                               QStringLiteral("SELECT seq, txn, tbl FROM temp.tnv_undo_log WHERE "
                                              "seq > ? ORDER BY seq"));
        rows.bind(1, seen_);
        while (rows.step()) {
            const qint64 seq = rows.int64(0);
            // one command's rows are one step, else each transaction's
            const qint64 txn = grouping_ ? 0 : rows.int64(1);
            if (runs.empty() || runs.back().txn != txn) runs.push_back({txn, seq, seq, false});
            runs.back().last = seq;
            if (rows.value(2).toString() == QLatin1String("X")) runs.back().breaking = true;
        }
    }
    for (const Run& run : runs) {
        seen_ = run.last;
        added = true;
        if (run.breaking) {
            clear(true);
            continue;
        }
        undo_.push_back(describe(run.first, run.last, grouping_ ? commandVerb_ : QString()));
        impossible_ = false;
        if (!redo_.empty()) {
            dropRows(redo_.front().first, redo_.back().last);
            redo_.clear();
        }
        if (undo_.size() > MaxSteps) {
            dropRows(undo_.front().first, undo_.front().last);
            undo_.pop_front();
        }
    }
    if (added && changed) changed();
}

UndoLog::Step UndoLog::describe(qint64 first, qint64 last, const QString& verb) {
    const QString tagSlot = QStringLiteral("v%1").arg(columns_.indexOf(QStringLiteral("Tag")));
    engine::Statement counts(*connection_,
                             QStringLiteral("SELECT total(op = 'I'), total(op = 'D'), total(op = "
                                            "'U'), min(") +
                                 tagSlot +
                                 QStringLiteral(") FROM temp.tnv_undo_log WHERE tbl = 'D' AND "
                                                "seq BETWEEN ? AND ?"));
    counts.bind(1, first);
    counts.bind(2, last);
    Step step{first, last, {}, {}};
    counts.step();
    const qint64 inserted = qint64(counts.value(0).toDouble());
    const qint64 deleted = qint64(counts.value(1).toDouble());
    const qint64 updated = qint64(counts.value(2).toDouble());
    if (!counts.isNull(3)) {
        const QDate day = QDate(1899, 12, 30).addDays(qint64(counts.value(3).toDouble()));
        step.month = QDate(day.year(), day.month(), 1);
    }
    const qint64 n = std::max({inserted, deleted, updated});
    QString name = verb;
    if (name.isEmpty())
        name = n == 0                          ? QStringLiteral("Tauschen der Positionen")
               : deleted == 0 && updated == 0  ? QStringLiteral("Eintragen")
               : inserted == 0 && updated == 0 ? QStringLiteral("Löschen")
                                               : QStringLiteral("Ändern");
    step.text = n == 0   ? name
                : n == 1 ? name + QStringLiteral(" eines Dienstes")
                         : QStringLiteral("%1 von %2 Diensten").arg(name).arg(n);
    return step;
}

void UndoLog::dropRows(qint64 first, qint64 last) {
    engine::Statement drop(
        *connection_, QStringLiteral("DELETE FROM temp.tnv_undo_log WHERE seq BETWEEN ? AND ?"));
    drop.bind(1, first);
    drop.bind(2, last);
    drop.step();
}

void UndoLog::clear(bool impossible) {
    if (connection_ && handle_ && connection_->isOpen() && connection_->handle() == handle_) {
        try {
            connection_->executeNative(QStringLiteral("DELETE FROM temp.tnv_undo_log"));
        } catch (const std::exception& e) {
            qCWarning(lcData) << "undo log not emptied:" << e.what();
        }
    }
    undo_.clear();
    redo_.clear();
    impossible_ = impossible;
}

QString UndoLog::undoText() {
    collect();
    if (!undo_.empty()) return QStringLiteral("Rückgängig: ") + undo_.back().text;
    return impossible_ ? QStringLiteral("Rückgängig nicht möglich") : QStringLiteral("Rückgängig");
}

QString UndoLog::redoText() {
    collect();
    return redo_.empty() ? QStringLiteral("Wiederholen")
                         : QStringLiteral("Wiederholen: ") + redo_.back().text;
}

bool UndoLog::canUndo() {
    collect();
    return !undo_.empty();
}

bool UndoLog::canRedo() {
    collect();
    return !redo_.empty();
}

std::optional<QDate> UndoLog::undo() {
    return apply(undo_, redo_);
}

std::optional<QDate> UndoLog::redo() {
    return apply(redo_, undo_);
}

std::optional<QDate> UndoLog::apply(std::deque<Step>& from, std::deque<Step>& to) {
    collect();
    if (from.empty() || !connection_ || connection_->handle() != handle_) return std::nullopt;
    const Step step = from.back();
    engine::Connection& c = *connection_;
    const QString tagSlot = QStringLiteral("v%1").arg(columns_.indexOf(QStringLiteral("Tag")));
    const QString maNrSlot = QStringLiteral("v%1").arg(columns_.indexOf(QStringLiteral("MaNr")));
    const QString inStep = QStringLiteral("tbl = 'D' AND seq BETWEEN ?1 AND ?2");
    const QString touchedRows =
        QStringLiteral("(SELECT rid FROM temp.tnv_undo_log WHERE ") + inStep + QLatin1Char(')');
    const auto statement = [&c, &step](const QString& sql) {
        auto s = std::make_unique<engine::Statement>(c, sql);
        s->bind(1, step.first);
        s->bind(2, step.last);
        return s;
    };
    try {
        engine::Transaction transaction(c);
        const qint64 before = maxSeq(c);
        // the employees touched, from the earliest day changed: as the rows are now and as
        // they were
        QHash<qint64, double> touched;
        {
            const auto days = statement(
                QStringLiteral("SELECT m, min(d) FROM (SELECT MaNr AS m, Tag AS d FROM "
                               "main.Dienstzeiten WHERE rowid IN ") +
                touchedRows + QStringLiteral(" UNION ALL SELECT ") + maNrSlot +
                QStringLiteral(", ") + tagSlot + QStringLiteral(" FROM temp.tnv_undo_log WHERE ") +
                inStep + QStringLiteral(" AND op <> 'I') WHERE m IS NOT NULL GROUP BY m"));
            while (days->step())
                touched.insert(days->int64(0), days->value(1).toDouble());
        }
        // the duties as they were before the step: every row it touched goes, and each comes
        // back as its first log row shows it, unless the step inserted it
        statement(QStringLiteral("DELETE FROM main.Dienstzeiten WHERE rowid IN ") + touchedRows)
            ->step();
        statement(QStringLiteral("INSERT INTO main.Dienstzeiten (") + values(QString(), columns_) +
                  QStringLiteral(") SELECT ") + valueSlots(int(columns_.size())) +
                  QStringLiteral(" FROM temp.tnv_undo_log l WHERE l.") + inStep +
                  QStringLiteral(" AND l.op <> 'I' AND l.seq = (SELECT min(f.seq) FROM "
                                 "temp.tnv_undo_log f WHERE f.tbl = 'D' AND f.rid = l.rid AND "
                                 "f.seq BETWEEN ?1 AND ?2) ORDER BY l.seq"))
            ->step();
        // the positions, in reverse order
        {
            const auto positions = statement(QStringLiteral(
                "SELECT rid, v0 FROM temp.tnv_undo_log WHERE tbl = 'G' AND seq BETWEEN ?1 AND ?2 "
                "ORDER BY seq DESC"));
            while (positions->step()) {
                engine::Statement s(c, QStringLiteral("UPDATE main.GpZuordnung SET DienstPos = ? "
                                                      "WHERE rowid = ?"));
                s.bind(1, positions->value(1));
                s.bind(2, positions->int64(0));
                s.step();
            }
        }
        dropRows(step.first, step.last);
        // the employees touched are computed again from the earliest day changed
        for (auto it = touched.cbegin(); it != touched.cend(); ++it) {
            engine::Statement s(c, QStringLiteral("UPDATE main.Mitarbeiter SET lastChange = ?1 "
                                                  "WHERE MaNr = ?2 AND (lastChange IS NULL OR "
                                                  "lastChange > ?1)"));
            s.bind(1, std::floor(it.value()));
            s.bind(2, it.key());
            s.step();
        }
        const qint64 after = maxSeq(c);
        transaction.commit();
        from.pop_back();
        if (after > before) to.push_back({before + 1, after, step.text, step.month});
        seen_ = std::max(seen_, after);
    } catch (...) {
        clear(true);
        throw;
    }
    return step.month.isValid() ? std::optional<QDate>(step.month) : std::optional<QDate>(QDate());
}

} // namespace data
