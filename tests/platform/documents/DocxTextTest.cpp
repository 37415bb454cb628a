#include "platform/documents/DocxText.h"

#include "IsolatedHomeTest.h"
#include "platform/documents/DocumentImport.h"
#include "ZipFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <stdexcept>
#include <string>
#include <vector>

namespace pennolux::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr qint64 generousCap = 1024 * 1024;

class DocxTextTest : public IsolatedHomeTest {
protected:
    QString writeZip(const std::vector<ZipEntry>& entries)
    {
        const QString path = scratch() + "/document.docx";
        writeZipFile(path, entries);
        return path;
    }

    QString writeDocx(const std::string& body)
    {
        const QString path = scratch() + "/document.docx";
        writeDocxFile(path, body);
        return path;
    }

    // The error text of reading path, or a failure when there is none.
    static QString readError(const QString& path, qint64 cap = generousCap)
    {
        try {
            readDocxText(path, cap);
        } catch (const std::runtime_error& error) {
            return QString::fromUtf8(error.what());
        }
        ADD_FAILURE() << "no error for " << path.toStdString();
        return {};
    }

    static QString errorPrefix(const QString& path) { return "Cannot read \"" + path + "\" as a Word document: "; }
};

TEST_F(DocxTextTest, TakesTheBodyTextOneLinePerParagraph)
{
    struct Case {
        const char* what;
        std::string body;
        QString expected;
    };
    const Case cases[] = {
        {"runs and paragraphs",
         R"(<w:p><w:r><w:t>Hello</w:t></w:r><w:r><w:t xml:space="preserve"> wörld</w:t></w:r></w:p>)"
         R"(<w:p/><w:p><w:r><w:t>日本</w:t></w:r></w:p>)",
         u"Hello wörld\n\n日本"_s},
        {"tab, break and carriage return inside runs; tab stops are no tabs",
         R"(<w:p><w:pPr><w:tabs><w:tab w:val="left" w:pos="720"/></w:tabs></w:pPr>)"
         R"(<w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t><w:cr/><w:t>d</w:t></w:r></w:p>)",
         "a\tb\nc\nd"},
        {"deleted text and field codes left out",
         R"(<w:p><w:del><w:r><w:delText>gone</w:delText></w:r></w:del><w:r><w:fldChar w:fldCharType="begin"/>)"
         R"(<w:instrText xml:space="preserve"> PAGE </w:instrText></w:r><w:r><w:t>kept</w:t></w:r></w:p>)",
         "kept"},
        {"alternate content read once, from the choice",
         R"(<w:p><w:r><w:t>before</w:t></w:r><w:r><mc:AlternateContent><mc:Choice Requires="w14">)"
         R"(<w:t>chosen</w:t></mc:Choice><mc:Fallback><w:t>fallback</w:t></mc:Fallback></mc:AlternateContent></w:r></w:p>)",
         "beforechosen"},
        {"names go by namespace, not by prefix",
         R"(<x:p xmlns:x="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><x:r><x:t>one</x:t></x:r></x:p>)"
         R"(<w:p><w:r xmlns:w="urn:other"><w:t>foreign</w:t></w:r></w:p>)",
         "one\n"},
        {"a paragraph of only a section's end is no line; one with text keeps it, and an empty one stays",
         R"(<w:p><w:pPr><w:sectPr><w:type w:val="nextPage"/></w:sectPr></w:pPr></w:p>)"
         R"(<w:p><w:r><w:t>left</w:t></w:r></w:p>)"
         R"(<w:p><w:pPr><w:sectPr><w:cols w:num="2"/></w:sectPr></w:pPr><w:bookmarkStart w:id="0"/></w:p>)"
         R"(<w:p><w:pPr><w:sectPr/></w:pPr><w:r><w:t>ends a section</w:t></w:r></w:p><w:p/>)"
         R"(<w:p><w:r><w:t>last</w:t></w:r></w:p><w:sectPr/>)",
         "left\nends a section\n\nlast"},
        {"no paragraphs", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(readDocxText(writeDocx(c.body), generousCap), c.expected);
    }
}

