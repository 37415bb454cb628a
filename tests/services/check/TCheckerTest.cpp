#include <gtest/gtest.h>

#include <QFileInfo>

#include "CheckerFixture.h"
#include "app/settings/IniDocument.h"
#include "services/check/ScrambleText.h"

namespace pennolux {
namespace {

using testing::CheckerFixture;
using testing::Reception;

const std::string kOffer = "<version>2.2</version>\r\n<url>https://www.zantoph.example/dl/pennolux-2.2.deb</url>\r\n";

using TCheckerTest = CheckerFixture;

TEST_F(TCheckerTest, FirstRunSendsTheDesignedFormAndRemembersTheAnswer)
{
    answerCheck(kOffer);
    const auto state = runCheck();

    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests.front().secure);
    EXPECT_EQ(requests.front().path, "/php/check2.php");
    EXPECT_EQ(requests.front().body,
              "cmd=check&appname=Zantoph+-+Pennolux&version=2.1"
              "&os=Debian+GNU%2FLinux+12+%28Version+6.1%2C+Build+0%2C+64-bit+Edition%29&local=en-US"
              "&guid=0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9");

    EXPECT_TRUE(state->CheckFinished.load());
    EXPECT_FALSE(state->errorLog.HasServiceErrors) << state->errorLog.text.toStdString();
    EXPECT_TRUE(state->ShowUpdateWindow);
    EXPECT_EQ(state->ServerVersion, "2.2");
    EXPECT_EQ(state->DownloadLink, "https://www.zantoph.example/dl/pennolux-2.2.deb");
    EXPECT_EQ(state->showUpdateSetting, 1);

