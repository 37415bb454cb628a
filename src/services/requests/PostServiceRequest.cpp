#include "PostServiceRequest.h"

#include <algorithm>
#include <chrono>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <optional>

#include "AnswerDecoding.h"
#include "CancelSignal.h"
#include "ServiceRequest.h"

namespace pennolux {

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kMaxRedirections = 5;
// How often the wait looks at its own answer deadline; a cancel wakes it at once.
constexpr int kLongestPollMs = 100;

void ensureCurlReady()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    bool answered = false; // a status line has come, on any hop
    QByteArray body;
    QByteArray statusLine;
    QByteArray contentType;
    QByteArray contentEncoding;
    qsizetype limit = 0;
    bool overLimit = false;
    Clock::time_point lastData;
};

size_t takeBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    transfer->lastData = Clock::now();
    if (transfer->body.size() + qsizetype(bytes) > transfer->limit) {
        transfer->overLimit = true;
        return 0; // anything but bytes makes curl abandon the transfer
    }
    transfer->body.append(data, qsizetype(bytes));
    return bytes;
}

// Each answer of a redirection chain starts with its status line; only the
// last answer's headers and body count.
size_t takeHeader(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    transfer->lastData = Clock::now();
    const QByteArray line = QByteArray(data, qsizetype(bytes)).trimmed();
    if (line.startsWith("HTTP/")) {
        transfer->answered = true;
        transfer->statusLine = line;
        transfer->contentType.clear();
        transfer->contentEncoding.clear();
        transfer->body.clear();
        return bytes;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon > 0) {
        const QByteArray name = line.left(colon).trimmed().toLower();
        if (name == "content-type")
            transfer->contentType = line.mid(colon + 1).trimmed();
        else if (name == "content-encoding")
            transfer->contentEncoding = line.mid(colon + 1).trimmed().toLower();
    }
    return bytes;
}

struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// The easy handle inside a multi handle, so the wait can be woken from
// another thread; removed before either is released.
class MultiTransfer {
public:
    explicit MultiTransfer(CURL* easy) : easy_(easy), multi_(curl_multi_init())
    {
        if (!multi_)
            throw ServicePostError(QStringLiteral("Cannot start a transfer"));
        curl_multi_add_handle(multi_, easy_);
    }
    ~MultiTransfer()
    {
        curl_multi_remove_handle(multi_, easy_);
        curl_multi_cleanup(multi_);
    }
    MultiTransfer(const MultiTransfer&) = delete;
    MultiTransfer& operator=(const MultiTransfer&) = delete;
    CURLM* handle() const { return multi_; }

private:
    CURL* easy_;
    CURLM* multi_;
};

void setHeaders(CURL* easy, curl_slist*& list, bool secure)
{
    const char* contentType = secure ? "Content-Type: application/x-www-form-urlencoded; charset=utf-8"
                                     : "Content-Type: application/x-www-form-urlencoded";
    list = curl_slist_append(list, contentType);
    if (secure)
        list = curl_slist_append(list, "Connection: close");
    // curl would add "Expect: 100-continue" to a large body on its own.
    list = curl_slist_append(list, "Expect:");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, list);
}

bool connectionMade(CURL* easy, bool secure)
{
    curl_off_t micros = 0;
    curl_easy_getinfo(easy, secure ? CURLINFO_APPCONNECT_TIME_T : CURLINFO_CONNECT_TIME_T, &micros);
    return micros > 0;
}

