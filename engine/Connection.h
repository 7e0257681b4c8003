#pragma once
// The connection to the one SQLite database file. Statements in the old engine's dialect are
// translated (SqlDialect.h) before they run; errors leave as EngineError with the numbers the
// program tests.

#include "engine/EngineError.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace engine {

struct ColumnInfo {
    QString name;
    QString declaredType; // as declared: smalldatetime, varchar(50), float, bit, ...
    bool notNull = false;
    QVariant defaultValue; // parsed literal; invalid when none
    bool primaryKey = false;
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing database file for reading and writing. A missing file, a file that is
    // not a database or a damaged one fail with err::GeneralFailure (FileFault::Corrupt for the
    // last two); no write access, or a file that another process holds past the busy timeout,
    // with err::PermissionDenied (FileFault::Busy).
    void open(const QString& path);
    // Opens a file only to read what it still holds: read-only, without locks, without playing a
    // journal into it. Used on damaged files, which must stay as they are.
    void openSnapshot(const QString& path);
    // Takes the file's exclusive lock and keeps it until close(): nobody else reads or writes it.
    void lockExclusively();
    // Writes a compacted copy of this database to destination (replacing a file there).
    void vacuumInto(const QString& destination);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    QString path() const { return path_; }

    // Executes a statement of the old dialect (CREATE TABLE included) with values bound by
    // position to the parameter names given; returns the number of changed rows.
    int execute(const QString& sql, const QVariantList& values = {},
                const QStringList& parameterNames = {});
    // Executes SQLite text as it is (used by the engine itself).
    void executeNative(const QString& sql);

    bool tableExists(const QString& table);
    QStringList tableNames();
    QList<ColumnInfo> columns(const QString& table);  // throws err::TableNotFound
    QString canonicalTableName(const QString& table); // the name as created, case kept

    // A consistent copy of the open database at another path (online backup).
    void backupTo(const QString& destination);
    int changes() const; // rows changed by the last statement
    qint64 lastInsertRowId() const;
    // Rises whenever this connection changed data; recordsets use it to drop cached counts. It
    // never repeats a value of an earlier opening, so a cache keyed by it is not taken for the
    // file opened next.
    quint64 changeCounter() const;

    sqlite3* handle() const { return db_; }

    // The application id in the SQLite header of the files the program creates ("TNVA"), by
    // which the desktop knows a roster database whatever its name.
    static constexpr int applicationId = 0x544E5641;
    // Creates a new empty database file at path, through a temporary name in the same folder.
    // An existing file of that name is replaced. The file carries the application id.
    static void createDatabaseFile(const QString& path);
    // Writes a compacted copy of the database at source to destination (VACUUM INTO).
    static void compactDatabase(const QString& source, const QString& destination);

    // The EngineError for an SQLite result code on this connection.
    EngineError error(int resultCode, const QString& context = {}) const;

private:
    friend class Statement;
    friend class Transaction;
    sqlite3_stmt* takeStatement(const QString& sql);
    void returnStatement(const QString& sql, sqlite3_stmt* stmt);
    void clearStatementCache();
    // Opens the SQLite handle under name (a file name or a URI) with flags; the engine error for
    // path when SQLite refuses.
    void openHandle(const QByteArray& name, int flags, const QString& path);

    sqlite3* db_ = nullptr;
    QString path_;
    QHash<QString, sqlite3_stmt*> cache_;
    QHash<QString, QList<ColumnInfo>> columnCache_;
    int savepointDepth_ = 0; // the transactions open on this connection
    quint64 stampBase_ = 0;  // where this opening's change counter starts
};

// The EngineError for an SQLite result code and message (also used without a connection).
EngineError sqliteError(int resultCode, int extendedCode, const QString& message,
                        const QString& context = {});

} // namespace engine
