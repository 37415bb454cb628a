#include <gtest/gtest.h>

#include "LocalService.h"
#include "services/requests/AnswerDecoding.h"
#include "services/requests/PostServiceRequest.h"

namespace pennolux {
namespace {

TEST(AnswerDecoding, CharsetParameterOfTheContentType)
{
    EXPECT_EQ(charsetOf("text/plain; charset=Windows-1251"), "windows-1251");
    EXPECT_EQ(charsetOf("text/html;charset=\"ISO-8859-2\";format=flowed"), "iso-8859-2");
    EXPECT_EQ(charsetOf("text/plain"), "");
    EXPECT_EQ(charsetOf(""), "");
}

TEST(AnswerDecoding, DeclaredCharsetElseUtf8WithoutItsMark)
{
    EXPECT_EQ(decodeAnswer("\xCF\xF0\xE8\xE2\xE5\xF2", "windows-1251"), QString::fromUtf8("Привет"));
    EXPECT_EQ(decodeAnswer("\xE4\xF6\xFC", "iso-8859-1"), QString::fromUtf8("äöü"));
    EXPECT_EQ(decodeAnswer("\xEF\xBB\xBF<version>2.2</version>", ""), "<version>2.2</version>");
    EXPECT_EQ(decodeAnswer("Gr\xC3\xBC\xC3\x9F""e", "utf-8"), QString::fromUtf8("Grüße"));
    EXPECT_EQ(decodeAnswer("Gr\xC3\xBC\xC3\x9F""e", "no-such-charset"), QString::fromUtf8("Grüße"));
}

TEST(AnswerDecoding, GzipInflatedWithinItsLimit)
{
    const std::string text(5000, 'x');
    const std::string packed = testing::gzipped(text);
    const QByteArray compressed(packed.data(), qsizetype(packed.size()));
    EXPECT_EQ(inflateGzip(compressed, 5000), QByteArray(text.data(), qsizetype(text.size())));
    EXPECT_THROW(inflateGzip(compressed, 4999), ServicePostError);
    EXPECT_THROW(inflateGzip(compressed.left(compressed.size() / 2), 5000), ServicePostError);
    EXPECT_THROW(inflateGzip("not gzip at all", 5000), ServicePostError);
}

} // namespace
} // namespace pennolux
