#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

#include "FakeLocale.h"
#include "FakeShell.h"
#include "localisation/Translator.h"
#include "services/widgets/NoticeLink.h"
#include "services/widgets/TNewVer.h"

namespace pennolux {
namespace {

const QString kLink = "https://www.zantoph.example/dl/pennolux-2.2.deb";

class TNewVerTest : public ::testing::Test {
protected:
    TNewVerTest()
    {
        mainWindow.resize(400, 300);
        mainWindow.show();
        mainWindow.activateWindow();
        QApplication::setActiveWindow(&mainWindow);
    }

    std::unique_ptr<TNewVer> make(const QString& link = kLink, const QString& product = "Pennolux")
    {
        auto window = std::make_unique<TNewVer>(translator, shell, NewVersionOffer{product, "2.2", link,
                                                                                   "www.zantoph.example", QIcon()},
                                                &mainWindow);
        return window;
    }
    // Lets the 1 ms start timer and the 100 ms animation run.
    static void settle() { QTest::qWait(250); }

    testing::FakeShell shell;
    testing::FakeLocale locale;
    Translator translator{"/nonexistent", locale};
    QWidget mainWindow;
};

TEST_F(TNewVerTest, OpensItselfAtTheTopRightCornerWithoutTakingTheFocus)
{
    const auto window = make();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
    settle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isShownAsNotice());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->geometry(), QRect(screen.right() + 1 - 320 - 5, screen.top() + 5, 320, 68));
    EXPECT_EQ(window->Label1->text(), "UPDATE AVAILABLE");
    EXPECT_TRUE(window->Label1->font().bold());
    EXPECT_EQ(window->Label2->text(), "Click to download Pennolux 2.2");
    EXPECT_TRUE(window->Label2->font().underline());
    EXPECT_EQ(window->Label2->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window->Button1->size(), QSize(22, 22));
    EXPECT_EQ(QApplication::activeWindow(), &mainWindow);
    for (QWidget* control : {static_cast<QWidget*>(window->Label2), static_cast<QWidget*>(window->Button1)})
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
}

TEST_F(TNewVerTest, ClosesItselfOnTheEleventhTick)
{
    const auto window = make();
    settle();
    EXPECT_EQ(window->TimerClose->interval(), 1000);
    for (int tick = 1; tick <= 10; ++tick)
        window->TimerCloseTimer();
    EXPECT_EQ(window->countdown(), 1);
    EXPECT_TRUE(window->isVisible());
    window->TimerCloseTimer();
    EXPECT_FALSE(window->TimerClose->isActive());
    settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isShownAsNotice());
    EXPECT_TRUE(shell.openedUrls.isEmpty());
}

TEST_F(TNewVerTest, LinkOpensOnlyWebAddressesElseTheHomePageAndCloses)
{
    const auto window = make();
    settle();
    QTest::mouseClick(window->Label2, Qt::LeftButton);
    EXPECT_EQ(shell.openedUrls, QStringList{kLink});
    EXPECT_FALSE(window->isVisible());

    for (const QString& unsafe : {QString(), QString("file:///etc/passwd"), QString("javascript:alert(1)"),
                                  QString("/usr/bin/xterm")}) {
        shell.openedUrls.clear();
        const auto other = make(unsafe);
        settle();
        other->Label2Click();
        EXPECT_EQ(shell.openedUrls, QStringList{"http://www.zantoph.example"}) << unsafe.toStdString();
    }
}

TEST_F(TNewVerTest, CloseButtonAndKeyboardReachTheLink)
{
    const auto window = make();
    settle();
    window->Button1->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(shell.openedUrls.isEmpty());

    const auto second = make();
    settle();
    QTest::keyClick(second->Label2, Qt::Key_Return);
    EXPECT_EQ(shell.openedUrls, QStringList{kLink});
}

TEST_F(TNewVerTest, LinkColourFollowsThePointer)
{
    const auto window = make();
    settle();
    QCursor::setPos(window->Label2->mapToGlobal(window->Label2->rect().center()));
    window->TimerLinkTimer();
    EXPECT_EQ(window->Label2->palette().color(QPalette::WindowText),
              QGuiApplication::palette().color(QPalette::Highlight));
    QCursor::setPos(window->mapToGlobal(QPoint(-50, -50)));
    window->TimerLinkTimer();
    EXPECT_EQ(window->Label2->palette().color(QPalette::WindowText),
              QGuiApplication::palette().color(QPalette::WindowText));
    EXPECT_EQ(window->TimerLink->interval(), 100);
}

TEST_F(TNewVerTest, DraggedByAnyButtonButTheRightOneAndNotByTheLink)
{
    const auto window = make();
    settle();
    const QPoint start = window->pos();
    QTest::mousePress(window->Label1, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(window->Dragging);
    QTest::mouseMove(window->Label1, QPoint(25, 15));
    QTest::mouseRelease(window->Label1, Qt::LeftButton, {}, QPoint(25, 15));
    EXPECT_FALSE(window->Dragging);
    EXPECT_EQ(window->pos(), start + QPoint(20, 10));
    EXPECT_EQ(window->size(), QSize(320, 68));

    QTest::mousePress(window->Image1, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(window->Dragging);
    QTest::mouseRelease(window->Image1, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mousePress(window->Image1, Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_TRUE(window->Dragging);
    QTest::mouseRelease(window->Image1, Qt::MiddleButton, {}, QPoint(5, 5));

    QTest::mousePress(window->Label2, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(window->Dragging);
}

TEST_F(TNewVerTest, LongNamesWrapInsideTheLink)
{
    const auto window = make(kLink, "Pennolux Professional Edition for Very Large Teams");
    settle();
    EXPECT_TRUE(window->Label2->wordWrap());
    const int lineHeight = window->Label2->fontMetrics().height();
    EXPECT_GT(window->Label2->heightForWidth(window->Label2->width()), lineHeight);
    EXPECT_LE(window->Label2->heightForWidth(window->Label2->width()), window->Label2->height());
}

} // namespace
} // namespace pennolux
