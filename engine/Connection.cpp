#include "engine/Connection.h"

#include "engine/SqlDialect.h"
#include "engine/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QUrl>
#include <QUuid>

#include <sqlite3.h>

#include <atomic>

Q_LOGGING_CATEGORY(lcEngine, "turnova.engine", QtWarningMsg)

namespace engine {

namespace {

// Opens an SQLite handle. Before the first one, SQLite is told to keep a statement's journal in
// memory up to 16 MiB: a statement that changes a few thousand duties (a pasted or moved block)
// journals a few hundred kilobytes, which by default go to a temporary file page by page.
int openSqlite(const QByteArray& name, sqlite3** db, int flags) {
    static const bool configured = [] {
        return sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, 16 * 1024 * 1024) == SQLITE_OK;
    }();
    Q_UNUSED(configured);
    return sqlite3_open_v2(name.constData(), db, flags, nullptr);
}

QString between(const QString& message, const QString& prefix) {
    const int at = message.indexOf(prefix);
    return at < 0 ? QString() : message.mid(at + prefix.size()).trimmed();
}

QVariant parseDefault(const char* text) {
    if (!text) return {};
    QString s = QString::fromUtf8(text).trimmed();
    while (s.startsWith(QLatin1Char('(')) && s.endsWith(QLatin1Char(')')))
        s = s.mid(1, s.size() - 2).trimmed();
    if (s.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0) return {};
    if (s.size() >= 2 && s.startsWith(QLatin1Char('\'')) && s.endsWith(QLatin1Char('\'')))
        return s.mid(1, s.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    bool ok = false;
    const qint64 i = s.toLongLong(&ok);
    if (ok) return QVariant(i);
    const double d = s.toDouble(&ok);
    if (ok) return QVariant(d);
    return s;
}

} // namespace

EngineError sqliteError(int resultCode, int extendedCode, const QString& message,
                        const QString& context) {
    const int primary = resultCode & 0xff;
    if (primary == SQLITE_CONSTRAINT) {
        if (extendedCode == SQLITE_CONSTRAINT_NOTNULL) {
            return EngineError(err::GeneralFailure,
                               QStringLiteral("Das Feld '%1' kann keinen Nullwert enthalten, da "
                                              "für dieses Feld eine Eingabe erforderlich ist. "
                                              "Geben Sie einen Wert in dieses Feld ein.")
                                   .arg(between(message, QStringLiteral("failed:"))));
        }
        if (extendedCode == SQLITE_CONSTRAINT_CHECK) {
            return EngineError(err::FieldTooSmall,
                               QStringLiteral("Das Feld ist zu klein für die Datenmenge, die Sie "
                                              "hinzufügen wollten. Fügen Sie eine geringere "
                                              "Datenmenge ein."));
        }
        return EngineError(
            err::GeneralFailure,
            QStringLiteral("Die von Ihnen vorgenommenen Änderungen an der Tabelle konnten nicht "
                           "durchgeführt werden, da der Index, der Primärschlüssel oder die "
                           "Beziehung mehrfach vorkommende Werte enthalten würde. Ändern Sie die "
                           "Daten in den Feldern, die gleiche Daten enthalten, und versuchen Sie "
                           "es erneut."));
    }
    if (primary == SQLITE_ERROR) {
        if (message.startsWith(QLatin1String("no such table:"))) {
            const QString table = between(message, QStringLiteral("no such table:"));
            return EngineError(err::TableNotFound,
                               QStringLiteral("Die Eingabetabelle oder -abfrage '%1' wurde nicht "
                                              "gefunden. Stellen Sie sicher, dass sie vorhanden "
                                              "ist und dass ihr Name richtig eingegeben wurde.")
                                   .arg(table.section(QLatin1Char('.'), -1)));
        }
        static const QRegularExpression exists(QStringLiteral("table (\\S+) already exists"));
        const auto m = exists.match(message);
        if (m.hasMatch()) {
            QString table = m.captured(1);
            table.remove(QLatin1Char('"')).remove(QLatin1Char('[')).remove(QLatin1Char(']'));
            return EngineError(err::CommandError,
                               QStringLiteral("Tabelle '%1' ist bereits vorhanden.").arg(table));
        }
        if (message.startsWith(QLatin1String("no such column:"))) {
            return EngineError(err::MissingParameter,
                               QStringLiteral("Für mindestens einen erforderlichen Parameter "
                                              "wurden keine Werte angegeben (%1).")
                                   .arg(between(message, QStringLiteral("no such column:"))));
        }
        return EngineError(err::CommandError,
                           QStringLiteral("Syntaxfehler in der SQL-Anweisung (%1).").arg(message));
    }
    switch (primary) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return EngineError(err::GeneralFailure,
                           QStringLiteral("Nicht erkennbares Datenbankformat '%1'.").arg(context),
                           FileFault::Corrupt);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        // Held by another process even after the busy timeout: not damaged, only in use.
        return EngineError(err::PermissionDenied,
                           QStringLiteral("Die Datenbank '%1' wird von einem anderen Benutzer "
                                          "verwendet.")
                               .arg(context),
                           FileFault::Busy);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return EngineError(err::PermissionDenied, QStringLiteral("Zugriff verweigert"),
                           FileFault::Busy);
    case SQLITE_CANTOPEN:
        return EngineError(
            err::PermissionDenied,
            QStringLiteral("Die Datei '%1' konnte nicht geöffnet werden.").arg(context),
            FileFault::Busy);
    case SQLITE_FULL:
        return EngineError(err::GeneralFailure,
                           QStringLiteral("Der Datenträger ist voll. Die Änderung wurde nicht "
                                          "gespeichert."));
    case SQLITE_IOERR:
        return EngineError(err::GeneralFailure,
                           QStringLiteral("Beim Zugriff auf die Datenbank ist ein Lese- oder "
                                          "Schreibfehler aufgetreten (%1).")
                               .arg(message),
                           // a file shorter than its pages say is a truncated file
                           extendedCode == SQLITE_IOERR_SHORT_READ ? FileFault::Corrupt
                                                                   : FileFault::None);
    default:
        return EngineError(err::GeneralFailure, message);
    }
}

