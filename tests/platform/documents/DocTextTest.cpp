#include "platform/documents/DocText.h"

#include "IsolatedHomeTest.h"

#include <QFile>
#include <QtEndian>

#include <stdexcept>
#include <vector>

namespace pennolux::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

void putU16(QByteArray& bytes, qsizetype at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

void putU32(QByteArray& bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

constexpr quint32 kEnd = 0xFFFFFFFE;
constexpr quint32 kNone = 0xFFFFFFFF;

// A compound file of 512-byte sectors: sector 0 the allocation table,
// sector 1 the directory, then each stream (padded past the mini stream's
// cutoff) in its own run of sectors.
QByteArray compoundFile(const std::vector<std::pair<QString, QByteArray>>& streams, bool loopFirstStream = false)
{
    QByteArray header(512, '\0');
    const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    header.replace(0, 8, QByteArray(signature, 8));
    putU16(header, 0x18, 0x3E);
    putU16(header, 0x1A, 3);
    putU16(header, 0x1C, 0xFFFE);
    putU16(header, 0x1E, 9);
    putU16(header, 0x20, 6);
    putU32(header, 0x2C, 1);
    putU32(header, 0x30, 1);
    putU32(header, 0x38, 4096);
    putU32(header, 0x3C, kEnd);
    putU32(header, 0x44, kEnd);
    for (int i = 0; i < 109; ++i)
        putU32(header, 0x4C + i * 4, kNone);
    putU32(header, 0x4C, 0);

    QByteArray fat(512, '\xFF');
    putU32(fat, 0, 0xFFFFFFFD);
    putU32(fat, 4, kEnd);
    QByteArray directory(512, '\0');
    const auto entry = [&](int index, const QString& name, quint8 type, quint32 right, quint32 child, quint32 start,
                           quint32 size) {
        const qsizetype at = index * 128;
        for (qsizetype i = 0; i < name.size(); ++i)
            putU16(directory, at + i * 2, name[i].unicode());
        putU16(directory, at + 0x40, quint16((name.size() + 1) * 2));
        directory[at + 0x42] = char(type);
        putU32(directory, at + 0x44, kNone);
        putU32(directory, at + 0x48, right);
        putU32(directory, at + 0x4C, child);
        putU32(directory, at + 0x74, start);
        putU32(directory, at + 0x78, size);
    };
    entry(0, "Root Entry", 5, kNone, 1, kEnd, 0);
    QByteArray data;
    quint32 next = 2;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        QByteArray stream = streams[i].second;
        if (stream.size() < 4096)
            stream.append(QByteArray(4096 - stream.size(), '\0'));
        stream.append(QByteArray((512 - stream.size() % 512) % 512, '\0'));
        const quint32 sectors = quint32(stream.size() / 512);
        for (quint32 s = 0; s < sectors; ++s)
            putU32(fat, (next + s) * 4, s + 1 < sectors ? next + s + 1 : kEnd);
        if (i == 0 && loopFirstStream)
            putU32(fat, (next + 1) * 4, next);
        const quint32 right = i + 1 < streams.size() ? quint32(i + 2) : kNone;
        entry(int(i + 1), streams[i].first, 2, right, kNone, next, quint32(stream.size()));
        next += sectors;
        data += stream;
    }
    return header + fat + directory + data;
}

// What a crafted document holds besides its text.
struct Crafted {
    QByteArray text;              // the characters, one or two bytes each
    bool compressed = false;
    qint32 ccpText = -1;          // the text's length when -1
    quint16 flags = 0;
    std::vector<qint32> sectionEnds;
    QByteArray paragraphPage;     // a 512-byte page of paragraph properties, placed at page 8
};

constexpr int kTextAt = 1024;
constexpr int kFibPairs = 93;

QByteArray wordFile(const Crafted& doc)
{
    const qint32 characters = qint32(doc.compressed ? doc.text.size() : doc.text.size() / 2);
    QByteArray main(kTextAt, '\0');
    putU16(main, 0, 0xA5EC);
    putU16(main, 2, 0xC1);
    putU16(main, 0x0A, doc.flags);
    qsizetype at = 32;
    putU16(main, at, 14);
    at += 2 + 28;
    putU16(main, at, 22);
    putU32(main, at + 2 + 3 * 4, quint32(doc.ccpText < 0 ? characters : doc.ccpText));
    at += 2 + 88;
    putU16(main, at, kFibPairs);
    const qsizetype pairs = at + 2;
    main += doc.text;
    if (!doc.paragraphPage.isEmpty()) {
        main.append(QByteArray(8 * 512 - main.size(), '\0'));
        main += doc.paragraphPage;
    }

    QByteArray table;
    const auto pair = [&](int index, const QByteArray& bytes) {
        putU32(main, pairs + index * 8, quint32(table.size()));
        putU32(main, pairs + index * 8 + 4, quint32(bytes.size()));
        table += bytes;
    };
    QByteArray clx(1 + 4 + 8 + 8, '\0');
    clx[0] = 0x02;
    putU32(clx, 1, 16);
    putU32(clx, 5, 0);
    putU32(clx, 9, quint32(characters));
    putU32(clx, 13 + 2, doc.compressed ? quint32(kTextAt * 2) | 0x40000000 : quint32(kTextAt));
    // A property run before the pieces, which the reader steps over.
    QByteArray prc("\x01\x03\x00\x03\x24\x01", 6);
    pair(33, prc + clx);
    if (!doc.sectionEnds.empty()) {
        QByteArray sed(qsizetype(4 + doc.sectionEnds.size() * 16), '\0');
        for (std::size_t i = 0; i < doc.sectionEnds.size(); ++i)
            putU32(sed, qsizetype((i + 1) * 4), quint32(doc.sectionEnds[i]));
        pair(6, sed);
    }
    if (!doc.paragraphPage.isEmpty()) {
        QByteArray bte(12, '\0');
        putU32(bte, 0, kTextAt);
        putU32(bte, 4, quint32(kTextAt + doc.text.size()));
        putU32(bte, 8, 8);
        pair(13, bte);
    }
    return compoundFile({{"WordDocument", main}, {"0Table", table}});
}

QByteArray utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QString readBytes(const QByteArray& file, const DocReaderLimits& limits = {})
{
    return docBodyText(file, "x.doc", limits);
}

QString errorOf(const QByteArray& file, const DocReaderLimits& limits = {})
{
    try {
        readBytes(file, limits);
    } catch (const std::runtime_error& error) {
        return QString::fromUtf8(error.what());
    }
    return "no error";
}

const QString kPrefix = u"Cannot read \"x.doc\" as a Word 97-2003 document: "_s;

TEST(DocTextTest, MarksBecomeLinesOrNothingAsInADocx)
{
    struct Case {
        const char* what;
        QString text;
        QString expected;
        std::vector<qint32> sectionEnds = {};
    };
    const Case cases[] = {
        {"paragraphs and a line of one space, the last mark ending the text", u"one\r \rthree\r"_s,
         u"one\n \nthree"_s},
        {"leading empty paragraphs are the document's", u"\r\rtext\r"_s, u"\n\ntext"_s},
        {"a line break ends a line, page and column breaks none", u"a\x0b" "b\x0c" "c\x0e" "d\r"_s, u"a\nbcd"_s},
        {"a section's end mark ends its paragraph", u"one\x0ctwo\r"_s, u"one\ntwo"_s, {0, 4, 8}},
        {"only a field's result is text, also within fields",
         u"p \x13 PAGE \x14" "1\x15 of \x13 IF \x13 A \x14x\x15 \x14yes \x13 B \x14z\x15\x15!\r"_s, u"p 1 of yes z!"_s},
        {"anchors and hyphen marks go, tabs and emoji stay",
         u"a\x01\x02\x05\x08" "b\x1e" "c\x1f" "d\t\U0001F600\r"_s, u"abcd\t\U0001F600"_s},
        {"footnotes and text boxes after the body text are left out", u"body\rnote\rbox\r"_s, u"body"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Crafted doc;
        doc.text = utf16(c.text);
        doc.sectionEnds = c.sectionEnds;
        if (QString(c.what).startsWith("footnotes"))
            doc.ccpText = 5;
        EXPECT_EQ(readBytes(wordFile(doc)), c.expected);
    }
}

TEST(DocTextTest, EightBitTextIsReadByTheDocumentedCodePage)
{
    Crafted doc;
    doc.compressed = true;
    doc.text = QByteArray("caf\xe9 \x93quoted\x94 \x85\x80\r");
    EXPECT_EQ(readBytes(wordFile(doc)), u"café “quoted” …\u0080"_s);
}

// A row "a | (empty)" then its end mark, whose properties make it no line.
TEST(DocTextTest, ATableRowsEndMarkGivesNoLine)
{
    Crafted doc;
    doc.compressed = true;
    doc.text = QByteArray("a\x07\x07\x07" "after\r");
    QByteArray page(512, '\0');
    const quint32 fcs[] = {kTextAt, kTextAt + 3, kTextAt + 4, quint32(kTextAt + doc.text.size())};
    for (int i = 0; i < 4; ++i)
        putU32(page, i * 4, fcs[i]);
    page[16 + 13] = char(0x100 / 2);
    // Style 0, a table definition (a 16-bit count one more than its bytes),
    // then "ends a row".
    const QByteArray properties("\x00\x00\x08\xd6\x03\x00\xaa\xbb\x17\x24\x01", 11);
    page[0x100] = char((properties.size() + 1) / 2);
    page.replace(0x101, properties.size(), properties);
    page[511] = 3;
    doc.paragraphPage = page;
    EXPECT_EQ(readBytes(wordFile(doc)), u"a\n\nafter"_s);
}

TEST(DocTextTest, RefusesWhatIsNoReadableWordDocument)
{
    Crafted plain;
    plain.text = utf16(u"text\r"_s);
    const QByteArray good = wordFile(plain);
    Crafted encrypted = plain;
    encrypted.flags = 0x0100;
    Crafted tooLong = plain;
    tooLong.ccpText = 6;
    QByteArray oldWord = good;
    putU16(oldWord, qsizetype(good.indexOf(QByteArray("\xEC\xA5\xC1\x00", 4))) + 2, 0x65);
    struct Case {
        const char* what;
        QByteArray file;
        QString detail;
    };
    const Case cases[] = {
        {"not a compound file", "PK\x03\x04 a zip", u"it is not one (it lacks the compound-file signature)"_s},
        {"cut off", good.left(2048), u"damaged: the file is cut off (a stream is larger than the file)"_s},
        {"a sector chain that loops", compoundFile({{"WordDocument", good.mid(1536, 1024)}}, true),
         u"damaged: a sector chain loops"_s},
        {"encrypted", wordFile(encrypted), u"the document is encrypted"_s},
        {"body text past the pieces", wordFile(tooLong), u"damaged: the body text runs past the piece table"_s},
        {"no Word stream", compoundFile({{"Other", "x"}}), u"it is not one (it holds no Word document stream)"_s},
        {"older than Word 97", oldWord,
         u"it was written by a version of Word older than Word 97, which Pennolux does not read"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorOf(c.file).toStdString(), (kPrefix + c.detail).toStdString());
    }
    EXPECT_EQ(readBytes(good), "text");
    DocReaderLimits small;
    small.maxTextCharacters = 4;
    EXPECT_EQ(errorOf(good, small), kPrefix + "its body text is longer than 4 characters");
}

class DocFileTest : public IsolatedHomeTest {};

TEST_F(DocFileTest, TheFileSizeIsBoundedBeforeItIsRead)
{
    const QString path = writeScratchFile("big.doc", QByteArray(2048, 'x'));
    DocReaderLimits limits;
    limits.maxFileBytes = 1024;
    try {
        readDocText(path, limits);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  "Cannot read \"" + path + "\" as a Word 97-2003 document: the file is larger than 1024 bytes");
    }
}

} // namespace
} // namespace pennolux::testing
