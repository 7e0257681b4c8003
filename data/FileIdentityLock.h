#pragma once
// A lock on the database file itself, whatever name it was reached by: a symbolic link, a second
// hard link or its own path all lead to the same file, and a second program on it is refused.
// It is an open-file-description lock (Linux) on one byte far beyond the data and beyond the
// bytes SQLite locks, so it never touches SQLite's own locking and stock tools ignore it.

#include <QString>

namespace data {

class FileIdentityLock {
public:
    enum class Result { Locked, HeldByOther, Unsupported };
    FileIdentityLock() = default;
    ~FileIdentityLock();
    FileIdentityLock(const FileIdentityLock&) = delete;
    FileIdentityLock& operator=(const FileIdentityLock&) = delete;

    // Unsupported: the file cannot be opened, or its file system has no such locks; the lock
    // file beside the database is then the only guard.
    Result lock(const QString& path);
    void unlock();

private:
    int fd_ = -1;
};

} // namespace data