// Runs the transfer to its end; returns curl's result.
CURLcode runTransfer(CURL* easy, bool secure, Transfer& transfer, int timeoutMs, CancelSignal* cancel)
{
    MultiTransfer multi(easy);
    if (cancel && !cancel->setWaker([handle = multi.handle()] { curl_multi_wakeup(handle); }))
        throw TransferCancelled();
    const WakerRegistration registration(cancel);

    const auto answerTimeout = std::chrono::milliseconds(timeoutMs);
    std::optional<Clock::time_point> connectedAt;
    for (;;) {
        int running = 0;
        const CURLMcode performed = curl_multi_perform(multi.handle(), &running);
        if (performed != CURLM_OK)
            throw ServicePostError(QString::fromUtf8(curl_multi_strerror(performed)));
        if (running == 0)
            break;
        if (cancel && cancel->isCancelled())
            throw TransferCancelled();

        int pollMs = kLongestPollMs;
        if (!connectedAt && connectionMade(easy, secure))
            connectedAt = Clock::now();
        if (connectedAt) {
            // The answer time-out runs from the connection, and again from each piece of the answer.
            const auto deadline = std::max(*connectedAt, transfer.lastData) + answerTimeout;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                throw ServicePostError(QStringLiteral("No answer within %1 ms").arg(timeoutMs));
            pollMs = int(std::min<qint64>(pollMs, left.count() + 1));
        }
        curl_multi_poll(multi.handle(), nullptr, 0, pollMs, nullptr);
        if (cancel && cancel->isCancelled())
            throw TransferCancelled();
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.handle(), &queued)) {
        if (message->msg == CURLMSG_DONE)
            return message->data.result;
    }
    return CURLE_OK;
}

// Whether the failure may be retried elsewhere depends on whether the
// server had begun to answer.
[[noreturn]] void failTransfer(const Transfer& transfer, const QString& message)
{
    if (transfer.answered)
        throw UnusableAnswerError(message);
    throw ServicePostError(message);
}

} // namespace

QString PostServiceRequest(const QString& address, const ServiceRequest& request, int timeoutMs,
                           const PostOptions& options)
{
    ensureCurlReady();
    const bool secure = address.startsWith(QLatin1String("https://"), Qt::CaseSensitive);
    const std::unique_ptr<CURL, EasyCleanup> easy(curl_easy_init());
    if (!easy)
        throw ServicePostError(QStringLiteral("Cannot start a transfer"));
    CURL* handle = easy.get();

    const QByteArray url = address.toUtf8();
    const QByteArray body = request.formBody();
    char errorText[CURL_ERROR_SIZE] = {};
    Transfer transfer;
    transfer.limit = options.maxAnswerBytes;
    transfer.lastData = Clock::now();

    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_POST, 1L);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.constData());
    curl_slist* headerList = nullptr;
    setHeaders(handle, headerList, secure);
    const std::unique_ptr<curl_slist, ListCleanup> headers(headerList);

    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
#if LIBCURL_VERSION_NUM >= 0x075700
    // Ending the program must not wait for a name lookup.
    curl_easy_setopt(handle, CURLOPT_QUICK_EXIT, 1L);
#endif
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs));
    // Connecting plus answering, redirections included: a slow trickle cannot hold the post.
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, 2L * timeoutMs);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, takeBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, takeHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    const QByteArray caFile = options.caBundleFile.toLocal8Bit();
    if (!caFile.isEmpty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.constData());
    if (secure) {
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "https");
        // Never from https to plain http behind the caller's back.
        curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "https");
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirections);
    } else {
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http");
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    }

    CURLcode result = CURLE_OK;
    try {
        result = runTransfer(handle, secure, transfer, timeoutMs, options.cancel.get());
    } catch (const ServicePostError& failure) {
        failTransfer(transfer, failure.message());
    }
    if (transfer.overLimit)
        failTransfer(transfer, QStringLiteral("The answer is larger than %1 bytes").arg(options.maxAnswerBytes));
    if (result != CURLE_OK)
        failTransfer(transfer, QString::fromUtf8(errorText[0] != '\0' ? errorText : curl_easy_strerror(result)));

    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (!secure && (status < 200 || status > 299)) {
        const QString statusLine = QString::fromLatin1(transfer.statusLine);
        failTransfer(transfer, statusLine.isEmpty() ? QStringLiteral("HTTP status %1").arg(status) : statusLine);
    }

    QByteArray answer = transfer.body;
    if (transfer.contentEncoding == "gzip" || transfer.contentEncoding == "x-gzip") {
        try {
            answer = inflateGzip(answer, options.maxAnswerBytes);
        } catch (const ServicePostError& damaged) {
            throw UnusableAnswerError(damaged.message());
        }
    }
    return decodeAnswer(answer, charsetOf(transfer.contentType));
}

} // namespace pennolux
