#include <QApplication>
#include <gtest/gtest.h>

#include "app/DesignFont.h"

int main(int argc, char** argv)
{
    // No test may need a display or block on a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName("Pennolux");
    QApplication::setOrganizationName("Zantoph");
    pennolux::EnsureDesignFontAvailable();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
