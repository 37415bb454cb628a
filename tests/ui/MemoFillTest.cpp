#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <ostream>

#include "ui/MemoFill.h"

using namespace pennolux;

namespace {

QString numberedLines(int count)
{
    QStringList lines;
    for (int n = 1; n <= count; ++n)
        lines << QStringLiteral("line %1").arg(n);
    return lines.join(u'\n');
}

void configureLikeTheWindowsList(QPlainTextEdit& memo)
{
    memo.setLineWrapMode(QPlainTextEdit::NoWrap);
    memo.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo.resize(200, 150);
}

struct ListText {
    const char* name;
    QString text;
};

void PrintTo(const ListText& list, std::ostream* out)
{
    *out << list.name;
}

// Two editors that already hold a list and some undoable typing: one is
// refilled with setPlainText(), the other with fillMemo().
class MemoFillTest : public ::testing::TestWithParam<ListText> {
protected:
    void SetUp() override
    {
        for (QPlainTextEdit* memo : {&expected, &filled}) {
            configureLikeTheWindowsList(*memo);
            memo->setPlainText(numberedLines(50));
            memo->moveCursor(QTextCursor::End);
            QTest::keyClicks(memo, "typed");
        }
    }

    QPlainTextEdit expected;
    QPlainTextEdit filled;
};

TEST_P(MemoFillTest, LeavesTheEditorAsSetPlainTextDoes)
{
    expected.setPlainText(GetParam().text);
    fillMemo(filled, GetParam().text);

    const QTextDocument& document = *filled.document();
    EXPECT_EQ(document.toRawText(), expected.document()->toRawText());
    EXPECT_EQ(filled.toPlainText(), expected.toPlainText());
    EXPECT_EQ(filled.blockCount(), expected.blockCount());
    for (QTextBlock block = document.begin(), other = expected.document()->begin(); block.isValid();
         block = block.next(), other = other.next())
        ASSERT_EQ(block.text(), other.text()) << "block " << block.blockNumber();
    EXPECT_EQ(filled.textCursor().position(), 0);
    EXPECT_FALSE(filled.textCursor().hasSelection());
    EXPECT_FALSE(document.isUndoAvailable()) << "the load and the typing before it are not undoable";
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(filled.verticalScrollBar()->maximum(), expected.verticalScrollBar()->maximum());
    EXPECT_EQ(filled.verticalScrollBar()->value(), 0);
}

INSTANTIATE_TEST_SUITE_P(Texts, MemoFillTest,
    ::testing::Values(ListText{"Empty", QString()}, ListText{"OneLine", "a"}, ListText{"FinalBreak", "a\n"},
        ListText{"EmptyLineInside", "a\n\nb"}, ListText{"OnlyABreak", "\n"},
        ListText{"CrLfAndCr", "a\r\nb\rc"}, ListText{"ThousandLines", numberedLines(1000)},
        ListText{"NonBreakingSpacesAndTab", QStringLiteral("non\u00A0breaking\n\u00A0\ttab")}),
    [](const ::testing::TestParamInfo<ListText>& param) { return std::string(param.param.name); });

TEST(MemoFillTypingTest, TypingAfterTheLoadCanBeUndone)
{
    QPlainTextEdit memo;
    configureLikeTheWindowsList(memo);
    const QString list = numberedLines(1000);
    fillMemo(memo, list);

    QTest::keyClicks(&memo, "new ");
    ASSERT_EQ(memo.document()->firstBlock().text(), "new line 1");
    ASSERT_TRUE(memo.document()->isUndoAvailable());
    memo.document()->undo();

    EXPECT_EQ(memo.toPlainText(), list);
    EXPECT_FALSE(memo.document()->isUndoAvailable());
}

TEST(MemoFillTypingTest, UndoStaysOffWhenItWasOff)
{
    QPlainTextEdit memo;
    memo.setUndoRedoEnabled(false);
    fillMemo(memo, "a\nb");
    QTest::keyClicks(&memo, "x");
    EXPECT_FALSE(memo.document()->isUndoRedoEnabled());
    EXPECT_EQ(memo.toPlainText(), "xa\nb");
}

TEST(MemoFillTypingTest, ScrolledDownListShowsTheNewListFromTheTop)
{
    QPlainTextEdit memo;
    configureLikeTheWindowsList(memo);
    memo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&memo));
    fillMemo(memo, numberedLines(1000));
    memo.moveCursor(QTextCursor::End);
    ASSERT_GT(memo.verticalScrollBar()->value(), 0);

    fillMemo(memo, numberedLines(500));
    QCoreApplication::processEvents();

    EXPECT_EQ(memo.verticalScrollBar()->value(), 0);
    EXPECT_EQ(memo.cursorForPosition(QPoint(0, 0)).blockNumber(), 0);
}

} // namespace
