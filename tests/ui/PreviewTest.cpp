#include <QAccessible>
#include <QComboBox>
#include <QPushButton>
#include <QImage>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>

#include "MainWindowFixture.h"
#include "platform/fonts/DesignFont.h"
#include "ui/PreviewPanel.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

class PreviewTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        useScratchDestination(window->ComboBoxDestination1);
        window->resize(900, 520);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        settle();
    }
    // The preview follows changes within one pass of the event loop.
    static void settle() { QCoreApplication::processEvents(); }
    void putCursorOnLine(int line) const
    {
        QTextCursor cursor(window->MemoList->document()->findBlockByNumber(line));
        window->MemoList->setTextCursor(cursor);
        settle();
    }
    const QImage& shown() const { return window->preview->image(); }
};

TEST_F(PreviewTest, ShowsTheSampleListsFirstAddressAtStartBelowTheDesignedControls)
{
    EXPECT_FALSE(shown().isNull());
    EXPECT_EQ(window->preview->title(), "Preview");
    EXPECT_GE(window->preview->geometry().top(), window->Button4->geometry().bottom());
    EXPECT_TRUE(window->preview->accessibleDescription().startsWith(window->MemoList->document()->firstBlock().text()));
}

// The preview is what START writes, pixel for pixel, for the cursor's line.
TEST_F(PreviewTest, EqualsTheFileStartWritesForTheCursorsLine)
{
    window->MemoList->setPlainText("first@example.com\n\nthird.line@example.org\n");
    window->SpinEdit5->setValue(4);
    putCursorOnLine(2);
    const QImage previewed = shown();
    ASSERT_FALSE(previewed.isNull());
    window->Button4->click();
    EXPECT_EQ(QImage(destination + "/Output3.png").convertToFormat(QImage::Format_RGB32), previewed);

    putCursorOnLine(1);  // an empty line shows the next line with text
    EXPECT_EQ(shown(), previewed);
    EXPECT_EQ(window->preview->sizeText(),
              QString("%1 × %2 pixels · zoom %3×").arg(previewed.width()).arg(previewed.height()).arg(window->preview->zoom()));
}

TEST_F(PreviewTest, FollowsEveryKindOfChange)
{
    window->MemoList->setPlainText("ab");
    putCursorOnLine(0);
    QImage before = shown();

    QTest::keyClick(window->MemoList, Qt::Key_End);
    QTest::keyClicks(window->MemoList, "cdef");
    settle();
    EXPECT_GT(shown().width(), before.width()) << "typing";

    window->MemoList->setPlainText("a\nlonger line");
    putCursorOnLine(1);
    before = shown();
    putCursorOnLine(0);
    EXPECT_LT(shown().width(), before.width()) << "moving the cursor";

    before = shown();
    window->SpinEdit7->setValue(9);
    settle();
    EXPECT_EQ(shown().height(), before.height() + 8) << "a margin";

    fakes.dialogs.colorResult = QColor(1, 2, 3);
    window->Shape2MouseDown();
    settle();
    EXPECT_EQ(shown().pixelColor(0, 0), QColor(1, 2, 3)) << "the swatch";

    before = shown();
    fakes.dialogs.fontResult = ColoredFont{designFont(20), colors::clWindowText};
    window->Button5Click();
    settle();
    EXPECT_GT(shown().height(), before.height()) << "the font";
}

TEST_F(PreviewTest, SaysWhenThereIsNothingToShowAndWhyALineCannotBeShown)
{
    window->MemoList->clear();
    settle();
    EXPECT_TRUE(shown().isNull());
    EXPECT_EQ(window->preview->message(), "The list is empty");

    window->MemoList->setPlainText("x\n" + QString(70000, u'y'));
    putCursorOnLine(1);
    EXPECT_TRUE(shown().isNull());
    EXPECT_TRUE(window->preview->message().startsWith("Line 2 (\"yyyy")) << window->preview->message().toStdString();
    EXPECT_TRUE(window->preview->message().endsWith("is too long for an image (at most 65535 characters)"));
}

} // namespace
