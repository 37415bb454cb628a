#include <gtest/gtest.h>

#include "services/requests/AnswerLines.h"

namespace pennolux {
namespace {

TEST(AnswerLines, CutAtEveryKindOfBreakWithoutATrailingEmptyLine)
{
    EXPECT_EQ(answerLines("one\r\ntwo\nthree\r"), QStringList({"one", "two", "three"}));
    EXPECT_EQ(answerLines("a\r\rb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(answerLines("a\n\r\nb\n\n"), QStringList({"a", "", "b", ""}));
    EXPECT_EQ(answerLines("\n"), QStringList({""}));
    EXPECT_EQ(answerLines("OK"), QStringList({"OK"}));
    EXPECT_TRUE(answerLines("").isEmpty());
}

TEST(TaggedValue, OnlyAWholeLineInTheExactForm)
{
    struct Case {
        QString line;
        QString tag;
        QString value;
    };
    const Case cases[] = {
        {"<version>2.1</version>", "version", "2.1"},
        {"<version>2.1</version>", "VERSION", "2.1"}, // the tag name is lower-cased first
        {"<VERSION>2.1</VERSION>", "version", ""},
        {" <version>2.1</version>", "version", ""},
        {"<version>2.1</version> ", "version", ""},
        {"<version>2.1</version>x", "version", ""},
        {"<version></version>", "version", ""},
        {"<version> 2.1 </version>", "version", " 2.1 "},
        {"<url>https://x.example/a?b=<c></url>", "url", "https://x.example/a?b=<c>"},
        {"<version>", "version", ""},
        {"<version>2.1</version>", "", ""},
        {"", "version", ""},
    };
    for (const Case& test : cases)
        EXPECT_EQ(TaggedValue(test.line, test.tag), test.value) << test.line.toStdString();
}

} // namespace
} // namespace pennolux
