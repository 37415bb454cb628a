#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include "FakeDocumentImport.h"
#include "IsolatedHomeTest.h"
#include "platform/AppError.h"
#include "production/textlist/ListLines.h"
#include "production/textlist/StreamedListSource.h"
#include "production/textlist/TextListFile.h"

namespace pennolux {
namespace {

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
    QString writeFile(const QByteArray& bytes) const
    {
        const QString path = scratch() + "/list.txt";
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    // What the open button puts into the window's list, split as a run reads it.
    static QStringList loadedLines(const QString& path, const QByteArray& codePage)
    {
        return splitListLines(loadTextList(path, testing::FakeDocumentImport(), codePage));
    }

    // Every chunk size gives the lines of the whole-file loader.
    void expectSameAsLoader(const QByteArray& bytes, const QByteArray& codePage)
    {
        const QString path = writeFile(bytes);
        const QStringList expected = loadedLines(path, codePage);
        for (const qsizetype chunkBytes : kChunkSizes) {
            SCOPED_TRACE(chunkBytes);
            const StreamedListSource source(path, codePage, chunkBytes);
            ASSERT_EQ(source.lineCount(), expected.size());
            EXPECT_EQ(linesOf(source), expected);
        }
    }
};

struct ListBytes {
    const char* name;
    QByteArray bytes;
    QByteArray codePage = "windows-1252";
};

TEST_F(StreamedListSourceTest, GivesTheLoadersLinesForEveryEncodingAndChunkSize)
{
    const QByteArray utf16Le("\xFF\xFE" "a\0\r\0\n\0\x41\x0A" "b\0\n\0", 14);
    const QByteArray utf16Be("\xFE\xFF\0a\0\r\0\n\x0A\x41\0b\0\r", 14);
    const ListBytes cases[] = {
        {"utf-8", "john@example.com\r\nmary@example.org\r\n\xC3\xA9l\xC3\xA8ve \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"utf-8 with BOM", "\xEF\xBB\xBF" "first\nsecond"},
        {"utf-8 with two BOMs", "\xEF\xBB\xBF\xEF\xBB\xBF" "first\nsecond"},
        {"a BOM inside the text stays", "a\n\xEF\xBB\xBF" "b"},
        {"line-break mixes", "a\r\nb\nc\rd\r\r\n\n\re"},
        {"CR LF on every chunk boundary", QByteArray("x\r\n").repeated(40)},
        {"empty", ""},
        {"only a BOM", "\xEF\xBB\xBF"},
        {"ends with a line break", "a\r\nb\r\n"},
        {"ends with CR", "a\rb\r"},
        {"only line breaks", "\r\n\n\r\r\n\r"},
        {"utf-16 LE with BOM, 0x0A bytes inside characters", utf16Le},
        {"utf-16 BE with BOM", utf16Be},
        {"utf-16 LE with an odd last byte", utf16Le + 'z'},
        {"utf-16 LE with a single text byte", "\xFF\xFE" "z"},
        {"windows-1252", "caf\xE9\r\n\x80uro\r\nna\xEFve"},
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2\n\xEC\xE8\xF0", "windows-1251"},
        {"shift-jis double bytes", "\x82\xA0\x82\xA2\n\x93\xFA\x96\x7B\r\n", "windows-932"},
        {"utf-8 BOM with invalid bytes", "\xEF\xBB\xBF" "ok\n\xFF\xC3\n\xE2\x82\nend\xF0\x9F"},
        {"cut-off UTF-8 at the end", "abc\n\xE2\x82"},
        {"unknown code page falls back", "caf\xE9", "no-such-page"},
    };
    for (const ListBytes& list : cases) {
        SCOPED_TRACE(list.name);
        expectSameAsLoader(list.bytes, list.codePage);
    }
}

// Random mixes of the bytes that matter at a boundary: line breaks, BOM
// bytes, lead and continuation bytes, NULs and bytes invalid in UTF-8.
TEST_F(StreamedListSourceTest, GivesTheLoadersLinesForRandomBytes)
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
        expectSameAsLoader(bytes, round % 2 == 0 ? "windows-1252" : "windows-932");
        if (HasFailure())
            return;
    }
}

TEST_F(StreamedListSourceTest, AFileThatCannotBeReadFailsWithTheLoadersText)
{
    for (const QString& path : {scratch() + "/missing.txt", scratch()}) {
        SCOPED_TRACE(path.toStdString());
        QString loaderText;
        try {
            loadedLines(path, "windows-1252");
        } catch (const AppError& error) {
            loaderText = error.message();
        }
        ASSERT_TRUE(loaderText.startsWith("Cannot open file \"" + path + "\". "));
        try {
            StreamedListSource source(path, "windows-1252");
            ADD_FAILURE() << "no error";
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(), loaderText);
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
