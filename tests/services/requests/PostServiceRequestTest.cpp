#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <set>
#include <thread>

#include "LocalService.h"
#include "services/requests/CancelSignal.h"
#include "services/requests/PostServiceRequest.h"
#include "services/requests/ServiceRequest.h"

namespace pennolux {
namespace {

using testing::LocalService;
using testing::Reception;
using testing::ScriptedAnswer;
using testing::reply;
using testing::ServerCertificate;

constexpr int kShortTimeoutMs = 400;

ServiceRequest sampleRequest()
{
    ServiceRequest request("feedback");
    request.add("appname=", "Zantoph - Pennolux");
    request.add("version=", "2.1");
    request.add("feedback=", QString::fromUtf8("I like it!\rGrüße & <3 = 100%"));
    request.add("email=", "");
    return request;
}

const std::string kSampleBody =
    "cmd=feedback&appname=Zantoph+-+Pennolux&version=2.1&feedback=I+like+it%21%0DGr%C3%BC%C3%9Fe+%26+%3C3+%3D+100%25"
    "&email=";

class PostServiceRequestTest : public ::testing::Test {
protected:
    PostOptions trusted() const
    {
        PostOptions options;
        options.caBundleFile = LocalService::caFile();
        return options;
    }
    QString secure(const char* path) const { return "https://" + service.address() + path; }
    QString plain(const char* path) const { return "http://" + service.address() + path; }

