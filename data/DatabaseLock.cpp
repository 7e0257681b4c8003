#include "data/DatabaseLock.h"

#include <QDir>
#include <QFileInfo>

namespace data {

QString lockFilePath(const QString& databasePath) {
    return databasePath + QStringLiteral(".lock");
}

LockResult lockDatabase(Session& session, QString& holder) {
    session.databaseLock.reset();
    QDir().mkpath(QFileInfo(session.location.path).absolutePath());
    auto lock = std::make_unique<QLockFile>(lockFilePath(session.location.path));
    // A lock is stale only when its program no longer runs, however long it has been held.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        session.databaseLock = std::move(lock);
        return LockResult::Locked;
    }
    if (lock->error() != QLockFile::LockFailedError)
        return LockResult::NoAccess;
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock->getLockInfo(&pid, &host, &application))
        holder = QStringLiteral("Rechner %1, Prozess %2").arg(host).arg(pid);
    return LockResult::HeldByOther;
}

} // namespace data