// A page or column break moves the text on without ending its line: only a
// plain break (or a text-wrapping one) does, so the numbering of the lines
// after a page break stays that of the paragraphs.
TEST_F(DocxTextTest, OnlyLineBreaksEndALinePageAndColumnBreaksDoNot)
{
    const std::string withoutBreaks = R"(<w:p><w:r><w:t>first</w:t><w:t xml:space="preserve"> half</w:t></w:r></w:p>)"
                                      R"(<w:p><w:r><w:t>second</w:t></w:r></w:p><w:p/><w:p><w:r><w:t>third</w:t></w:r></w:p>)";
    const std::string withBreaks =
        R"(<w:p><w:r><w:t>first</w:t><w:br w:type="page"/><w:t xml:space="preserve"> half</w:t></w:r></w:p>)"
        R"(<w:p><w:r><w:lastRenderedPageBreak/><w:t>second</w:t><w:br w:type="column"/></w:r></w:p>)"
        R"(<w:p><w:r><w:br w:type="page"/></w:r></w:p>)"
        R"(<w:p><w:r><w:br w:type="page" w:clear="all"/><w:t>third</w:t></w:r></w:p>)";
    const QString expected = "first half\nsecond\n\nthird";
    EXPECT_EQ(readDocxText(writeDocx(withoutBreaks), generousCap), expected);
    EXPECT_EQ(readDocxText(writeDocx(withBreaks), generousCap), expected);

    const std::string lineBreaks = R"(<w:p><w:r><w:t>a</w:t><w:br/><w:t>b</w:t><w:br w:type="textWrapping"/>)"
                                   R"(<w:t>c</w:t><w:br w:type="textWrapping" w:clear="left"/><w:t>d</w:t></w:r></w:p>)";
    EXPECT_EQ(readDocxText(writeDocx(lineBreaks), generousCap), "a\nb\nc\nd");
}

// Text boxes float beside the body text as headers, footers, footnotes and
// comments do; their paragraphs, in the preferred shape and in the fall-back
// copy alike, are no lines of the list, and the anchor keeps its own text.
TEST_F(DocxTextTest, TextBoxesAreLeftOutAndTheirAnchorKeepsItsText)
{
    const std::string drawingBox =
        R"(<w:p><w:r><w:t xml:space="preserve">Text box anchor </w:t></w:r><w:r><mc:AlternateContent>)"
        R"(<mc:Choice Requires="wps"><w:drawing><wps:wsp><wps:txbx><w:txbxContent>)"
        R"(<w:p><w:r><w:t>TEXT BOX LINE 1</w:t></w:r></w:p><w:p><w:r><w:t>TEXT BOX LINE 2</w:t></w:r></w:p>)"
        R"(</w:txbxContent></wps:txbx></wps:wsp></w:drawing></mc:Choice><mc:Fallback><w:pict><v:shape><v:textbox>)"
        R"(<w:txbxContent><w:p><w:r><w:t>TEXT BOX LINE 1</w:t></w:r></w:p><w:p><w:r><w:t>TEXT BOX LINE 2</w:t></w:r></w:p>)"
        R"(</w:txbxContent></v:textbox></v:shape></w:pict></mc:Fallback></mc:AlternateContent></w:r>)"
        R"(<w:r><w:t>after box.</w:t></w:r></w:p><w:p><w:r><w:t>next</w:t></w:r></w:p>)";
    EXPECT_EQ(readDocxText(writeDocx(drawingBox), generousCap), "Text box anchor after box.\nnext");

    const std::string vmlBox = R"(<w:p><w:r><w:pict><v:shape><v:textbox><w:txbxContent><w:p><w:r><w:t>boxed</w:t>)"
                               R"(</w:r></w:p></w:txbxContent></v:textbox></v:shape></w:pict></w:r>)"
                               R"(<w:r><w:t>anchor</w:t></w:r></w:p>)";
    EXPECT_EQ(readDocxText(writeDocx(vmlBox), generousCap), "anchor");
}

// Whatever libzip finds wrong with an archive, the user reads one sentence.
TEST_F(DocxTextTest, ABrokenOrIncompleteArchiveIsAClearError)
{
    auto damaged = [](const QString& path) { return "\"" + path + "\" is not a readable Word document (damaged archive)"; };
    const QString randomBytes =
        writeScratchFile("random.docx", QByteArray("\x13\x37 not a zip at all, but long enough to look for one").repeated(20));
    EXPECT_EQ(readError(randomBytes), damaged(randomBytes));

    // An end-of-archive record on disk 1 of a multi-disk set.
    const QString multiDisk = writeScratchFile("multi.docx", QByteArray("PK\x05\x06\x01\x00\x01\x00", 8) + QByteArray(14, '\0'));
    EXPECT_EQ(readError(multiDisk), damaged(multiDisk));

    const QString truncated = writeDocx("<w:p><w:r><w:t>text</w:t></w:r></w:p>");
    ASSERT_TRUE(QFile::resize(truncated, QFileInfo(truncated).size() - 30));
    EXPECT_EQ(readError(truncated), damaged(truncated));

    const QString noDocument = writeZip({{"word/styles.xml", "<w:styles/>"}});
    EXPECT_EQ(readError(noDocument), errorPrefix(noDocument) + "it has no word/document.xml");
}