    LocalService service;
};

std::set<std::string> lowerNames(const testing::RecordedRequest& request)
{
    std::set<std::string> names;
    for (const auto& [name, value] : request.headers) {
        std::string lower = name;
        for (char& c : lower)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        names.insert(lower);
    }
    return names;
}

TEST_F(PostServiceRequestTest, SecureWireFormClosesTheConnectionAndAddsNoAgent)
{
    service.answer("/php/feedback.php", reply(200, "OK"));
    EXPECT_EQ(PostServiceRequest(secure("/php/feedback.php"), sampleRequest(), 3000, trusted()), "OK");

    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& request = requests.front();
    EXPECT_TRUE(request.secure);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/php/feedback.php");
    EXPECT_EQ(request.body, kSampleBody);
    EXPECT_EQ(request.header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
    EXPECT_EQ(request.header("Connection"), "close");
    EXPECT_EQ(request.header("Content-Length"), std::to_string(kSampleBody.size()));
    // Only what HTTP needs: no User-Agent, no Accept-Encoding, no Expect.
    EXPECT_EQ(lowerNames(request),
              (std::set<std::string>{"accept", "connection", "content-length", "content-type", "host"}));
}

TEST_F(PostServiceRequestTest, PlainWireFormByteForByte)
{
    service.answer("/php/feedback.php", reply(200, "OK"));
    EXPECT_EQ(PostServiceRequest(plain("/php/feedback.php"), sampleRequest(), 3000, trusted()), "OK");

    const auto wire = service.plainWire();
    ASSERT_EQ(wire.size(), 1u);
    const std::string expected = "POST /php/feedback.php HTTP/1.1\r\nHost: " + service.address().toStdString() +
                                 "\r\nAccept: */*\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                                 "Content-Length: " +
                                 std::to_string(kSampleBody.size()) + "\r\n\r\n" + kSampleBody;
    EXPECT_EQ(wire.front(), expected);
}

TEST_F(PostServiceRequestTest, AnyStatusIsAnAnswerOnTheSecureClientOnlyTwoHundredsOnThePlainOne)
{
    service.answer("/missing", reply(404, "Not here", "text/html"));
    EXPECT_EQ(PostServiceRequest(secure("/missing"), sampleRequest(), 3000, trusted()), "Not here");
    try {
        PostServiceRequest(plain("/missing"), sampleRequest(), 3000, trusted());
        FAIL() << "a 404 is no answer for the plain client";
    } catch (const ServicePostError& error) {
        EXPECT_TRUE(error.message().contains("404")) << error.message().toStdString();
    }
}

TEST_F(PostServiceRequestTest, GzipAndDeclaredCharsetsOnBothClients)
{
    ScriptedAnswer packed = reply(200, "<version>2.2</version>\r\n<url>https://x.example/d</url>");
    packed.gzip = true;
    service.answer("/gzip", packed);
    ScriptedAnswer cyrillic = reply(200, "\xCF\xF0\xE8\xE2\xE5\xF2", "text/plain; charset=windows-1251");
    service.answer("/cyrillic", cyrillic);
    ScriptedAnswer undeclared = reply(200, "Gr\xC3\xBC\xC3\x9F" "e", "");
    service.answer("/utf8", undeclared);

    for (const bool isSecure : {true, false}) {
        const auto address = [&](const char* path) { return isSecure ? secure(path) : plain(path); };
        EXPECT_EQ(PostServiceRequest(address("/gzip"), sampleRequest(), 3000, trusted()),
                  "<version>2.2</version>\r\n<url>https://x.example/d</url>");
        EXPECT_EQ(PostServiceRequest(address("/cyrillic"), sampleRequest(), 3000, trusted()),
                  QString::fromUtf8("Привет"));
        EXPECT_EQ(PostServiceRequest(address("/utf8"), sampleRequest(), 3000, trusted()),
                  QString::fromUtf8("Grüße"));
    }
}

TEST_F(PostServiceRequestTest, SecureClientFollowsFiveRedirectionsNotSixAndNeverToPlainHttp)
{
    for (int hop = 1; hop <= 6; ++hop)
        service.answer("/hop" + std::to_string(hop), testing::redirectTo("/hop" + std::to_string(hop + 1)));
    service.answer("/hop7", reply(200, "arrived"));
    EXPECT_EQ(PostServiceRequest(secure("/hop2"), sampleRequest(), 3000, trusted()), "arrived");
    EXPECT_THROW(PostServiceRequest(secure("/hop1"), sampleRequest(), 3000, trusted()), ServicePostError);

    const std::string downgrade = "http://" + service.address().toStdString() + "/hop7";
    service.answer("/down", testing::redirectTo(downgrade));
    EXPECT_THROW(PostServiceRequest(secure("/down"), sampleRequest(), 3000, trusted()), ServicePostError);

    EXPECT_THROW(PostServiceRequest(plain("/hop6"), sampleRequest(), 3000, trusted()), ServicePostError);
}

TEST_F(PostServiceRequestTest, AnswersPastOneMebibyteFailAlsoWhenInflated)
{
    const std::size_t limit = 1024 * 1024;
    service.answer("/full", reply(200, std::string(limit, 'a')));
    service.answer("/over", reply(200, std::string(limit + 1, 'a')));
    ScriptedAnswer bomb = reply(200, std::string(64 * limit, '\0'));
    bomb.gzip = true;
    service.answer("/bomb", bomb);

    EXPECT_EQ(PostServiceRequest(secure("/full"), sampleRequest(), 5000, trusted()).size(), qsizetype(limit));
    EXPECT_THROW(PostServiceRequest(secure("/over"), sampleRequest(), 5000, trusted()), ServicePostError);
    EXPECT_THROW(PostServiceRequest(plain("/over"), sampleRequest(), 5000, trusted()), ServicePostError);
    EXPECT_THROW(PostServiceRequest(secure("/bomb"), sampleRequest(), 5000, trusted()), ServicePostError);
}

TEST_F(PostServiceRequestTest, CertificatesAndHostNamesAreVerified)
{
    service.answer("/php/check2.php", reply(200, "OK"));
    PostOptions systemAuthorities;
    EXPECT_THROW(PostServiceRequest(secure("/php/check2.php"), sampleRequest(), 3000, systemAuthorities),
                 ServicePostError);

    for (const ServerCertificate certificate : {ServerCertificate::SelfSigned, ServerCertificate::OtherHost}) {
        LocalService impostor(certificate);
        impostor.answer("/php/check2.php", reply(200, "OK"));
        EXPECT_THROW(PostServiceRequest("https://" + impostor.address() + "/php/check2.php", sampleRequest(), 3000,
                                        trusted()),
                     ServicePostError);
        EXPECT_TRUE(impostor.requests().empty());
    }
}

TEST_F(PostServiceRequestTest, OnlyTheExactLowerCasePrefixSelectsTheSecureClient)
{
    service.answer("/x", reply(200, "OK"));
    for (const char* scheme : {"HTTPS://", "Https://"}) {
        EXPECT_THROW(PostServiceRequest(scheme + service.address() + "/x", sampleRequest(), 3000, trusted()),
                     ServicePostError);
    }
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(PostServiceRequestTest, TimeOutsForConnectingAndForTheAnswer)
{
    service.answer("/slow", testing::silence());
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(PostServiceRequest(secure("/slow"), sampleRequest(), kShortTimeoutMs, trusted()), ServicePostError);
    const qint64 answerWait = clock.restart();

    service.receiveSecure(Reception::Silent); // the TLS handshake never completes
    EXPECT_THROW(PostServiceRequest(secure("/slow"), sampleRequest(), kShortTimeoutMs, trusted()), ServicePostError);
    const qint64 connectWait = clock.restart();

    service.receivePlain(Reception::Silent);
    EXPECT_THROW(PostServiceRequest(plain("/slow"), sampleRequest(), kShortTimeoutMs, trusted()), ServicePostError);
    const qint64 plainWait = clock.elapsed();

    for (const qint64 waited : {answerWait, connectWait, plainWait}) {
        EXPECT_GE(waited, kShortTimeoutMs - 50);
        EXPECT_LT(waited, 2 * kShortTimeoutMs + 500);
    }
}

TEST_F(PostServiceRequestTest, CancellingAbandonsTheTransferAtOnce)
{
    service.receiveSecure(Reception::Silent);
    PostOptions options = trusted();
    options.cancel = std::make_shared<CancelSignal>();
    std::thread canceller([cancel = options.cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        cancel->cancel();
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(PostServiceRequest(secure("/x"), sampleRequest(), 30000, options), TransferCancelled);
    EXPECT_LT(clock.elapsed(), 1000);
    canceller.join();
    // Once given, the signal stops every later post before it starts.
    EXPECT_THROW(PostServiceRequest(plain("/x"), sampleRequest(), 30000, options), TransferCancelled);
}

} // namespace
} // namespace pennolux
