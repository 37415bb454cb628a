#include "LocalService.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <httplib.h>
#include <zlib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace pennolux::testing {

namespace {

// Made once per test run in a folder of its own.
class Certificates {
public:
    static const Certificates& instance()
    {
        static const Certificates certificates;
        return certificates;
    }

    QString path(const char* name) const { return folder_.filePath(QString::fromLatin1(name)); }

private:
    Certificates()
    {
        if (!folder_.isValid())
            throw std::runtime_error("no folder for the test certificates");
        const QStringList ecKey{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
        run(QStringList{"req", "-x509"} + ecKey +
            QStringList{"-keyout", "ca.key", "-out", "ca.crt", "-days", "2", "-subj", "/CN=Pennolux Test Authority",
                        "-addext", "basicConstraints=critical,CA:TRUE", "-addext",
                        "keyUsage=critical,keyCertSign,cRLSign"});
        run(QStringList{"req"} + ecKey +
            QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1"});
        signByAuthority("server.crt", "subjectAltName=IP:127.0.0.1");
        signByAuthority("other.crt", "subjectAltName=DNS:localhost");
        run(QStringList{"req", "-x509"} + ecKey +
            QStringList{"-keyout", "self.key", "-out", "self.crt", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                        "subjectAltName=IP:127.0.0.1"});
    }

    void signByAuthority(const char* certificate, const QByteArray& subjectAltName)
    {
        QFile extensions(path("extensions.cnf"));
        if (!extensions.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw std::runtime_error("cannot write the certificate extensions");
        extensions.write(subjectAltName + "\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n"
                                          "keyUsage=critical,digitalSignature\n");
        extensions.close();
        run({"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key", "-CAcreateserial", "-days",
             "2", "-out", certificate, "-extfile", "extensions.cnf"});
    }

    void run(const QStringList& arguments) const
    {
        QProcess openssl;
        openssl.setWorkingDirectory(folder_.path());
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start("openssl", arguments);
        if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
            openssl.exitCode() != 0)
            throw std::runtime_error("openssl " + arguments.join(' ').toStdString() + ": " +
                                     openssl.readAll().toStdString());
    }

    QTemporaryDir folder_;
};

int boundPort(int socketFd)
{
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    getsockname(socketFd, reinterpret_cast<sockaddr*>(&bound), &length);
    return ntohs(bound.sin_port);
}

int listenOnLoopback()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    return fd;
}

int connectToLoopback(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const char* data, ssize_t size)
{
    while (size > 0) {
        const ssize_t sent = send(fd, data, size_t(size), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        size -= sent;
    }
    return true;
}

} // namespace

bool RecordedRequest::hasHeader(const std::string& name) const
{
    for (const auto& [key, value] : headers) {
        if (strcasecmp(key.c_str(), name.c_str()) == 0)
            return true;
    }
    return false;
}

std::string RecordedRequest::header(const std::string& name) const
{
    for (const auto& [key, value] : headers) {
        if (strcasecmp(key.c_str(), name.c_str()) == 0)
            return value;
    }
    return {};
}

struct LocalService::Impl {
    explicit Impl(ServerCertificate certificate)
        : secure(certificateFile(certificate).c_str(), keyFile(certificate).c_str())
    {
        if (!secure.is_valid())
            throw std::runtime_error("the secure test server did not start");
        for (httplib::Server* server : {static_cast<httplib::Server*>(&secure), &plain}) {
            const bool isSecure = server == &secure;
            auto handler = [this, isSecure](const httplib::Request& request, httplib::Response& response) {
                handle(isSecure, request, response);
            };
            server->Post(".*", handler);
            server->Get(".*", handler);
            server->set_keep_alive_max_count(1);
        }
        securePort = secure.bind_to_any_port("127.0.0.1");
        plainPort = plain.bind_to_any_port("127.0.0.1");
        secureThread = std::thread([this] { secure.listen_after_bind(); });
        plainThread = std::thread([this] { plain.listen_after_bind(); });
        while (!secure.is_running() || !plain.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));