    EXPECT_EQ(store().readText("LastUpdateCheck"), clock.shortDate);
    EXPECT_EQ(store().readText("LastUpdateCheckCount"), "1");
    EXPECT_EQ(store().readText("InstalledVersion"), "2.1");
    EXPECT_EQ(store().readText("CurrentVersion"), "2.2");
    EXPECT_EQ(store().readText("CurrentURL"), ScrambleText(state->DownloadLink));
    EXPECT_TRUE(notice.shown.empty());
}

TEST_F(TCheckerTest, FiveAcceptedAnswersADayThenTheServiceIsLeftAlone)
{
    answerCheck(kOffer);
    for (int start = 1; start <= 4; ++start)
        EXPECT_TRUE(runCheck()->ShowUpdateWindow) << start;
    EXPECT_FALSE(runCheck()->ShowUpdateWindow); // the fifth still asks
    EXPECT_EQ(checkRequests(), 5);
    EXPECT_EQ(store().readText("LastUpdateCheckCount"), "5");

    const auto sixth = runCheck();
    EXPECT_EQ(checkRequests(), 5);
    EXPECT_TRUE(sixth->CheckFinished.load());
    EXPECT_FALSE(sixth->ShowUpdateWindow);

    clock.shortDate = "2025-03-17"; // the user changed the date format the same day
    EXPECT_TRUE(runCheck()->ShowUpdateWindow);
    EXPECT_EQ(checkRequests(), 6);
    EXPECT_EQ(store().readText("LastUpdateCheck"), "2025-03-17");
    EXPECT_EQ(store().readText("LastUpdateCheckCount"), "1");
}

TEST_F(TCheckerTest, FailedAttemptsDoNotCount)
{
    answerCheck("ERROR: unknown product");
    const auto refused = runCheck();
    EXPECT_TRUE(refused->CheckFinished.load());
    EXPECT_TRUE(refused->errorLog.text.contains("INVALIDSERVERRESPONSE"));
    EXPECT_FALSE(refused->ShowUpdateWindow);
    EXPECT_EQ(store().readText("LastUpdateCheck"), "");
    EXPECT_EQ(store().readText("CurrentVersion"), "");
    EXPECT_EQ(store().readText("InstalledVersion"), "2.1");

    UpdateCheckInputs nowhere = inputs();
    nowhere.serviceBase = QStringLiteral("127.0.0.1:%1").arg(testing::LocalService::unusedPort());
    const auto unanswered = runCheck(nowhere);
    EXPECT_TRUE(unanswered->CheckFinished.load());
    EXPECT_TRUE(unanswered->errorLog.text.contains("HTTP Response:"));
    EXPECT_EQ(store().readText("LastUpdateCheckCount"), "");
}

TEST_F(TCheckerTest, ShowUpdateZeroAsksNothingTwoAsksButShowsNoWindow)
{
    answerCheck(kOffer);
    store().write("ShowUpdate", "0");
    const auto off = runCheck();
    EXPECT_EQ(checkRequests(), 0);
    EXPECT_TRUE(off->CheckFinished.load());
    EXPECT_EQ(off->showUpdateSetting, 0);
    EXPECT_FALSE(off->ShowUpdateWindow);

    store().write("ShowUpdate", "2");
    const auto handEdited = runCheck();
    EXPECT_EQ(checkRequests(), 1);
    EXPECT_EQ(handEdited->showUpdateSetting, 2);
    EXPECT_EQ(handEdited->ServerVersion, "2.2");
    EXPECT_FALSE(handEdited->ShowUpdateWindow);
}

TEST_F(TCheckerTest, MissingLinesKeepWhatWasRemembered)
{
    store().write("CurrentURL", ScrambleText("https://www.zantoph.example/dl/old.deb"));
    answerCheck("<version>2.1</version>");
    const auto oneLine = runCheck();
    EXPECT_EQ(oneLine->ServerVersion, "2.1");
    EXPECT_EQ(oneLine->DownloadLink, "https://www.zantoph.example/dl/old.deb");
    EXPECT_FALSE(oneLine->ShowUpdateWindow); // the same version

    answerCheck("<version>2.2</version>\r\nnot a tagged line");
    const auto untagged = runCheck();
    EXPECT_EQ(untagged->DownloadLink, "");
    EXPECT_EQ(store().readText("CurrentURL"), "");

    store().write("CurrentURL", "not hexadecimal");
    answerCheck("");
    const auto empty = runCheck();
    EXPECT_FALSE(empty->errorLog.HasServiceErrors);
    EXPECT_EQ(empty->DownloadLink, "");
    EXPECT_EQ(empty->ServerVersion, "");
    EXPECT_FALSE(empty->ShowUpdateWindow);
}

std::string offerOf(const std::string& version, const std::string& link)
{
    return "<version>" + version + "</version>\r\n<url>" + link + "</url>\r\n";
}

// Anyone who answers in the service's place (the plain fall-back needs only
// a blocked port 443) must not be able to fill the store past what its
// reader takes, which would lose the user's switch for good.
TEST_F(TCheckerTest, AHugeLinkIsNoUsableAnswerAndTheStoreStaysReadable)
{
    const QString remembered = "https://www.zantoph.example/dl/old.deb";
    store().write("CurrentURL", ScrambleText(remembered));
    answerCheck(offerOf("2.2", "https://www.zantoph.example/" + std::string(525 * 1024, 'a')));
    const auto hostile = runCheck();
    EXPECT_TRUE(hostile->CheckFinished.load());
    EXPECT_TRUE(hostile->errorLog.text.contains("INVALIDSERVERRESPONSE")) << hostile->errorLog.text.toStdString();
    EXPECT_FALSE(hostile->ShowUpdateWindow);
    EXPECT_EQ(hostile->DownloadLink, remembered);
    EXPECT_EQ(hostile->ServerVersion, "");

    const QString path = store().filePath();
    EXPECT_LT(QFileInfo(path).size(), 4096);
    EXPECT_NO_THROW(IniDocument::open(path));
    EXPECT_EQ(store().readText("CurrentURL"), ScrambleText(remembered));
    EXPECT_EQ(store().readText("CurrentVersion"), "");
    EXPECT_EQ(store().readText("LastUpdateCheckCount"), ""); // no usable answer: not counted

    // Unticking Update Notifications, through the store the check opened.
    EXPECT_TRUE(hostile->store.write("ShowUpdate", "0"));
    const auto next = runCheck();
    EXPECT_EQ(checkRequests(), 1);
    EXPECT_EQ(next->showUpdateSetting, 0);
}

TEST_F(TCheckerTest, VersionsAndLinksPastTheirLimitsAreNoUsableAnswer)
{
    const std::string linkStart = "https://www.zantoph.example/dl/";
    struct Case {
        std::string version;
        std::string link;
        bool usable;
    };
    const Case cases[] = {
        {std::string(32, '2'), "https://www.zantoph.example/dl/a.deb", true},
        {std::string(33, '2'), "https://www.zantoph.example/dl/a.deb", false},
        {"2.2", linkStart + std::string(2048 - linkStart.size(), 'a'), true},
        {"2.2", linkStart + std::string(2049 - linkStart.size(), 'a'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version.size());
        SCOPED_TRACE(c.link.size());
        QFile::remove(store().filePath());
        answerCheck(offerOf(c.version, c.link));
        const auto state = runCheck();
        EXPECT_EQ(state->errorLog.HasServiceErrors, !c.usable) << state->errorLog.text.toStdString();
        EXPECT_EQ(store().readText("CurrentVersion"), c.usable ? QString::fromStdString(c.version) : QString());
        EXPECT_EQ(UnscrambleText(store().readText("CurrentURL")),
                  c.usable ? QString::fromStdString(c.link) : QString());
        EXPECT_EQ(store().readText("LastUpdateCheckCount"), c.usable ? "1" : "");
    }
}

TEST_F(TCheckerTest, ImportantNoticeOnlyWhenNotBlankAndUntrimmed)
{
    answerCheck(kOffer + "3\r\n4\r\n5\r\n<important>   </important>\r\n");
    runCheck();
    EXPECT_TRUE(notice.shown.empty());

    answerCheck(kOffer + "3\r\n4\r\n5\r\n<important>  Mind the gap  </important>\r\n7");
    const auto state = runCheck();
    ASSERT_EQ(notice.shown.size(), 1u);
    EXPECT_EQ(notice.shown.front().first, "IMPORTANT");
    EXPECT_EQ(notice.shown.front().second, "  Mind the gap  ");
    EXPECT_TRUE(state->ShowUpdateWindow);
}

// A notice is meant to be read in a box: a million characters took seconds
// to lay out on the window's thread.
TEST_F(TCheckerTest, ALongNoticeIsCutOnAWholeCharacter)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString text = QString(1999, u'n') + emoji + QString(1000000, u'n');
    answerCheck(kOffer + "3\r\n4\r\n5\r\n<important>" + text.toStdString() + "</important>\r\n");
    runCheck();
    ASSERT_EQ(notice.shown.size(), 1u);
    EXPECT_EQ(notice.shown.front().second, QString(1999, u'n') + QChar(0x2026));

    answerCheck(kOffer + "3\r\n4\r\n5\r\n<important>" + std::string(2000, 'n') + "</important>\r\n");
    runCheck();
    ASSERT_EQ(notice.shown.size(), 2u);
    EXPECT_EQ(notice.shown.back().second, QString(2000, u'n'));
}

TEST_F(TCheckerTest, ErrorsBeforeTheExchangeRejectTheAnswerUnlessThePlainFallBackClearedThem)
{
    machine.unreadable = true;
    answerCheck(kOffer);
    const auto rejected = runCheck();
    EXPECT_EQ(checkRequests(), 1);
    EXPECT_TRUE(service.requests().front().body.ends_with("&guid="));
    EXPECT_TRUE(rejected->errorLog.text.startsWith("Error: GUID generate problem!"));
    EXPECT_FALSE(rejected->ShowUpdateWindow);
    EXPECT_EQ(store().readText("LastUpdateCheck"), "");

    service.receiveSecure(Reception::Close);
    const auto fellBack = runCheck();
    EXPECT_FALSE(fellBack->errorLog.HasServiceErrors);
    EXPECT_TRUE(fellBack->ShowUpdateWindow);
    EXPECT_EQ(store().readText("LastUpdateCheckCount"), "1");

    UpdateCheckInputs noFolder = inputs();
    noFolder.storeFolder.clear();
    machine.unreadable = false;
    service.receiveSecure(Reception::Answer);
    const auto noStore = runCheck(noFolder);
    EXPECT_TRUE(noStore->errorLog.text.contains("Error: Registry open problem!"));
    EXPECT_FALSE(noStore->ShowUpdateWindow);
}

TEST_F(TCheckerTest, LocaleWithoutCodeSendsXx)
{
    locale.isoName = "xx";
    answerCheck(kOffer);
    runCheck();
    ASSERT_EQ(checkRequests(), 1);
    EXPECT_NE(service.requests().front().body.find("&local=xx&"), std::string::npos);
}

} // namespace
} // namespace pennolux
