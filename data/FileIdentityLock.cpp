#include "data/FileIdentityLock.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace data {

namespace {

// SQLite locks bytes 0x40000000 to 0x400001FF of every database file; ours lies past them.
constexpr off_t LockByte = 0x40000000 + 0x1000;

} // namespace

FileIdentityLock::~FileIdentityLock() {
    unlock();
}

FileIdentityLock::Result FileIdentityLock::lock(const QString& path) {
    unlock();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return Result::Unsupported;
    struct flock region = {};
    region.l_type = F_WRLCK;
    region.l_whence = SEEK_SET;
    region.l_start = LockByte;
    region.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &region) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EAGAIN || error == EACCES ? Result::HeldByOther : Result::Unsupported;
    }
    fd_ = fd;
    return Result::Locked;
}

void FileIdentityLock::unlock() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

} // namespace data
