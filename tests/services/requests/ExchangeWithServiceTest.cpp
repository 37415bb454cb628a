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
