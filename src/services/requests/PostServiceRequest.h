#pragma once

#include <QString>
#include <exception>
#include <memory>

#include "platform/AppError.h"

namespace pennolux {

class CancelSignal;
class ServiceRequest;

// A post that produced no answer; the message says why.
class ServicePostError : public AppError {
public:
    using AppError::AppError;
};

// An answer arrived, at least its status line, and cannot be used: too
// large, damaged, redirected where the post may not follow, too many
// redirections, cut off or stalled after it began, or a plain answer
// outside 2xx.
class UnusableAnswerError : public ServicePostError {
public:
    using ServicePostError::ServicePostError;
};

// The post was abandoned through its CancelSignal (the program is ending).
class TransferCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "transfer abandoned"; }
};

struct PostOptions {
    // PEM file of the authorities a secure post trusts; empty: the system's.
    QString caBundleFile;
    // Abandons the post at once when given; may be null.
    std::shared_ptr<CancelSignal> cancel;
    // The largest answer body taken, after inflating.
    qsizetype maxAnswerBytes = 1024 * 1024;
};

// Posts the request's form to address and returns the answer's body as text.
// "https://" (exactly) selects the secure client: "Connection: close",
// verified TLS, at most five redirections to https addresses, and any status
// is an answer. Otherwise the plain client: no redirections, and a status
// outside 2xx fails. timeoutMs bounds the connection and, separately, the
// wait for the answer. Blocks the calling thread. Throws UnusableAnswerError
// once an answer has begun to arrive, ServicePostError when none did (no
// name, no connection, a TLS or certificate failure, the connection closed or
// timed out before the status line), or TransferCancelled when
// options.cancel fires.
QString PostServiceRequest(const QString& address, const ServiceRequest& request, int timeoutMs,
                           const PostOptions& options = {});

} // namespace pennolux
