#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "FakeMessageBoxes.h"
#include "platform/AppError.h"
#include "platform/BusyCursor.h"
#include "platform/HandlerGuard.h"

using namespace pennolux;
using namespace pennolux::testing;

TEST(HandlerGuardTest, FailingHandlerIsReportedAndTheProgramGoesOn)
{
    FakeMessageBoxes boxes;
    HandlerGuard guard(boxes, nullptr);
    bool after = false;
    guard.run([] {
        BusyCursor busy;
        throw AppError("Cannot create file \"/x/Output1.png\". No such file or directory");
    });
    guard.run([&] { after = true; });

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Pennolux");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(boxes.shown[0].text, "Cannot create file \"/x/Output1.png\". No such file or directory.");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(after);
}

TEST(HandlerGuardTest, PointerLeftOnByAHandlerIsRestored)
{
    FakeMessageBoxes boxes;
    HandlerGuard guard(boxes, nullptr);
    guard.run([] {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
        throw std::runtime_error("disk full!");
    });
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "disk full!");
}
