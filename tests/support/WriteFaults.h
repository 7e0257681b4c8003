#pragma once
// Writes that fail where a full disk lets them fail: at the final flush of the last bytes
// (LastWrite) or when the file is synced and closed (Close), through the seam of
// platform::SafeFile; and a real small disk (a tmpfs, when the tests may mount one).

#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace testing {

enum class FailingStep : qint64 { LastWrite = -1, Close = -2 };

inline qint64& failingStep() {
    static qint64 step = 0;
    return step;
}

// While it lives, the chosen step of every SafeFile fails with the system's "disk full" text.
class FailingWrites {
public:
    explicit FailingWrites(FailingStep step) {
        failingStep() = qint64(step);
        platform::setWriteFaultHook([](qint64 s) {
            return s == failingStep() ? QStringLiteral("No space left on device") : QString();
        });
    }
    ~FailingWrites() { platform::setWriteFaultHook(nullptr); }
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;
};

// A tmpfs of the given size; mounted() is false where the tests may not mount one.
class SmallDisk {
public:
    explicit SmallDisk(int kibibytes) {
        mounted_ =
            dir_.isValid() &&
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=%1k").arg(kibibytes), QStringLiteral("tmpfs"),
                               dir_.path()}) == 0;
    }
    ~SmallDisk() {
        if (mounted_) QProcess::execute(QStringLiteral("umount"), {dir_.path()});
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString path(const QString& name) const { return dir_.filePath(name); }
    // Fills the disk up to about `left` free bytes.
    bool leaveFree(qint64 left) {
        QFile filler(path(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly)) return false;
        const QByteArray block(1024, 'x');
        qint64 written = 0;
        while (filler.write(block) == block.size() && filler.flush())
            written += block.size();
        filler.close();
        return filler.resize(qMax<qint64>(0, written - left));
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace testing