Connection::Connection() = default;

Connection::~Connection() {
    close();
}

EngineError Connection::error(int resultCode, const QString& context) const {
    if (!db_)
        return sqliteError(resultCode, resultCode, QString::fromUtf8(sqlite3_errstr(resultCode)),
                           context);
    const int primary = resultCode & 0xff;
    const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
    const bool fileProblem = primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT ||
                             primary == SQLITE_BUSY || primary == SQLITE_LOCKED ||
                             primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR;
    return sqliteError(resultCode, sqlite3_extended_errcode(db_), message,
                       fileProblem ? path_ : context);
}

void Connection::openHandle(const QByteArray& name, int flags, const QString& path) {
    sqlite3* db = nullptr;
    const int rc = openSqlite(name, &db, flags);
    if (rc != SQLITE_OK) {
        const EngineError e =
            sqliteError(rc, db ? sqlite3_extended_errcode(db) : rc,
                        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString(), path);
        sqlite3_close(db);
        throw e;
    }
    db_ = db;
    path_ = path;
    static std::atomic<quint64> openings{0};
    stampBase_ = (++openings) << 40;
    sqlite3_extended_result_codes(db_, 1);
}

void Connection::open(const QString& path) {
    close();
    if (!QFileInfo::exists(path)) {
        throw EngineError(err::GeneralFailure,
                          QStringLiteral("Die Datei '%1' wurde nicht gefunden.").arg(path));
    }
    openHandle(QFile::encodeName(path), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, path);
    sqlite3_busy_timeout(db_, 2000);
    try {
        // Reading the schema proves the file is a database and not damaged at its start.
        executeNative(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (sqlite3_db_readonly(db_, "main") == 1)
            throw EngineError(err::PermissionDenied, QStringLiteral("Zugriff verweigert"));
        executeNative(QStringLiteral("PRAGMA journal_mode=DELETE"));
        executeNative(QStringLiteral("PRAGMA synchronous=FULL"));
        executeNative(QStringLiteral("PRAGMA foreign_keys=OFF"));
        executeNative(QStringLiteral("PRAGMA cache_size=-16000"));
        registerDialectFunctions(db_);
    } catch (...) {
        close();
        throw;
    }
    qCDebug(lcEngine) << "opened" << path;
}

void Connection::openSnapshot(const QString& path) {
    close();
    // immutable: SQLite neither locks nor changes the file, nor plays a journal into it
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setQuery(QStringLiteral("immutable=1"));
    openHandle(url.toEncoded(), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, path);
    // lets SQLite read the pages that are there of a file shorter than its header says
    executeNative(QStringLiteral("PRAGMA writable_schema=ON"));
    registerDialectFunctions(db_);
}

void Connection::lockExclusively() {
    // In exclusive locking mode the lock taken by the empty write transaction is kept after its
    // commit, until the connection closes: no other process reads or writes the file meanwhile.
    executeNative(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
    executeNative(QStringLiteral("BEGIN EXCLUSIVE"));
    executeNative(QStringLiteral("COMMIT"));
}

void Connection::vacuumInto(const QString& destination) {
    QFile::remove(destination);
    Statement st(*this, QStringLiteral("VACUUM INTO ?1"));
    st.bind(1, destination);
    st.step();
}

void Connection::close() {
    if (!db_) return;
    clearStatementCache();
    columnCache_.clear();
    sqlite3_close_v2(db_);
    db_ = nullptr;
    path_.clear();
}

void Connection::clearStatementCache() {
    for (sqlite3_stmt* s : std::as_const(cache_))
        sqlite3_finalize(s);
    cache_.clear();
}

sqlite3_stmt* Connection::takeStatement(const QString& sql) {
    if (!db_)
        throw EngineError(err::GeneralFailure,
                          QStringLiteral("Die Verbindung zur Datenbank ist geschlossen."));
    const auto it = cache_.find(sql);
    if (it != cache_.end()) {
        sqlite3_stmt* s = it.value();
        cache_.erase(it);
        return s;
    }
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        const EngineError e = error(rc, sql);
        sqlite3_finalize(stmt);
        throw e;
    }
    if (!stmt) throw EngineError(err::CommandError, QStringLiteral("Leere SQL-Anweisung."));
    return stmt;
}

void Connection::returnStatement(const QString& sql, sqlite3_stmt* stmt) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (!db_ || cache_.contains(sql) || cache_.size() >= 200 || sqlite3_db_handle(stmt) != db_) {
        sqlite3_finalize(stmt);
        return;
    }
    cache_.insert(sql, stmt);
}

