#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <vector>

#include "platform/text/LineSplitter.h"

namespace pennolux {
namespace {

struct SplitCase {
    const char* name;
    std::vector<const char*> pieces;
    QStringList lines;
    bool endsWithLineBreak;
};

struct Split {
    QStringList lines;
    bool endsWithLineBreak = false;
};

// Each piece is copied into one buffer that the next piece overwrites, as a
// chunked reader does, so a line that kept a view into an old piece shows.
Split splitPieces(const std::vector<QString>& pieces)
{
    LineSplitter splitter;
    Split split;
    QString buffer;
    buffer.reserve(256);
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        buffer.fill(u'#'); // in place: what the last piece left is gone
        buffer.resize(0);
        buffer.append(pieces[index]);
        splitter.feed(buffer, index + 1 == pieces.size());
        while (const auto line = splitter.nextLine())
            split.lines.append(line->toString());
    }
    split.endsWithLineBreak = splitter.endsWithLineBreak();
    return split;
}

std::vector<QString> piecesOf(const std::vector<const char*>& pieces)
{
    std::vector<QString> result;
    for (const char* piece : pieces)
        result.push_back(QString::fromUtf8(piece));
    return result;
}

// The same text cut into pieces of `size` characters, and an empty piece
// after each, which must change nothing.
std::vector<QString> recut(const std::vector<QString>& pieces, qsizetype size)
{
    QString whole;
    for (const QString& piece : pieces)
        whole += piece;
    std::vector<QString> result;
    for (qsizetype at = 0; at < whole.size(); at += size) {
        result.push_back(whole.mid(at, size));
        result.push_back(QString());
    }
    if (result.empty())
        result.push_back(QString());
    return result;
}

const SplitCase kCases[] = {
    {"nothing", {""}, {}, false},
    {"only empty pieces", {"", "", ""}, {}, false},
    {"one line without a break", {"abc"}, {"abc"}, false},
    {"each kind of break", {"a\r\nb\nc\rd"}, {"a", "b", "c", "d"}, false},
    {"a last break makes no line", {"a\r\n"}, {"a"}, true},
    {"lone CR at the very end", {"a\r"}, {"a"}, true},
    {"only a CR", {"\r"}, {""}, true},
    {"LF CR is two breaks", {"a\n\rb"}, {"a", "", "b"}, false},
    {"CR CR LF is two breaks", {"a\r\r\nb"}, {"a", "", "b"}, false},
    {"lone CRs", {"\r\r\r"}, {"", "", ""}, true},
    {"empty lines between", {"\n\na\n\n"}, {"", "", "a", ""}, true},
    {"CR | LF across pieces", {"a\r", "\nb"}, {"a", "b"}, false},
    {"CR | empty pieces | LF", {"a\r", "", "", "\nb"}, {"a", "b"}, false},
    {"CR | CR across pieces", {"a\r", "\rb"}, {"a", "", "b"}, false},
    {"CR | text across pieces", {"a\r", "b"}, {"a", "b"}, false},
    {"CR at the end, then an empty last piece", {"a\r", ""}, {"a"}, true},
    {"LF opening the last piece", {"a\r", "\n"}, {"a"}, true},
    {"a line across many pieces", {"ab", "cd", "", "ef", "g\r\nh", "ij"}, {"abcdefg", "hij"}, false},
    {"a line ending where a piece ends", {"abc", "\n", "def"}, {"abc", "def"}, false},
    {"a last line spanning pieces", {"x\nab", "cd"}, {"x", "abcd"}, false},
    {"mixed breaks across pieces", {"1\r\n2", "\n3\r", "\r\n4\r", "\n", "\n5"}, {"1", "2", "3", "", "4", "", "5"}, false},
    {"not breaks: line and paragraph separators", {"a\u2028b\u2029c"}, {"a\u2028b\u2029c"}, false},
};

TEST(LineSplitter, SplitsEveryCaseAsCutAndInPiecesOfAnySize)
{
    for (const SplitCase& splitCase : kCases) {
        const std::vector<QString> pieces = piecesOf(splitCase.pieces);
        const Split asCut = splitPieces(pieces);
        EXPECT_EQ(asCut.lines, splitCase.lines) << splitCase.name;
        EXPECT_EQ(asCut.endsWithLineBreak, splitCase.endsWithLineBreak) << splitCase.name;
        for (const qsizetype size : {1, 2, 3}) {
            const Split recutSplit = splitPieces(recut(pieces, size));
            EXPECT_EQ(recutSplit.lines, splitCase.lines) << splitCase.name << ", pieces of " << size;
            EXPECT_EQ(recutSplit.endsWithLineBreak, splitCase.endsWithLineBreak)
                << splitCase.name << ", pieces of " << size;
        }
    }
}

TEST(LineSplitter, AWholeTextGivesViewsIntoIt)
{
    const QString text = QStringLiteral("one\r\ntwo\rthree");
    LineSplitter splitter;
    splitter.feed(text, true);
    std::vector<qsizetype> starts;
    while (const auto line = splitter.nextLine())
        starts.push_back(line->data() - text.constData());
    EXPECT_EQ(starts, (std::vector<qsizetype>{0, 5, 9}));
}

TEST(LineSplitter, GivesNothingMoreAfterTheLastLine)
{
    LineSplitter splitter;
    splitter.feed(u"a\nb", true);
    ASSERT_EQ(splitter.nextLine(), QStringView(u"a"));
    ASSERT_EQ(splitter.nextLine(), QStringView(u"b"));
    EXPECT_FALSE(splitter.nextLine());
    EXPECT_FALSE(splitter.nextLine());
}

} // namespace
} // namespace pennolux
