#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "../MainWindowFixture.h"
#include "ui/about/TAboutBox.h"

using namespace pennolux;
using namespace pennolux::testing;

using AboutFromMainWindowTest = MainWindowFixture;

TEST_F(AboutFromMainWindowTest, AboutOpensANewModalWindowEachTimeAndDestroysIt)
{
    for (int opening = 0; opening < 2; ++opening) {
        QString title;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
            ASSERT_NE(about, nullptr);
            title = about->windowTitle();
            modal = about->isModal();
            about->BitBtn1->click();
        });
        window->About1->trigger();
        EXPECT_EQ(title, "About Pennolux");
        EXPECT_TRUE(modal);
        EXPECT_TRUE(window->findChildren<TAboutBox*>().isEmpty());
    }
}