        listenFd = listenOnLoopback();
        port = boundPort(listenFd);
        wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        acceptor = std::thread([this] { acceptConnections(); });
    }

    ~Impl()
    {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        released.notify_all();
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(wakeFd, &one, sizeof one);
        acceptor.join();
        for (std::thread& connection : connections)
            connection.join();
        secure.stop();
        plain.stop();
        secureThread.join();
        plainThread.join();
        close(listenFd);
        close(wakeFd);
    }

    static std::string certificateFile(ServerCertificate certificate)
    {
        const Certificates& files = Certificates::instance();
        switch (certificate) {
        case ServerCertificate::Trusted: return files.path("server.crt").toStdString();
        case ServerCertificate::SelfSigned: return files.path("self.crt").toStdString();
        case ServerCertificate::OtherHost: return files.path("other.crt").toStdString();
        }
        return {};
    }
    static std::string keyFile(ServerCertificate certificate)
    {
        const Certificates& files = Certificates::instance();
        return (certificate == ServerCertificate::SelfSigned ? files.path("self.key") : files.path("server.key"))
            .toStdString();
    }

    void handle(bool isSecure, const httplib::Request& request, httplib::Response& response)
    {
        RecordedRequest recorded;
        recorded.secure = isSecure;
        recorded.method = request.method;
        recorded.path = request.path;
        recorded.body = request.body;
        for (const auto& header : request.headers) {
            if (header.first != "REMOTE_ADDR" && header.first != "REMOTE_PORT" && header.first != "LOCAL_ADDR" &&
                header.first != "LOCAL_PORT")
                recorded.headers.push_back(header);
        }
        ScriptedAnswer scripted;
        scripted.status = 404;
        scripted.body = "<html><body>Not Found</body></html>";
        scripted.contentType = "text/html";
        {
            std::lock_guard lock(mutex);
            requests.push_back(recorded);
            const auto& answers = isSecure ? secureAnswers : plainAnswers;
            if (const auto found = answers.find(request.path); found != answers.end())
                scripted = found->second;
        }
        if (scripted.silent) {
            std::unique_lock lock(mutex);
            released.wait_for(lock, std::chrono::seconds(60), [this] { return stopping; });
            response.status = 503;
            return;
        }
        response.status = scripted.status;
        for (const auto& [name, value] : scripted.headers)
            response.set_header(name.c_str(), value);
        const std::string body = scripted.gzip ? gzipped(scripted.body) : scripted.body;
        if (scripted.gzip)
            response.set_header("Content-Encoding", "gzip");
        if (scripted.contentType.empty())
            response.body = body;
        else
            response.set_content(body, scripted.contentType.c_str());
    }

