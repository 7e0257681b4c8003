#include "data/DatabaseFile.h"

#include "engine/Connection.h"
#include "engine/DateValue.h"
#include "engine/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace data {

namespace {

const QByteArray SqliteHeader("SQLite format 3\0", 16);

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A Jet 3/4 or ACE file starts with a page whose bytes 4 to 18 name the engine.
bool isJetHeader(const QByteArray& head) {
    const QByteArray name = head.mid(4, 15);
    return name == "Standard Jet DB" || name == "Standard ACE DB";
}

qint64 countRows(engine::Connection& c, const QString& table) {
    engine::Statement st(c, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table));
    return st.step() ? st.int64(0) : 0;
}

} // namespace

bool isDamaged(FileState state) {
    return state == FileState::Empty || state == FileState::NotDatabase ||
           state == FileState::Corrupt;
}

Inspection inspectDatabaseFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {FileState::Missing, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {FileState::Busy,
                QStringLiteral("Die Datei '%1' kann nicht gelesen werden.").arg(shown(path))};
    const QByteArray head = file.read(100);
    file.close();
    if (info.size() == 0)
        return {FileState::Empty,
                QStringLiteral("Die Datenbank '%1' ist leer (0 Byte).").arg(shown(path))};
    if (isJetHeader(head)) return {FileState::Foreign, {}};
    if (!head.startsWith(SqliteHeader))
        return {FileState::NotDatabase,
                QStringLiteral("Nicht erkennbares Datenbankformat '%1'.").arg(shown(path))};
    try {
        engine::Connection c;
        c.open(path); // a hot journal of a crashed writer is played back here
        engine::Statement check(c, QStringLiteral("PRAGMA quick_check"));
        const QString result = check.step() ? check.value(0).toString() : QString();
        if (result != QLatin1String("ok"))
            return {
                FileState::Corrupt,
                QStringLiteral("Die Datenbank '%1' ist beschädigt (%2).").arg(shown(path), result)};
        // Busy is what SQLite says: a process writing now holds the file's reserved or exclusive
        // lock, so a write transaction of ours fails after the busy timeout. A journal beside the
        // file that is not hot (a crash before it was synced) is ignored, as SQLite ignores it.
        c.executeNative(QStringLiteral("BEGIN IMMEDIATE"));
        c.executeNative(QStringLiteral("ROLLBACK"));
    } catch (const engine::EngineError& e) {
        if (e.fault() == engine::FileFault::Corrupt) return {FileState::Corrupt, e.description()};
        return {FileState::Busy, e.description()};
    }
    return {FileState::Sound, {}};
}

Contents readContents(const QString& path) {
    Contents contents;
    try {
        engine::Connection c;
        c.openSnapshot(path);
        const QStringList names = c.tableNames();
        contents.readable = true;
        const auto has = [&names](const char* table) {
            return names.contains(QLatin1String(table), Qt::CaseInsensitive);
        };
        contents.hasTables = has("Mitarbeiter") && has("Dienstzeiten") && has("Einstellungen");
        for (const QString& table : names)
            contents.rows += countRows(c, table);
        if (has("Mitarbeiter")) contents.employees = countRows(c, QStringLiteral("Mitarbeiter"));
        if (has("Dienstzeiten")) {
            contents.duties = countRows(c, QStringLiteral("Dienstzeiten"));
            engine::Statement last(c, QStringLiteral("SELECT max(Tag) FROM Dienstzeiten"));
            if (last.step() && !last.isNull(0)) contents.lastDay = engine::toDate(last.value(0));
        }
    } catch (const engine::EngineError&) {
        contents.readable = false;
    }
    return contents;
}

bool holdsMore(const Contents& candidate, const Contents& other) {
    if (candidate.duties != other.duties) return candidate.duties > other.duties;
    if (candidate.lastDay != other.lastDay) return candidate.lastDay > other.lastDay;
    return candidate.rows > other.rows;
}

QString freshSiblingName(const QString& path, const QString& suffix, const QDateTime& now) {
    const QString stem =
        path + QLatin1Char('.') + now.toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss"));
    QString name = stem + suffix;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QStringLiteral("-%1").arg(n) + suffix;
    return name;
}

namespace {

bool syncToDisk(const QString& path, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

QString resolvedPath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty()) return canonical;
    return info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
}

bool replaceAtomically(const QString& from, const QString& to) {
    syncToDisk(from, O_RDONLY);
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return false;
    syncToDisk(QFileInfo(to).absolutePath(), O_RDONLY | O_DIRECTORY);
    return true;
}

QString cannotWriteText(const QString& path, qint64 bytesNeeded) {
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < bytesNeeded)
        return QStringLiteral("Der Datenträger ist voll: die Datei '%1' kann nicht geschrieben "
                              "werden (%2 MB frei, %3 MB nötig).")
            .arg(shown(path))
            .arg(disk.bytesAvailable() / (1024 * 1024))
            .arg((bytesNeeded + 1024 * 1024 - 1) / (1024 * 1024));
    return QStringLiteral("Die Datei '%1' kann nicht geschrieben werden.").arg(shown(path));
}

QString describe(const Contents& contents) {
    return QStringLiteral("%1 Mitarbeiter, %2 Dienste")
        .arg(contents.employees)
        .arg(contents.duties);
}

} // namespace data
