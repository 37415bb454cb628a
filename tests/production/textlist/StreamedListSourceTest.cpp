#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
#include "platform/AppError.h"
#include "production/textlist/StreamedListSource.h"

namespace pennolux {
namespace {

using namespace Qt::Literals::StringLiterals;

// Chunk sizes that put every boundary somewhere inside a BOM, a CR LF, a
// multi-byte UTF-8 character, a UTF-16 unit and a double-byte character.
constexpr qsizetype kChunkSizes[] = {1, 2, 3, 4, 5, 7, 64, StreamedListSource::kDefaultChunkBytes};

QStringList linesOf(const LineSource& source)
{
    QStringList lines;
    for (int i = 0; i < source.lineCount(); ++i)
        lines.append(source.line(i));
    return lines;
}

class StreamedListSourceTest : public testing::IsolatedHomeTest {
protected:
    QString writeFile(const QByteArray& bytes) const { return writeScratchFile("list.txt", bytes); }

    // Every chunk size gives the expected lines, the same as reading the
    // file in one piece.
    void expectLines(const QByteArray& bytes, const QByteArray& codePage, const QStringList& expected)
    {
        const QString path = writeFile(bytes);
        for (const qsizetype chunkBytes : kChunkSizes) {
            SCOPED_TRACE(chunkBytes);
            const StreamedListSource source(path, codePage, chunkBytes);
            ASSERT_EQ(source.lineCount(), expected.size());
            EXPECT_EQ(linesOf(source), expected);
        }
    }
    QStringList wholeFileLines(const QByteArray& bytes, const QByteArray& codePage) const
    {
        return linesOf(StreamedListSource(writeFile(bytes), codePage, bytes.size() + 16));
    }
};

struct ListBytes {
    const char* name;
    QByteArray bytes;
    QByteArray codePage = "windows-1252";
    QStringList lines = {};
};

TEST_F(StreamedListSourceTest, DecodesEveryEncodingTheSameInEveryChunkSize)
{
    const QByteArray utf16Le("\xFF\xFE" "a\0\r\0\n\0\x41\x0A" "b\0\n\0", 14);
    const QByteArray utf16Be("\xFE\xFF\0a\0\r\0\n\x0A\x41\0b\0\r", 14);
    const QString bom = QString(QChar(0xFEFF));
    const QString bad = QString(QChar::ReplacementCharacter);
    const ListBytes cases[] = {
        {"utf-8", "john@example.com\r\nmary@example.org\r\n\xC3\xA9l\xC3\xA8ve \xE2\x82\xAC \xF0\x9F\x98\x80", "windows-1252",
         {"john@example.com", "mary@example.org", u"élève € 😀"_s}},
        {"utf-8 with BOM", "\xEF\xBB\xBF" "first\nsecond", "windows-1252", {"first", "second"}},
        {"a second BOM is text", "\xEF\xBB\xBF\xEF\xBB\xBF" "first\nsecond", "windows-1252", {bom + "first", "second"}},
        {"a BOM inside the text stays", "a\n\xEF\xBB\xBF" "b", "windows-1252", {"a", bom + "b"}},
        {"line-break mixes", "a\r\nb\nc\rd\r\r\n\n\re", "windows-1252", {"a", "b", "c", "d", "", "", "", "e"}},
        {"CR LF on every chunk boundary", QByteArray("x\r\n").repeated(40), "windows-1252", QStringList(40, "x")},
        {"empty", "", "windows-1252", {}},
        {"only a BOM", "\xEF\xBB\xBF", "windows-1252", {}},
        {"ends with a line break", "a\r\nb\r\n", "windows-1252", {"a", "b"}},
        {"ends with CR", "a\rb\r", "windows-1252", {"a", "b"}},
        {"only line breaks", "\r\n\n\r\r\n\r", "windows-1252", {"", "", "", "", ""}},
        {"utf-16 LE with BOM, 0x0A bytes inside characters", utf16Le, "windows-1252", {"a", u"\u0A41b"_s}},
        {"utf-16 BE with BOM", utf16Be, "windows-1252", {"a", u"\u0A41b"_s}},
        {"utf-16 LE with an odd last byte", utf16Le + 'z', "windows-1252", {"a", u"\u0A41b"_s, bad}},
        {"utf-16 LE with a single text byte", "\xFF\xFE" "z", "windows-1252", {}},
        {"windows-1252", "caf\xE9\r\n\x80uro\r\nna\xEFve", "windows-1252", {u"café"_s, u"€uro"_s, u"naïve"_s}},
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2\n\xEC\xE8\xF0", "windows-1251", {u"Привет"_s, u"мир"_s}},
        {"shift-jis double bytes", "\x82\xA0\x82\xA2\n\x93\xFA\x96\x7B\r\n", "windows-932", {u"あい"_s, u"日本"_s}},
        {"utf-8 BOM with invalid bytes", "\xEF\xBB\xBF" "ok\n\xFF\xC3\n\xE2\x82\nend\xF0\x9F", "windows-1252",
         {"ok", bad + bad, bad + bad, "end" + bad + bad}},
        {"cut-off UTF-8 at the end", "abc\n\xE2\x82", "windows-1252", {"abc", u"â‚"_s}},
        {"unknown code page falls back", "caf\xE9", "no-such-page", {u"café"_s}},
    };
    for (const ListBytes& list : cases) {
        SCOPED_TRACE(list.name);
        expectLines(list.bytes, list.codePage, list.lines);
    }
}

// Random mixes of the bytes that matter at a boundary: line breaks, BOM
// bytes, lead and continuation bytes, NULs and bytes invalid in UTF-8.
TEST_F(StreamedListSourceTest, RandomBytesDecodeTheSameInEveryChunkSize)
{
    static const char alphabet[] = "aa\r\n\r\n\xEF\xBB\xBF\xFF\xFE\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xC0\x81";
    static const QByteArray starts[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF\xEF\xBB\xBF"};
    QRandomGenerator random(20240611);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = starts[random.bounded(int(std::size(starts)))];
        const int length = random.bounded(60);
        for (int i = 0; i < length; ++i)
            bytes += random.bounded(8) == 0 ? '\0' : alphabet[random.bounded(int(sizeof alphabet) - 1)];
        SCOPED_TRACE(bytes.toHex(' ').toStdString());
        const QByteArray codePage = round % 2 == 0 ? "windows-1252" : "windows-932";
        expectLines(bytes, codePage, wholeFileLines(bytes, codePage));
        if (HasFailure())
            return;
    }
}

TEST_F(StreamedListSourceTest, AFileThatCannotBeReadNamesItself)
{
    for (const QString& path : {scratch() + "/missing.txt", scratch()}) {
        SCOPED_TRACE(path.toStdString());
        try {
            StreamedListSource source(path, "windows-1252");
            ADD_FAILURE() << "no error";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().startsWith("Cannot open file \"" + path + "\". ")) << error.what();
        }
    }
}

TEST_F(StreamedListSourceTest, GoingBackReadsAgainFromTheStart)
{
    const StreamedListSource source(writeFile("one\r\ntwo\r\nthree\r\nfour"), "windows-1252", 4);
    EXPECT_EQ(source.line(3), "four");
    EXPECT_EQ(source.line(3), "four");
    EXPECT_EQ(source.line(1), "two");
    EXPECT_EQ(source.line(2), "three");
    EXPECT_EQ(source.line(0), "one");
    EXPECT_THROW(source.line(4), std::out_of_range);
    EXPECT_THROW(source.line(-1), std::out_of_range);
}

TEST_F(StreamedListSourceTest, StandardInputIsCopiedAndReadTheSameWay)
{
    static constexpr char16_t text[] = u"first\r\n\r\nthird\n";
    QByteArray bytes("\xFF\xFE", 2);
    bytes += QByteArray(reinterpret_cast<const char*>(text), sizeof text - sizeof(char16_t));
    QBuffer input(&bytes);
    ASSERT_TRUE(input.open(QIODevice::ReadOnly));
    const StreamedListSource source(input, "windows-1252", 3);
    EXPECT_EQ(linesOf(source), QStringList({"first", "", "third"}));

    QBuffer closed;
    try {
        StreamedListSource unread(closed, "windows-1252");
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().startsWith("Cannot read standard input. ")) << error.what();
    }
}

} // namespace
} // namespace pennolux