    void acceptConnections()
    {
        for (;;) {
            pollfd waits[2] = {{listenFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
            if (poll(waits, 2, -1) < 0 || (waits[1].revents & POLLIN))
                return;
            const int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            std::lock_guard lock(mutex);
            connections.emplace_back([this, fd] {
                serveConnection(fd);
                close(fd);
            });
        }
    }

    // Waits for the first byte: a TLS handshake starts with 0x16.
    void serveConnection(int fd)
    {
        pollfd waits[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (poll(waits, 2, -1) <= 0 || (waits[1].revents & POLLIN))
            return;
        char first = 0;
        if (recv(fd, &first, 1, MSG_PEEK) != 1)
            return;
        const bool isSecure = first == 0x16;
        const Reception reception = isSecure ? secureReception.load() : plainReception.load();
        if (reception == Reception::Close)
            return;
        if (reception == Reception::Silent) {
            pollfd stop{wakeFd, POLLIN, 0};
            poll(&stop, 1, -1);
            return;
        }
        const int backend = connectToLoopback(isSecure ? securePort : plainPort);
        if (backend < 0)
            return;
        std::size_t wireIndex = 0;
        if (!isSecure) {
            std::lock_guard lock(mutex);
            wireIndex = wire.size();
            wire.emplace_back();
        }
        pump(fd, backend, isSecure ? nullptr : &wireIndex);
        close(backend);
    }

    void pump(int client, int backend, const std::size_t* wireIndex)
    {
        char buffer[16 * 1024];
        for (;;) {
            pollfd waits[3] = {{client, POLLIN, 0}, {backend, POLLIN, 0}, {wakeFd, POLLIN, 0}};
            if (poll(waits, 3, -1) <= 0 || (waits[2].revents & POLLIN))
                return;
            for (int side = 0; side < 2; ++side) {
                if (!(waits[side].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const ssize_t got = recv(waits[side].fd, buffer, sizeof buffer, 0);
                if (got <= 0)
                    return;
                if (side == 0 && wireIndex) {
                    std::lock_guard lock(mutex);
                    wire[*wireIndex].append(buffer, std::size_t(got));
                }
                if (!sendAll(waits[1 - side].fd, buffer, got))
                    return;
            }
        }
    }

    httplib::SSLServer secure;
    httplib::Server plain;
    int securePort = 0;
    int plainPort = 0;
    std::thread secureThread;
    std::thread plainThread;

    int listenFd = -1;
    int wakeFd = -1;
    int port = 0;
    std::thread acceptor;
    std::vector<std::thread> connections;
    std::atomic<Reception> secureReception{Reception::Answer};
    std::atomic<Reception> plainReception{Reception::Answer};

    mutable std::mutex mutex;
    std::condition_variable released;
    bool stopping = false;
    std::map<std::string, ScriptedAnswer> secureAnswers;
    std::map<std::string, ScriptedAnswer> plainAnswers;
    std::vector<RecordedRequest> requests;
    std::vector<std::string> wire;
};

LocalService::LocalService(ServerCertificate certificate) : impl_(std::make_unique<Impl>(certificate)) {}

LocalService::~LocalService() = default;

QString LocalService::address() const
{
    return QStringLiteral("127.0.0.1:%1").arg(impl_->port);
}

QString LocalService::caFile()
{
    return Certificates::instance().path("ca.crt");
}

int LocalService::unusedPort()
{
    const int fd = listenOnLoopback();
    const int port = boundPort(fd);
    close(fd);
    return port;
}

void LocalService::receiveSecure(Reception reception)
{
    impl_->secureReception = reception;
}

void LocalService::receivePlain(Reception reception)
{
    impl_->plainReception = reception;
}

void LocalService::answer(const std::string& path, const ScriptedAnswer& scripted)
{
    answerSecure(path, scripted);
    answerPlain(path, scripted);
}

void LocalService::answerSecure(const std::string& path, const ScriptedAnswer& scripted)
{
    std::lock_guard lock(impl_->mutex);
    impl_->secureAnswers[path] = scripted;
}

void LocalService::answerPlain(const std::string& path, const ScriptedAnswer& scripted)
{
    std::lock_guard lock(impl_->mutex);
    impl_->plainAnswers[path] = scripted;
}

std::vector<RecordedRequest> LocalService::requests() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->requests;
}

std::vector<std::string> LocalService::plainWire() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->wire;
}

ScriptedAnswer reply(int status, std::string body, std::string contentType)
{
    ScriptedAnswer answer;
    answer.status = status;
    answer.body = std::move(body);
    answer.contentType = std::move(contentType);
    return answer;
}

ScriptedAnswer redirectTo(const std::string& location)
{
    ScriptedAnswer answer = reply(302, "moved");
    answer.headers = {{"Location", location}};
    return answer;
}

ScriptedAnswer silence()
{
    ScriptedAnswer answer;
    answer.silent = true;
    return answer;
}

std::string gzipped(const std::string& bytes)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    std::string compressed(deflateBound(&stream, uLong(bytes.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(compressed.data());
    stream.avail_out = uInt(compressed.size());
    deflate(&stream, Z_FINISH);
    compressed.resize(stream.total_out);
    deflateEnd(&stream);
    return compressed;
}

} // namespace pennolux::testing
