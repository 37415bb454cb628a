#include <QElapsedTimer>
#include <gtest/gtest.h>

#include "LocalService.h"
#include "services/requests/ExchangeWithService.h"
#include "services/requests/ServiceErrorLog.h"
#include "services/requests/ServiceRequest.h"

namespace pennolux {
namespace {

using testing::LocalService;
using testing::Reception;
using testing::ScriptedAnswer;
using testing::reply;

constexpr int kShortTimeoutMs = 400;

class ExchangeWithServiceTest : public ::testing::Test {
protected:
    ExchangeWithServiceTest() { options.caBundleFile = LocalService::caFile(); }

    QStringList exchange(int timeoutMs = 3000, ServiceErrorLog* log = nullptr)
    {
        return ExchangeWithService(service.address() + "/php/check2.php", ServiceRequest("check"), timeoutMs, options,
                                   log);
    }
    int requestsOver(bool secure) const
    {
        int count = 0;
        for (const auto& request : service.requests())
            count += request.secure == secure ? 1 : 0;
        return count;
    }

    LocalService service;
    PostOptions options;
};

TEST_F(ExchangeWithServiceTest, SecureAnswerIsTakenAndCutIntoLines)
{
    service.answer("/php/check2.php", reply(200, "<version>2.2</version>\r\n<url>u</url>\n"));
    ServiceErrorLog log;
    EXPECT_EQ(exchange(3000, &log), QStringList({"<version>2.2</version>", "<url>u</url>"}));
    EXPECT_FALSE(log.HasServiceErrors);
    EXPECT_EQ(requestsOver(true), 1);
    EXPECT_EQ(requestsOver(false), 0);
}

TEST_F(ExchangeWithServiceTest, SecureErrorPageIsTheAnswerWithoutPlainAttempt)
{
    service.answerPlain("/php/check2.php", reply(200, "plain"));
    ServiceErrorLog log;
    EXPECT_EQ(exchange(3000, &log), QStringList({"<html><body>Not Found</body></html>"}));
    EXPECT_FALSE(log.HasServiceErrors);
    EXPECT_EQ(requestsOver(false), 0);
}

TEST_F(ExchangeWithServiceTest, PlainAnswerAfterSecureTimeOutEmptiesTheWholeLog)
{
    service.receiveSecure(Reception::Silent);
    service.answerPlain("/php/check2.php", reply(200, "OK"));
    ServiceErrorLog log;
    AddServiceError(log, "Error: GUID generate problem!");
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(exchange(kShortTimeoutMs, &log), QStringList({"OK"}));
    EXPECT_GE(clock.elapsed(), kShortTimeoutMs - 50); // the secure time-out came first
    EXPECT_FALSE(log.HasServiceErrors);
    EXPECT_TRUE(log.text.isEmpty());
}

TEST_F(ExchangeWithServiceTest, UntrustedCertificateFallsBackToPlainHttp)
{
    LocalService impostor(testing::ServerCertificate::SelfSigned);
    impostor.answer("/php/check2.php", reply(200, "plain answer"));
    ServiceErrorLog log;
    EXPECT_EQ(ExchangeWithService(impostor.address() + "/php/check2.php", ServiceRequest("check"), 3000, options,
                                  &log),
              QStringList({"plain answer"}));
    ASSERT_EQ(impostor.requests().size(), 1u);
    EXPECT_FALSE(impostor.requests().front().secure);
}

// Only a secure attempt that got no answer at all is repeated over plain
// HTTP. An answer that arrived over the verified connection but cannot be
// used is the service's (or a redirection's) doing: sending the same post in
// clear text would only expose it.
TEST_F(ExchangeWithServiceTest, UnusableSecureAnswerIsNotRepeatedOverPlainHttp)
{
    const std::string base = "https://" + service.address().toStdString();
    ScriptedAnswer damagedGzip = reply(200, "not gzip at all");
    damagedGzip.headers = {{"Content-Encoding", "gzip"}};
    struct Case {
        const char* what;
        std::string path;
    };
    const Case cases[] = {
        {"over 1 MiB", "/large"},
        {"damaged gzip", "/damaged"},
        {"a redirection to plain http", "/downgrade"},
        {"more than five redirections", "/hop1"},
    };
    service.answerSecure("/large", reply(200, std::string(1024 * 1024 + 1, 'a')));
    service.answerSecure("/damaged", damagedGzip);
    service.answerSecure("/downgrade", testing::redirectTo("http://" + service.address().toStdString() + "/down"));
    for (int hop = 1; hop <= 6; ++hop) {
        const std::string next = base + "/hop" + std::to_string(hop + 1);
        service.answerSecure("/hop" + std::to_string(hop), testing::redirectTo(next));
    }
    service.answerSecure("/hop7", reply(200, "too far"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        service.answerPlain(c.path, reply(200, "in clear text"));
        const QString address = service.address() + QString::fromStdString(c.path);
        ServiceErrorLog log;
        EXPECT_TRUE(ExchangeWithService(address, ServiceRequest("check"), 3000, options, &log).isEmpty());
        EXPECT_TRUE(log.HasServiceErrors);
        EXPECT_TRUE(log.text.startsWith("HTTPS Response:\r")) << log.text.toStdString();
        EXPECT_FALSE(log.text.contains("HTTP Response:")) << log.text.toStdString();
        EXPECT_THROW(ExchangeWithService(address, ServiceRequest("feedback"), 3000, options), ServicePostError);
        EXPECT_EQ(requestsOver(false), 0);
    }
}

TEST_F(ExchangeWithServiceTest, BothFailingGiveNoLinesAndTwoEntriesOrThePlainFailure)
{
    const QString nowhere = QStringLiteral("127.0.0.1:%1").arg(LocalService::unusedPort());
    ServiceErrorLog log;
    EXPECT_TRUE(ExchangeWithService(nowhere + "/php/check2.php", ServiceRequest("check"), 3000, options, &log)
                    .isEmpty());
    EXPECT_TRUE(log.HasServiceErrors);
    const QStringList entries = log.text.split("\r\r");
    ASSERT_EQ(entries.size(), 2) << log.text.toStdString();
    EXPECT_TRUE(entries.at(0).startsWith("HTTPS Response:\r"));
    EXPECT_TRUE(entries.at(1).startsWith("HTTP Response:\r"));
    EXPECT_GT(entries.at(1).size(), QString("HTTP Response:\r").size());

    EXPECT_THROW(ExchangeWithService(nowhere + "/php/feedback.php", ServiceRequest("feedback"), 3000, options),
                 ServicePostError);

    service.receiveSecure(Reception::Close);
    service.answerPlain("/php/check2.php", reply(500, "broken"));
    ServiceErrorLog statusLog;
    EXPECT_TRUE(exchange(3000, &statusLog).isEmpty());
    EXPECT_TRUE(statusLog.text.contains("HTTP Response:\rHTTP/1.1 500")) << statusLog.text.toStdString();
}

} // namespace
} // namespace pennolux
