#include "ServiceRequest.h"

#include "FormEncoding.h"

namespace pennolux {

ServiceRequest::ServiceRequest(const QString& command) : lines_{QStringLiteral("cmd=") + command} {}

void ServiceRequest::add(const QString& prefix, const QString& value)
{
    lines_ << prefix + value;
}

QByteArray ServiceRequest::formBody() const
{
    QByteArray body;
    for (const QString& line : lines_) {
        const qsizetype equals = line.indexOf(u'=');
        const QString name = equals < 0 ? line : line.left(equals);
        const QString value = equals < 0 ? QString() : line.mid(equals + 1);
        if (!body.isEmpty())
            body += '&';
        body += formEncode(name) + '=' + formEncode(value);
    }
    return body;
}

} // namespace pennolux
