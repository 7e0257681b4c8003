#pragma once
// Every file the program writes goes through here: the content is written to a temporary file
// in the target's folder, flushed to the disk and checked, and only then renamed over the target.
// Any failure on the way removes the temporary file and leaves an existing target byte for byte;
// the error names the file and the cause in German ("Der Datenträger ist voll.").

#include <QSaveFile>
#include <QString>

#include <stdexcept>

namespace platform {

// A file that could not be written; what() is the German message (UTF-8).
class FileWriteError : public std::runtime_error {
public:
    explicit FileWriteError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The German cause of a failed write of path, from the system's error text (which may be an
// English text of the C library or Qt's "Unknown error"): a full disk, missing write rights, a
// read-only disk, a missing folder; otherwise the system's text.
QString writeFailureReason(const QString& path, const QString& systemError);
// "Die Datei <path> konnte nicht geschrieben werden. <reason>"
QString writeFailureMessage(const QString& path, const QString& systemError);

class SafeFile {
public:
    // Opens the temporary file; throws FileWriteError when the folder cannot take it.
    explicit SafeFile(const QString& path);
    // Without commit() the temporary file is removed and an existing file stays.
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    void write(const QByteArray& bytes);
    // Flushes the last buffered bytes, syncs the file to the disk and puts it in place of the
    // target; throws FileWriteError when any of these fails.
    void commit();

    QString fileName() const { return file_.fileName(); }

private:
    [[noreturn]] void fail(const QString& systemError);

    QSaveFile file_;
};

// The whole content as one file at path, through SafeFile.
void writeFileSafely(const QString& path, const QByteArray& content);

// Puts the finished file written by another writer (a PDF printer) in place of target, after
// checking that it is complete: it must exist, be synced to the disk, and end with endMark
// (ignoring trailing line ends) when one is given. Replaces target in one rename, so an existing
// target stays whole when anything fails; the finished file is removed then. Throws
// FileWriteError.
void replaceWithFinished(const QString& finished, const QString& target, const QByteArray& endMark);

// Test seam: when set, called with the number of bytes about to be written in each write, the
// final flush (-1) and the sync (-2); a non-empty return is taken as the system's error text of
// that step. Lets tests fail the last write or the close without a full disk.
using WriteFaultHook = QString (*)(qint64 step);
void setWriteFaultHook(WriteFaultHook hook);

} // namespace platform