// Only a text file's first bytes are a byte-order mark: a document's text
// keeps a U+FEFF it begins with.
TEST_F(DocxTextTest, ALeadingZeroWidthNoBreakSpaceIsText)
{
    const QString path = writeDocx("<w:p><w:r><w:t>\xEF\xBB\xBF" "first</w:t></w:r></w:p>");
    EXPECT_EQ(readDocxText(path, generousCap), QString(QChar(0xFEFF)) + "first");
}

TEST_F(DocxTextTest, MalformedXmlAndDtdsAreRefused)
{
    const QString malformed = writeZip({{"word/document.xml", "<document><body></document>"}});
    EXPECT_TRUE(readError(malformed).startsWith(errorPrefix(malformed) + "mismatched tag at line 1"))
        << readError(malformed).toStdString();

    const std::string laughs = R"(<?xml version="1.0"?><!DOCTYPE w:document [<!ENTITY a "lol">)"
                               R"(<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">]>)"
                               R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
                               R"(<w:body><w:p><w:r><w:t>&c;</w:t></w:r></w:p></w:body></w:document>)";
    const QString withDtd = writeZip({{"word/document.xml", laughs}});
    EXPECT_EQ(readError(withDtd), errorPrefix(withDtd) + "its document.xml declares a DTD, which a Word document never does");
}

TEST_F(DocxTextTest, ADocumentPartBeyondTheCapIsRefused)
{
    std::string body;
    for (int paragraph = 0; paragraph < 2000; ++paragraph)
        body += "<w:p><w:r><w:t>a line of some length</w:t></w:r></w:p>";
    const QString large = writeDocx(body);
    const QString tooLarge = errorPrefix(large) + "its text unpacks to more than 10000 bytes";

    EXPECT_EQ(readError(large, 10000), tooLarge);
    EXPECT_EQ(readDocxText(large, generousCap).count(u'\n'), 1999);
}

// A zip whose headers claim a small document part, while it unpacks to much more.
TEST_F(DocxTextTest, TheCapHoldsAlsoWhenTheHeadersUnderstateTheSize)
{
    std::string body;
    for (int paragraph = 0; paragraph < 2000; ++paragraph)
        body += "<w:p><w:r><w:t>a line of some length</w:t></w:r></w:p>";
    const QString path = writeDocx(body);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const QByteArray name = "word/document.xml";
    qsizetype patched = 0;
    // Local header: size at 22, name at 30; central header: size at 24, name at 46.
    for (qsizetype at = bytes.indexOf("PK\x03\x04"); at >= 0; at = bytes.indexOf("PK\x03\x04", at + 4)) {
        if (bytes.mid(at + 30, name.size()) == name) {
            qToLittleEndian<quint32>(500, bytes.data() + at + 22);
            ++patched;
        }
    }
    for (qsizetype at = bytes.indexOf("PK\x01\x02"); at >= 0; at = bytes.indexOf("PK\x01\x02", at + 4)) {
        if (bytes.mid(at + 46, name.size()) == name) {
            qToLittleEndian<quint32>(500, bytes.data() + at + 24);
            ++patched;
        }
    }
    ASSERT_EQ(patched, 2);
    file.seek(0);
    file.write(bytes);
    file.close();

    EXPECT_EQ(readError(path, 10000), errorPrefix(path) + "its text unpacks to more than 10000 bytes");
    // libzip itself takes the stated size on trust.
    EXPECT_EQ(readDocxText(path, generousCap).count(u'\n'), 1999);
}

TEST_F(DocxTextTest, TheReadersTakeDocxByTheirExtensionInAnyCase)
{
    const QString lower = writeDocx("<w:p><w:r><w:t>via the readers</w:t></w:r></w:p>");
    const QString upper = scratch() + "/UPPER.DOCX";
    ASSERT_TRUE(QFile::copy(lower, upper));
    const DocumentReaders readers;

    EXPECT_TRUE(readers.WordInstalled(".docx"));
    EXPECT_FALSE(readers.WordInstalled(".txt"));
    EXPECT_EQ(readers.GetWordText(lower), "via the readers");
    EXPECT_EQ(readers.GetWordText(upper), "via the readers");
}

} // namespace
} // namespace pennolux::testing
