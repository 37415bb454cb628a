#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

#include "CheckerFixture.h"
#include "FakeMessageBoxes.h"
#include "services/check/UiThreadNotice.h"

namespace pennolux {
namespace {

using testing::CheckerFixture;
using testing::FakeMessageBoxes;
using testing::Reception;

// The check on its own thread, its notice shown through the fake boxes on
// this (the user-interface) thread.
class CheckerThreadTest : public CheckerFixture {
protected:
    void start()
    {
        state = std::make_shared<UpdateCheckState>();
        checker = std::make_unique<TChecker>(inputs(), platform(uiNotice), state);
        checker->start();
    }
    bool waitFor(const std::function<bool()>& condition, int ms = 10000)
    {
        QElapsedTimer elapsed;
        elapsed.start();
        while (!condition() && elapsed.elapsed() < ms)
            QTest::qWait(10);
        return condition();
    }

    FakeMessageBoxes boxes;
    UiThreadNotice uiNotice{boxes, nullptr};
    std::shared_ptr<UpdateCheckState> state;
    std::unique_ptr<TChecker> checker;
};

const std::string kAnswerWithNotice = "<version>2.2</version>\r\n<url>https://x.example/d</url>\r\n3\r\n4\r\n5\r\n"
                                      "<important>Service moves on Monday</important>";

TEST_F(CheckerThreadTest, NoticeIsShownOnTheUiThreadAndTheCheckWaitsForIt)
{
    boxes.keepModelessOpen = true;
    answerCheck(kAnswerWithNotice);
    start();
    ASSERT_TRUE(waitFor([&] { return !boxes.shown.empty(); }));
    EXPECT_EQ(boxes.shown.front().title, "IMPORTANT");
    EXPECT_EQ(boxes.shown.front().text, "Service moves on Monday");
    EXPECT_EQ(boxes.shown.front().icon, MessageIcon::Warning);

    QTest::qWait(100);
    EXPECT_FALSE(state->CheckFinished.load(std::memory_order_acquire));
    boxes.openModeless.front()();
    ASSERT_TRUE(waitFor([&] { return state->CheckFinished.load(std::memory_order_acquire); }));
    EXPECT_TRUE(state->ShowUpdateWindow);
}

TEST_F(CheckerThreadTest, EndingWhileTheNoticeIsOpenEndsAtOnce)
{
    boxes.keepModelessOpen = true;
    answerCheck(kAnswerWithNotice);
    start();
    ASSERT_TRUE(waitFor([&] { return !boxes.shown.empty(); }));
    QElapsedTimer elapsed;
    elapsed.start();
    checker.reset();
    EXPECT_LT(elapsed.elapsed(), 500);
    EXPECT_FALSE(state->CheckFinished.load());
    boxes.openModeless.front()(); // a box closed after the end touches nothing gone
}

TEST_F(CheckerThreadTest, EndingWhileTheServiceIsSilentEndsAtOnce)
{
    timeoutMs = 30000;
    for (const bool handshake : {true, false}) {
        if (handshake)
            service.receiveSecure(Reception::Silent);
        else {
            service.receiveSecure(Reception::Answer);
            service.answer("/php/check2.php", testing::silence());
        }
        start();
        QTest::qWait(300);
        QElapsedTimer elapsed;
        elapsed.start();
        checker.reset();
        EXPECT_LT(elapsed.elapsed(), 500) << (handshake ? "during the handshake" : "waiting for the answer");
        EXPECT_FALSE(state->CheckFinished.load());
    }
}

} // namespace
} // namespace pennolux
