#include "production/writers/OutputNaming.h"

#include <QFile>

#include <memory>

#include <cerrno>
#include <cstdlib>
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

int openRetrying(const char* path, int flags, mode_t mode)
{
    int fd = -1;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// The folder part of a path as the system takes it ("." for a bare name).
QByteArray folderOf(const QByteArray& nativePath)
{
    const qsizetype slash = nativePath.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : nativePath.left(slash);
}

// A file with bytes in it but not yet a name in the folder, so nobody can ever
// see it empty or half-written: an unnamed O_TMPFILE where the file system
// has them, else a hidden temporary name that is removed after linking.
class UnpublishedFile {
public:
    UnpublishedFile(const UnpublishedFile&) = delete;
    UnpublishedFile& operator=(const UnpublishedFile&) = delete;

    // Returns 0 and sets file, or the errno that stopped creating it.
    static int create(const QByteArray& folder, std::unique_ptr<UnpublishedFile>& file)
    {
        const int fd = openRetrying(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0 && procFdLinksWork()) {
            file.reset(new UnpublishedFile(fd, QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(fd), false));
            return 0;
        }
        if (fd >= 0)
            ::close(fd);
        // EOPNOTSUPP: no O_TMPFILE on this file system; EISDIR: a kernel
        // older than O_TMPFILE. Anything else is the folder's own fault.
        else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
        QByteArray name = folder + QByteArrayLiteral("/.pennolux-XXXXXX");
        const int hiddenFd = ::mkostemp(name.data(), O_CLOEXEC);
        if (hiddenFd < 0)
            return errno;
        // mkostemp makes 0600; an image is as readable as any file the user makes.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(hiddenFd, 0666 & ~mask);
        file.reset(new UnpublishedFile(hiddenFd, name, true));
        return 0;
    }

    ~UnpublishedFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (hidden_)
            ::unlink(source_.constData());
    }

    int fd() const { return fd_; }

    // Returns 0, or the errno of the failing close (a late write error). The
    // unnamed file's /proc link goes with the descriptor: publish first.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        // close() is not retried on EINTR: on Linux the descriptor is gone either way.
        return result == 0 || errno == EINTR ? 0 : errno;
    }

    // Gives the file the name, which fails with EEXIST when anything holds it:
    // a link never replaces an existing name. Returns 0 or the errno.
    int publishAs(const QByteArray& nativePath) const
    {
        const int flags = hidden_ ? 0 : AT_SYMLINK_FOLLOW;
        return ::linkat(AT_FDCWD, source_.constData(), AT_FDCWD, nativePath.constData(), flags) == 0 ? 0 : errno;
    }

private:
    UnpublishedFile(int fd, QByteArray source, bool hidden) : fd_(fd), source_(std::move(source)), hidden_(hidden) {}

    // An unnamed file is linked through /proc; without /proc it cannot be.
    static bool procFdLinksWork()
    {
        static const bool kWorks = ::access("/proc/self/fd", X_OK) == 0;
        return kWorks;
    }

    int fd_ = -1;
    QByteArray source_;
    bool hidden_ = false;
};

} // namespace

QString defaultBaseName(int number)
{
    return QStringLiteral("Output") + QString::number(number);
}

QString outputPath(const QString& destination, int number, ImageFormat format)
{
    return destination + u'/' + defaultBaseName(number) + extensionFor(format);
}

QString storeUnderFreeName(const QString& path, const QByteArray& bytes)
{
    const QByteArray firstPath = QFile::encodeName(path);
    std::unique_ptr<UnpublishedFile> file;
    if (const int error = UnpublishedFile::create(folderOf(firstPath), file); error != 0)
        throw fileCreateError(path, systemReason(error));
    if (const int error = writeAll(file->fd(), bytes); error != 0)
        throw fileCreateError(path, systemReason(error));

    // No look before linking: its EEXIST says the same as a check would (a
    // folder fails, a file moves on to the next name), and no other writer can
    // slip in between a look and the link.
    NameSequence names(path);
    for (;;) {
        const QByteArray nativePath = QFile::encodeName(names.current());
        const int error = file->publishAs(nativePath);
        if (error == 0)
            break;
        if (error != EEXIST)
            throw fileCreateError(names.current(), systemReason(error));
        // A folder of this name is not skipped: writing over it is what fails.
        if (isDirectory(nativePath))
            throw fileCreateError(names.current(), systemReason(EISDIR));
        names.advance();
    }
    if (const int error = file->close(); error != 0) {
        ::unlink(QFile::encodeName(names.current()).constData());
        throw fileCreateError(names.current(), systemReason(error));
    }
    return names.current();
}

} // namespace pennolux
