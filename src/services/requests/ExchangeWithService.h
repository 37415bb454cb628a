#pragma once

#include <QString>
#include <QStringList>

#include "PostServiceRequest.h"

namespace pennolux {

class ServiceRequest;
struct ServiceErrorLog;

// Posts to "https://" + address and, when that gets no answer at all (see
// PostServiceRequest), once more to "http://" + address; returns the
// answer's lines. A secure answer that arrived but cannot be used is not
// repeated in clear text. With a log, the failures are recorded there
// ("HTTPS Response:" / "HTTP Response:", CR, the message), a plain answer
// after a secure failure empties it, and no answer gives no lines. Without a
// log, no answer throws the last post's ServicePostError. TransferCancelled
// always passes through.
QStringList ExchangeWithService(const QString& address, const ServiceRequest& request, int timeoutMs,
                                const PostOptions& options, ServiceErrorLog* log = nullptr);

} // namespace pennolux
