#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "LocalService.h"
#include "MainWindowFixture.h"
#include "app/settings/IniDocument.h"
#include "services/check/UpdateCheckState.h"
#include "services/widgets/NoticeLink.h"
#include "services/widgets/TFeedbackForm.h"
#include "services/widgets/TNewVer.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

class OnlineWiringTest : public MainWindowFixture {
protected:
    QString storePath() const { return configHome() + "/Zantoph/Pennolux/update.ini"; }
    // Points the window at the local service, with notifications on.
    void useLocalService(bool notificationsOn = true)
    {
        if (notificationsOn)
            QFile::remove(storePath());
        state.ServiceBaseAddress = service.address();
        fakes.tlsTrust.caFile = LocalService::caFile();
    }
    static bool waitFor(const std::function<bool()>& condition, int ms = 10000)
    {
        QElapsedTimer elapsed;
        elapsed.start();
        while (!condition() && elapsed.elapsed() < ms)
            QTest::qWait(10);
        return condition();
    }
    QString stored(const QString& name) const
    {
        return IniDocument::open(storePath()).readString("Settings", name);
    }

    LocalService service;
};

QStringList helpMenuItems(QMainWindow& window)
{
    QStringList items;
    for (QAction* menu : window.menuBar()->actions()) {
        if (QString(menu->text()).remove(u'&') != "Help")
            continue;
        for (QAction* item : menu->menu()->actions())
            items << (item->isSeparator() ? QString("-") : item->text());
    }
    return items;
}

#if PENNOLUX_UPDATE_CHECK

TEST_F(OnlineWiringTest, TimerStartsTheCheckAndTakesOverAnOffer)
{
    useLocalService();
    service.answer("/php/check2.php", reply(200, "<version>2.2</version>\r\n<url>https://www.zantoph.example/d</url>"));
    EXPECT_EQ(helpMenuItems(*window), QStringList({"Online Help", "-", "Update Notifications", "-",
                                                   "Send Feedback...", "About..."}));
    ASSERT_TRUE(waitFor([&] { return !window->TimerChecker->isActive(); }));
    EXPECT_TRUE(window->CheckerStarted);
    EXPECT_TRUE(window->UpdateNotifications1->isEnabled());
    EXPECT_TRUE(window->UpdateNotifications1->isChecked());
    ASSERT_NE(window->newVersionWindow(), nullptr);
    EXPECT_EQ(window->newVersionWindow()->Label2->text(), "Click to download Pennolux 2.2");
    ASSERT_EQ(service.requests().size(), 1u);
    EXPECT_TRUE(service.requests().front().secure);

    window->newVersionWindow()->Label2Click();
    EXPECT_EQ(fakes.shell.openedUrls, QStringList{"https://www.zantoph.example/d"});
}

TEST_F(OnlineWiringTest, SwitchedOffNoContactAndTheMenuItemFollowsTheUser)
{
    useLocalService(false); // the fixture's store holds ShowUpdate=0
    window->TimerCheckerTimer();
    ASSERT_TRUE(waitFor([&] {
        window->TimerCheckerTimer();
        return !window->TimerChecker->isActive();
    }));
    EXPECT_TRUE(service.requests().empty());
    EXPECT_TRUE(window->UpdateNotifications1->isEnabled());
    EXPECT_FALSE(window->UpdateNotifications1->isChecked());
    EXPECT_EQ(window->newVersionWindow(), nullptr);

    window->UpdateNotifications1->trigger();
    EXPECT_TRUE(window->UpdateNotifications1->isChecked());
    EXPECT_EQ(stored("ShowUpdate"), "1");
    window->UpdateNotifications1->trigger();
    EXPECT_FALSE(window->UpdateNotifications1->isChecked());
    EXPECT_EQ(stored("ShowUpdate"), "0");
    EXPECT_EQ(stored("InstalledVersion"), "2.1");
}

TEST_F(OnlineWiringTest, ImportantNoticeHoldsTheTakeOverUntilItIsClosed)
{
    useLocalService();
    fakes.messageBoxes.keepModelessOpen = true;
    service.answer("/php/check2.php", reply(200, "<version>2.2</version>\r\n\r\n\r\n\r\n\r\n"
                                                 "<important>Please update: security fix</important>"));
    window->TimerCheckerTimer();
    ASSERT_TRUE(waitFor([&] { return !fakes.messageBoxes.shown.empty(); }));
    EXPECT_EQ(fakes.messageBoxes.shown.front().title, "IMPORTANT");
    EXPECT_EQ(fakes.messageBoxes.shown.front().text, "Please update: security fix");
    EXPECT_EQ(fakes.messageBoxes.shown.front().icon, MessageIcon::Warning);
    for (int tick = 0; tick < 5; ++tick) {
        QTest::qWait(20);
        window->TimerCheckerTimer();
    }
    EXPECT_TRUE(window->TimerChecker->isActive());
    EXPECT_FALSE(window->UpdateNotifications1->isEnabled());

    fakes.messageBoxes.openModeless.front()();
    ASSERT_TRUE(waitFor([&] {
        window->TimerCheckerTimer();
        return !window->TimerChecker->isActive();
    }));
    EXPECT_NE(window->newVersionWindow(), nullptr);
}

TEST_F(OnlineWiringTest, EndingWhileTheCheckWaitsForASilentServiceEndsAtOnce)
{
    useLocalService();
    service.receiveSecure(Reception::Silent);
    window->TimerCheckerTimer();
    QTest::qWait(300);
    EXPECT_FALSE(window->updateCheckState()->CheckFinished.load());
    QElapsedTimer elapsed;
    elapsed.start();
    window.reset();
    EXPECT_LT(elapsed.elapsed(), 500);
}

#else

TEST_F(OnlineWiringTest, BuiltWithoutTheCheckThereIsNoSwitchNoTimerNoContact)
{
    useLocalService();
    EXPECT_EQ(helpMenuItems(*window), QStringList({"Online Help", "-", "Send Feedback...", "About..."}));
    EXPECT_EQ(window->UpdateNotifications1, nullptr);
    EXPECT_EQ(window->TimerChecker, nullptr);
    QTest::qWait(1300);
    EXPECT_FALSE(window->CheckerStarted);
    EXPECT_EQ(window->updateCheckState(), nullptr);
    EXPECT_TRUE(service.requests().empty());
}

#endif

TEST_F(OnlineWiringTest, SendFeedbackOpensAModalFormThatFreesItself)
{
    useLocalService(false);
    QString title;
    bool modal = false;
    QTimer::singleShot(50, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        if (auto* form = qobject_cast<TFeedbackForm*>(shown)) {
            title = form->windowTitle();
            modal = form->isModal();
            form->close();
        }
    });
    window->SendFeedback1->trigger();
    EXPECT_EQ(title, "Pennolux feedback");
    EXPECT_TRUE(modal);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->findChildren<TFeedbackForm*>().isEmpty());
    EXPECT_TRUE(service.requests().empty()); // nothing is sent unless the user presses Send
}

} // namespace
