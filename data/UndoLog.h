#pragma once
// Undo and redo of the changes to the roster's duties. The log records what each transaction
// changed in the duty table (and the members' positions) through temporary triggers that write
// the rows as they were into a temporary table of the connection, so the roster procedures stay
// as they are and a rolled-back transaction leaves nothing in the log. Each committed
// transaction is one step (a command may join its transactions into one); undoing a step writes
// the rows back in one transaction, in reverse order, every field as it was, and the triggers
// record that as the step to redo. Nothing of it is stored in the database file.
//
// A change that an undo could not reverse safely (an employee deleted, a group's members or a
// standard duty changed, the database opened anew) empties the stacks; the entry then reads
// "Rückgängig nicht möglich" until the next change.

#include "engine/Connection.h"

#include <QDate>
#include <QString>

#include <deque>
#include <functional>
#include <optional>

namespace data {

class UndoLog {
public:
    UndoLog() = default;
    ~UndoLog();
    UndoLog(const UndoLog&) = delete;
    UndoLog& operator=(const UndoLog&) = delete;

    // Starts logging on the connection, or goes on when it already does; a connection opened
    // anew starts with empty stacks. Throws EngineError.
    void watch(engine::Connection& connection);

    // Joins the transactions of one command into one step named after it: "Einfügen" gives
    // "Einfügen von 12 Diensten".
    class Command {
    public:
        Command(UndoLog& log, const QString& verb);
        ~Command();
        Command(const Command&) = delete;
        Command& operator=(const Command&) = delete;

    private:
        UndoLog& log_;
    };

    // The menu texts: "Rückgängig: Einfügen von 12 Diensten", "Rückgängig" when there is
    // nothing to undo, "Rückgängig nicht möglich" after a change that emptied the stacks.
    QString undoText();
    QString redoText();
    bool canUndo();
    bool canRedo();

    // Undoes (redoes) the last step in one transaction and marks the employees it touched for
    // the statistics. Returns the first day of a month the step changed. Nothing happens when
    // there is no step. Throws EngineError; the stacks are then emptied.
    std::optional<QDate> undo();
    std::optional<QDate> redo();

    // Empties both stacks.
    void clear(bool impossible = false);

    // Called when a step was added or the stacks were emptied by a change (the menu entries
    // follow it).
    std::function<void()> changed;

    // At most this many steps are kept; the oldest go first.
    static constexpr int MaxSteps = 200;

private:
    struct Step {
        qint64 first = 0; // the step's rows in the log, first to last
        qint64 last = 0;
        QString text;
        QDate month;
    };
    void collect();
    std::optional<QDate> apply(std::deque<Step>& from, std::deque<Step>& to);
    Step describe(qint64 first, qint64 last, const QString& verb);
    void dropRows(qint64 first, qint64 last);

    engine::Connection* connection_ = nullptr;
    void* handle_ = nullptr; // the SQLite connection the triggers live on
    qint64 txn_ = 1;         // the number of the transaction being written
    qint64 seen_ = 0;        // the last log row taken into a step
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    bool impossible_ = false;
    // an open command: its name and the first transaction it wrote
    int commandDepth_ = 0;
    bool grouping_ = false; // the rows since the last step are one command's
    QString commandVerb_;
    QStringList columns_; // the duty table's columns, the key first

    static int onCommit(void* log);
    friend struct UndoFunctions;
};

} // namespace data
