#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <gtest/gtest.h>

#include "editor/widgets/RunProgress.h"

namespace pennolux {
namespace {

class RunProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        statusBar = new QStatusBar(&window);
        window.setStatusBar(statusBar);
        button = new QPushButton("START", &window);
        window.setCentralWidget(button);
        window.show();
    }

    QMainWindow window;
    QStatusBar* statusBar = nullptr;
    QPushButton* button = nullptr;
};

TEST_F(RunProgressTest, ShowsTheLineAndLocksTheWidgetsForTheRunOnly)
{
    {
        RunProgress progress(*statusBar, {button});
        EXPECT_FALSE(button->isEnabled());
        EXPECT_TRUE(progress.lineDone(3, 10));
        EXPECT_EQ(statusBar->currentMessage(), "Line 3 of 10");
    }
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(statusBar->currentMessage().isEmpty());
}

TEST_F(RunProgressTest, EscapeOrClosingTheWindowStopsAfterTheLine)
{
    {
        RunProgress progress(*statusBar, {});
        QCoreApplication::postEvent(button, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        EXPECT_FALSE(progress.lineDone(10, 10));
    }
    {
        RunProgress progress(*statusBar, {});
        window.close();
        EXPECT_FALSE(progress.lineDone(1, 10));
    }
}

TEST_F(RunProgressTest, AWidgetDisabledBeforeTheRunStaysDisabled)
{
    button->setEnabled(false);
    { RunProgress progress(*statusBar, {button}); }
    EXPECT_FALSE(button->isEnabled());
}

} // namespace
} // namespace pennolux