void Connection::executeNative(const QString& sql) {
    Statement st(*this, sql);
    while (st.step()) {
    }
}

int Connection::execute(const QString& sql, const QVariantList& values,
                        const QStringList& parameterNames) {
    if (!db_)
        throw EngineError(err::GeneralFailure,
                          QStringLiteral("Die Verbindung zur Datenbank ist geschlossen."));
    const QString trimmed = sql.trimmed();
    if (trimmed.startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive)) {
        const QString native = translateCreateTable(trimmed);
        {
            Statement st(*this, native);
            st.step();
        }
        clearStatementCache(); // prepared statements may refer to the old schema
        columnCache_.clear();
        return 0;
    }
    const TranslatedSql translated = translateSql(sql, parameterNames);
    Statement st(*this, translated.sql);
    st.bindAll(values);
    while (st.step()) {
    }
    if (trimmed.startsWith(QLatin1String("DROP"), Qt::CaseInsensitive) ||
        trimmed.startsWith(QLatin1String("ALTER"), Qt::CaseInsensitive)) {
        clearStatementCache();
        columnCache_.clear();
    }
    return sqlite3_changes(db_);
}

bool Connection::tableExists(const QString& table) {
    Statement st(*this, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND "
                                       "name = ?1 COLLATE NOCASE"));
    st.bind(1, table);
    return st.step();
}

QString Connection::canonicalTableName(const QString& table) {
    Statement st(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND "
                                       "name = ?1 COLLATE NOCASE"));
    st.bind(1, table);
    if (!st.step()) return QString();
    return st.value(0).toString();
}

QStringList Connection::tableNames() {
    QStringList names;
    Statement st(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND "
                                       "name NOT LIKE 'sqlite_%' ORDER BY name"));
    while (st.step())
        names << st.value(0).toString();
    return names;
}

