#include "platform/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace platform {

namespace {

WriteFaultHook faultHook = nullptr;

QString injectedFault(qint64 step) {
    return faultHook ? faultHook(step) : QString();
}

// The texts the C library and Qt (in English or in its German translation) give for code.
bool saysCode(const QString& systemError, int code, const char* qtText) {
    if (systemError.isEmpty()) return false;
    const QString libc = QString::fromLocal8Bit(std::strerror(code));
    return systemError.contains(libc, Qt::CaseInsensitive) ||
           systemError.contains(QLatin1String(qtText), Qt::CaseInsensitive) ||
           systemError.contains(QCoreApplication::translate("QIODevice", qtText),
                                Qt::CaseInsensitive);
}

QString folderOf(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absolutePath());
}

bool bytesReadBack(const QString& path, const QByteArray& endMark) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return false;
    if (::fsync(file.handle()) != 0) return false;
    if (endMark.isEmpty()) return true;
    const qint64 tail = qMin<qint64>(file.size(), endMark.size() + 16);
    if (!file.seek(file.size() - tail)) return false;
    return file.read(tail).trimmed().endsWith(endMark);
}

} // namespace

void setWriteFaultHook(WriteFaultHook hook) {
    faultHook = hook;
}

QString writeFailureReason(const QString& path, const QString& systemError) {
    if (saysCode(systemError, ENOSPC, "No space left on device") ||
        saysCode(systemError, EDQUOT, "Disk quota exceeded"))
        return QStringLiteral("Der Datenträger ist voll.");
    if (saysCode(systemError, EROFS, "Read-only file system"))
        return QStringLiteral("Der Datenträger mit dem Ordner %1 ist schreibgeschützt.")
            .arg(folderOf(path));
    if (saysCode(systemError, EACCES, "Permission denied") ||
        saysCode(systemError, EPERM, "Operation not permitted"))
        return QStringLiteral("Keine Schreibrechte für %1.").arg(folderOf(path));
    if (saysCode(systemError, ENOENT, "No such file or directory"))
        return QStringLiteral("Der Ordner %1 ist nicht vorhanden.").arg(folderOf(path));
    if (saysCode(systemError, EIO, "Input/output error"))
        return QStringLiteral("Der Datenträger meldet einen Ein- und Ausgabefehler.");
    // A cause the system did not name: a full disk is the common one.
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    if (storage.isValid() && storage.isReady() && storage.bytesAvailable() < 64 * 1024)
        return QStringLiteral("Der Datenträger ist voll.");
    if (storage.isValid() && storage.isReadOnly())
        return QStringLiteral("Der Datenträger mit dem Ordner %1 ist schreibgeschützt.")
            .arg(folderOf(path));
    if (systemError.isEmpty() || systemError.contains(QLatin1String("Unknown error")) ||
        systemError.contains(QLatin1String("Unbekannter Fehler")))
        return QStringLiteral("Die Datei wurde nicht vollständig geschrieben.");
    return QStringLiteral("Ursache: %1").arg(systemError);
}

QString writeFailureMessage(const QString& path, const QString& systemError) {
    return QStringLiteral("Die Datei %1 konnte nicht geschrieben werden. %2")
        .arg(QDir::toNativeSeparators(path), writeFailureReason(path, systemError));
}

SafeFile::SafeFile(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::WriteOnly)) fail(file_.errorString());
}

SafeFile::~SafeFile() {
    if (file_.isOpen()) file_.cancelWriting();
}

void SafeFile::fail(const QString& systemError) {
    if (file_.isOpen()) file_.cancelWriting();
    throw FileWriteError(writeFailureMessage(file_.fileName(), systemError));
}

void SafeFile::write(const QByteArray& bytes) {
    const QString fault = injectedFault(bytes.size());
    if (!fault.isEmpty()) fail(fault);
    if (file_.write(bytes) != bytes.size()) fail(file_.errorString());
}

void SafeFile::commit() {
    // QSaveFile::commit() does not look at the flush of its last buffered bytes: flush and sync
    // here, where a failure can still be seen.
    QString fault = injectedFault(-1);
    if (!fault.isEmpty()) fail(fault);
    if (!file_.flush() || file_.error() != QFileDevice::NoError) fail(file_.errorString());
    fault = injectedFault(-2);
    if (!fault.isEmpty()) fail(fault);
    if (::fsync(file_.handle()) != 0) fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!file_.commit()) {
        // the temporary file is gone already; the target is untouched
        throw FileWriteError(writeFailureMessage(file_.fileName(), file_.errorString()));
    }
}

void writeFileSafely(const QString& path, const QByteArray& content) {
    SafeFile file(path);
    file.write(content);
    file.commit();
}

void replaceWithFinished(const QString& finished, const QString& target,
                         const QByteArray& endMark) {
    const auto fail = [&](const QString& systemError) {
        QFile::remove(finished);
        throw FileWriteError(writeFailureMessage(target, systemError));
    };
    const QString fault = injectedFault(-2);
    if (!fault.isEmpty()) fail(fault);
    errno = 0;
    if (!QFileInfo::exists(finished) || !bytesReadBack(finished, endMark)) {
        const int code = errno;
        fail(code ? QString::fromLocal8Bit(std::strerror(code)) : QString());
    }
    // rename() replaces an existing target in one step: there is no moment without a file
    if (std::rename(QFile::encodeName(finished).constData(),
                    QFile::encodeName(target).constData()) != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace platform
