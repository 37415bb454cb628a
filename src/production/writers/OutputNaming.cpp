#include "production/writers/OutputNaming.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppError.h"

namespace pennolux {

namespace {

// The names "Output7.png", "Output7 (2).png", "Output7 (3).png", ... all built
// from the first path's folder, base name and extension.
class NameSequence {
public:
    explicit NameSequence(const QString& path) : current_(path)
    {
        const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
        folder_ = path.left(nameStart);
        const QString fileName = path.mid(nameStart);
        const qsizetype dot = fileName.lastIndexOf(u'.');
        base_ = dot < 0 ? fileName : fileName.left(dot);
        extension_ = dot < 0 ? QString() : fileName.mid(dot);
    }

    const QString& current() const { return current_; }

    void advance()
    {
        current_ = folder_ + base_ + QStringLiteral(" (") + QString::number(counter_) + u')' + extension_;
        ++counter_;
    }

private:
    QString current_;
    QString folder_;
    QString base_;
    QString extension_;
    qint64 counter_ = 2;
};

// strerror_r comes in a GNU and an XSI flavour; these overloads take either.
[[maybe_unused]] QString messageOf(const char* gnuResult, const char*)
{
    return QString::fromLocal8Bit(gnuResult);
}
[[maybe_unused]] QString messageOf(int, const char* xsiBuffer)
{
    return QString::fromLocal8Bit(xsiBuffer);
}

// The system's own text for an errno, without strerror's shared buffer.
QString systemReason(int error)
{
    char buffer[256] = {};
    return messageOf(::strerror_r(error, buffer, sizeof buffer), buffer);
}

bool isDirectory(const QByteArray& nativePath)
{
    struct stat status {};
    return ::stat(nativePath.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Anything occupying the name except a folder, a dangling link included,
// since exclusive creation would fail on it too.
bool isTakenByFile(const QByteArray& nativePath)
{
    struct stat status {};
    return ::lstat(nativePath.constData(), &status) == 0 && !isDirectory(nativePath);
}

void skipTakenNames(NameSequence& names)
{
    while (isTakenByFile(QFile::encodeName(names.current())))
        names.advance();
}

int openExclusively(const QByteArray& nativePath)
{
    int fd = -1;
    do {
        fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Returns 0, or the errno of the failing write.
int writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype remaining = bytes.size();
    while (remaining > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(remaining));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        remaining -= written;
    }
    return 0;
}

// Returns 0, or the errno of the failing write or close; a file that could
// not be written whole is removed, so no truncated picture stays behind.
int writeAndClose(int fd, const QByteArray& nativePath, const QByteArray& bytes)
{
    int error = writeAll(fd, bytes);
    // close() is not retried on EINTR: on Linux the descriptor is gone either way.
    if (::close(fd) != 0 && error == 0)
        error = errno == EINTR ? 0 : errno;
    if (error != 0)
        ::unlink(nativePath.constData());
    return error;
}

} // namespace

QString outputPath(const QString& destination, int number, ImageFormat format)
{
    return destination + QStringLiteral("/Output") + QString::number(number) + extensionFor(format);
}

QString UniqueOutputName(const QString& path)
{
    NameSequence names(path);
    skipTakenNames(names);
    return names.current();
}

QString storeUnderFreeName(const QString& path, const QByteArray& bytes)
{
    // No look before the exclusive creation: its EEXIST says the same as a
    // check would (a folder fails, a file moves on to the next name), one
    // system call per image earlier.
    NameSequence names(path);
    for (;;) {
        const QByteArray nativePath = QFile::encodeName(names.current());
        const int fd = openExclusively(nativePath);
        if (fd < 0) {
            const int error = errno;
            if (error != EEXIST)
                throw fileCreateError(names.current(), systemReason(error));
            // A folder of this name is not skipped: writing over it is what fails.
            if (isDirectory(nativePath))
                throw fileCreateError(names.current(), systemReason(EISDIR));
            // Another writer took the name since it was checked.
            names.advance();
            continue;
        }
        if (const int error = writeAndClose(fd, nativePath, bytes); error != 0)
            throw fileCreateError(names.current(), systemReason(error));
        return names.current();
    }
}

} // namespace pennolux