QList<ColumnInfo> Connection::columns(const QString& table) {
    const QString key = table.toLower();
    const auto cached = columnCache_.constFind(key);
    if (cached != columnCache_.constEnd()) return cached.value();
    if (!tableExists(table))
        throw sqliteError(SQLITE_ERROR, SQLITE_ERROR, QStringLiteral("no such table: ") + table);
    QList<ColumnInfo> result;
    // PRAGMA with a bound name: table_info as a table-valued function
    Statement st(*this, QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk FROM "
                                       "pragma_table_info(?1)"));
    st.bind(1, canonicalTableName(table));
    while (st.step()) {
        ColumnInfo c;
        c.name = st.value(0).toString();
        c.declaredType = st.value(1).toString();
        c.notNull = st.int64(2) != 0;
        const QVariant d = st.value(3);
        c.defaultValue = d.isNull() ? QVariant() : parseDefault(d.toString().toUtf8().constData());
        c.primaryKey = st.int64(4) != 0;
        result << c;
    }
    columnCache_.insert(key, result);
    return result;
}

void Connection::backupTo(const QString& destination) {
    if (!db_)
        throw EngineError(err::GeneralFailure,
                          QStringLiteral("Die Verbindung zur Datenbank ist geschlossen."));
    const QFileInfo target(destination);
    const QString temp = target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                         QStringLiteral(".") + QUuid::createUuid().toString(QUuid::Id128).left(8) +
                         QStringLiteral(".tmp");
    sqlite3* dest = nullptr;
    int rc = openSqlite(QFile::encodeName(temp), &dest, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (rc == SQLITE_OK) {
        sqlite3_backup* backup = sqlite3_backup_init(dest, "main", db_, "main");
        if (backup) {
            sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
        }
        rc = sqlite3_errcode(dest);
    }
    const EngineError failure = sqliteError(
        rc, rc, dest ? QString::fromUtf8(sqlite3_errmsg(dest)) : QString(), destination);
    sqlite3_close(dest);
    if (rc != SQLITE_OK) {
        QFile::remove(temp);
        throw failure;
    }
    QFile::remove(destination);
    if (!QFile::rename(temp, destination)) {
        QFile::remove(temp);
        throw EngineError(
            err::PermissionDenied,
            QStringLiteral("Die Datei '%1' kann nicht geschrieben werden.").arg(destination));
    }
}

int Connection::changes() const {
    return db_ ? sqlite3_changes(db_) : 0;
}

qint64 Connection::lastInsertRowId() const {
    return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

quint64 Connection::changeCounter() const {
    return db_ ? stampBase_ + static_cast<quint64>(sqlite3_total_changes64(db_)) : 0;
}

void Connection::createDatabaseFile(const QString& path) {
    const QFileInfo target(path);
    QDir().mkpath(target.absolutePath());
    const QString temp = target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                         QStringLiteral(".new.tmp");
    QFile::remove(temp);
    sqlite3* db = nullptr;
    int rc = openSqlite(QFile::encodeName(temp), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (rc == SQLITE_OK) {
        // An empty SQLite file has no header until something is written; give it one so the
        // file is a valid database of its own, with the program's application id.
        const QByteArray pragmas =
            QByteArrayLiteral("PRAGMA journal_mode=DELETE; PRAGMA user_version=1; "
                              "PRAGMA application_id=") +
            QByteArray::number(applicationId) + ';';
        rc = sqlite3_exec(db, pragmas.constData(), nullptr, nullptr, nullptr);
    }
    const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        QFile::remove(temp);
        throw EngineError(err::FileAccess,
                          QStringLiteral("Die Datenbank '%1' kann nicht angelegt werden (%2).")
                              .arg(QDir::toNativeSeparators(path), message));
    }
    QFile::remove(path);
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        throw EngineError(err::PermissionDenied,
                          QStringLiteral("Die Datei '%1' kann nicht angelegt werden.").arg(path));
    }
}

void Connection::compactDatabase(const QString& source, const QString& destination) {
    Connection c;
    c.open(source);
    c.vacuumInto(destination);
}

} // namespace engine
