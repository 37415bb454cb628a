#pragma once

#include <QString>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pennolux::testing {

// How the service answers one path.
struct ScriptedAnswer {
    int status = 200;
    std::string body;
    std::string contentType = "text/plain"; // empty: no Content-Type header
    std::vector<std::pair<std::string, std::string>> headers;
    bool gzip = false;   // the body is sent gzip-compressed, and the answer says so
    bool silent = false; // the request is read, and nothing comes back until the service stops
};

// A plain answer: the status, the body and its content type.
ScriptedAnswer reply(int status, std::string body, std::string contentType = "text/plain");
// 302 to location.
ScriptedAnswer redirectTo(const std::string& location);
// Reads the request and never answers.
ScriptedAnswer silence();

struct RecordedRequest {
    bool secure = false;
    std::string method;
    std::string path;
    std::string body;
    // Names as the client wrote them, in the server's (case-insensitive) order.
    std::vector<std::pair<std::string, std::string>> headers;

    bool hasHeader(const std::string& name) const;
    std::string header(const std::string& name) const;
};

// What a connection of one kind (TLS or plain HTTP) meets.
enum class Reception {
    Answer, // the scripted answers
    Silent, // accepted, and then nothing at all: no TLS handshake, no answer
    Close,  // accepted and closed at once
};

// The certificate the secure side shows.
enum class ServerCertificate {
    Trusted,    // for 127.0.0.1, signed by caFile()'s authority
    SelfSigned, // for 127.0.0.1, signed by nobody the client trusts
    OtherHost,  // signed by caFile()'s authority, for "localhost" only
};

// A stand-in for the web service on 127.0.0.1 and a free port, speaking TLS
// and plain HTTP on that one port (told apart by the first byte), as the
// real service does on its two ports. Certificates are made with the openssl
// tool once per test run. Records every request it answers.
class LocalService {
public:
    explicit LocalService(ServerCertificate certificate = ServerCertificate::Trusted);
    ~LocalService();
    LocalService(const LocalService&) = delete;
    LocalService& operator=(const LocalService&) = delete;

    // "127.0.0.1:PORT", what the program takes as the service's host.
    QString address() const;
    // The authority that signed the Trusted and OtherHost certificates.
    static QString caFile();
    // A port on 127.0.0.1 where nothing listens.
    static int unusedPort();

    void receiveSecure(Reception reception);
    void receivePlain(Reception reception);
    // An answer for a path on both sides, or on one; the default is 404.
    void answer(const std::string& path, const ScriptedAnswer& answer);
    void answerSecure(const std::string& path, const ScriptedAnswer& answer);
    void answerPlain(const std::string& path, const ScriptedAnswer& answer);

    std::vector<RecordedRequest> requests() const;
    // The bytes of each plain-HTTP connection as the client sent them.
    std::vector<std::string> plainWire() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// gzip of the bytes, as a service would send them.
std::string gzipped(const std::string& bytes);

} // namespace pennolux::testing
