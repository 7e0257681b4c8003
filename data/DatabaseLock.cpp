#include "data/DatabaseLock.h"

#include "data/DatabaseFile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

#include <signal.h>

namespace data {

namespace {

// A lock of a program on this computer that no longer runs.
bool isStale(QLockFile& lock) {
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application)) return false;
    return pid > 0 && host == QSysInfo::machineHostName() && ::kill(pid_t(pid), 0) != 0 &&
           errno == ESRCH;
}

} // namespace

QString lockFilePath(const QString& databasePath) {
    return resolvedPath(databasePath) + QStringLiteral(".lock");
}

LockResult lockDatabase(Session& session, QString& detail) {
    session.databaseLock.reset();
    session.fileLock.unlock();
    const QString lockPath = lockFilePath(session.location.path);
    const QString folder = QFileInfo(lockPath).absolutePath();
    QDir().mkpath(folder);
    auto lock = std::make_unique<QLockFile>(lockPath);
    // A lock is stale only when its program no longer runs, however long it has been held.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError || isStale(*lock)) {
            // a stale lock that stays because its folder cannot be written is no other program
            detail = QStringLiteral("Der Ordner '%1' kann nicht beschrieben werden.")
                         .arg(QDir::toNativeSeparators(folder));
            return LockResult::NoAccess;
        }
        qint64 pid = 0;
        QString host;
        QString application;
        if (lock->getLockInfo(&pid, &host, &application))
            detail = QStringLiteral("Rechner %1, Prozess %2").arg(host).arg(pid);
        return LockResult::HeldByOther;
    }
    if (QFileInfo::exists(session.location.path) &&
        session.fileLock.lock(resolvedPath(session.location.path)) ==
            FileIdentityLock::Result::HeldByOther)
        return LockResult::HeldByOther; // the same file through another name
    session.databaseLock = std::move(lock);
    return LockResult::Locked;
}

} // namespace data
