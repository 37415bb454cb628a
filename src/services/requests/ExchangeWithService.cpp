#include "ExchangeWithService.h"

#include "AnswerLines.h"
#include "ServiceErrorLog.h"

namespace pennolux {

QStringList ExchangeWithService(const QString& address, const ServiceRequest& request, int timeoutMs,
                                const PostOptions& options, ServiceErrorLog* log)
{
    QString answer;
    try {
        answer = PostServiceRequest(QStringLiteral("https://") + address, request, timeoutMs, options);
    } catch (const UnusableAnswerError& secureAnswer) {
        // The verified server (or one it sent us to) did answer: the same
        // post in clear text could only be read on the way, never mend it.
        if (!log)
            throw;
        AddServiceError(*log, QStringLiteral("HTTPS Response:\r") + secureAnswer.message());
        return {};
    } catch (const ServicePostError& secureFailure) {
        if (log)
            AddServiceError(*log, QStringLiteral("HTTPS Response:\r") + secureFailure.message());
        try {
            answer = PostServiceRequest(QStringLiteral("http://") + address, request, timeoutMs, options);
            if (log)
                ClearServiceErrors(*log);
        } catch (const ServicePostError& plainFailure) {
            if (!log)
                throw;
            AddServiceError(*log, QStringLiteral("HTTP Response:\r") + plainFailure.message());
            return {};
        }
    }
    return answerLines(answer);
}

} // namespace pennolux
