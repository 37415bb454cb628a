#pragma once

#include <QFile>
#include <QString>
#include <algorithm>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace pennolux::testing {

// A socket bound at a path: a file that exists but that no one can open for
// reading, root included, so tests running as root can still have an
// unreadable file.
class SocketFile {
public:
    explicit SocketFile(const QString& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray bytes = QFile::encodeName(path);
        if (fd_ < 0 || bytes.size() >= qsizetype(sizeof address.sun_path))
            return;
        std::copy(bytes.begin(), bytes.end(), address.sun_path);
        bound_ = ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~SocketFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SocketFile(const SocketFile&) = delete;
    SocketFile& operator=(const SocketFile&) = delete;
    bool bound() const { return bound_; }

private:
    int fd_;
    bool bound_ = false;
};

} // namespace pennolux::testing
