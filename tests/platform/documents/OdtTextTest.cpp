#include "platform/documents/OdtText.h"

#include "IsolatedHomeTest.h"
#include "ZipFixture.h"
#include "platform/documents/DocumentImport.h"
#include "platform/documents/DocxText.h"

#include <QFile>

#include <stdexcept>
#include <string>

namespace pennolux::testing {
namespace {

constexpr qint64 generousCap = 1024 * 1024;

class OdtTextTest : public IsolatedHomeTest {
protected:
    QString writeOdt(const std::string& text, const QString& name = "document.odt")
    {
        const QString path = scratch() + "/" + name;
        writeOdtFile(path, text);
        return path;
    }

    QString writeZip(const std::vector<ZipEntry>& entries)
    {
        const QString path = scratch() + "/document.odt";
        writeZipFile(path, entries);
        return path;
    }

    static std::string read(const QString& path, qint64 cap = generousCap) { return readOdtText(path, cap).toStdString(); }

    // The error text of reading path, or a failure when there is none.
    static QString readError(const QString& path, qint64 cap = generousCap)
    {
        try {
            readOdtText(path, cap);
        } catch (const std::runtime_error& error) {
            return QString::fromUtf8(error.what());
        }
        ADD_FAILURE() << "no error for " << path.toStdString();
        return {};
    }

    static QString errorPrefix(const QString& path)
    {
        return "Cannot read \"" + path + "\" as an OpenDocument text: ";
    }
};

TEST_F(OdtTextTest, TakesTheBodyTextOneLinePerParagraph)
{
    struct Case {
        const char* what;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"headings, paragraphs, spans and an empty paragraph",
         R"(<text:h text:outline-level="1">Title</text:h><text:p text:style-name="P1">Hello )"
         R"(<text:span>wörld</text:span></text:p><text:p/><text:p>日本 😀</text:p>)",
         "Title\nHello wörld\n\n日本 😀"},
        {"line break, tab and counted spaces; a line of one space",
         R"(<text:p>a<text:tab/>b<text:line-break/>c<text:s text:c="3"/>d <text:s/>e</text:p><text:p><text:s/></text:p>)",
         "a\tb\nc   d  e\n "},
        {"white space in the markup collapses, at a paragraph's start it goes",
         "<text:p>\n   two \t\n <text:span> words</text:span> </text:p>\n  <text:p>next</text:p>\n",
         "two words \nnext"},
        {"soft page breaks are nothing",
         R"(<text:p>before</text:p><text:soft-page-break/><text:p>af<text:soft-page-break/>ter</text:p>)",
         "before\nafter"},
        {"list items and table cells: each paragraph a line, no list labels",
         R"(<text:list><text:list-item><text:number>1.</text:number><text:p>one</text:p></text:list-item>)"
         R"(<text:list-item><text:p>two</text:p><text:list><text:list-item><text:p>nested</text:p></text:list-item>)"
         R"(</text:list></text:list-item></text:list><table:table><table:table-column/><table:table-row>)"
         R"(<table:table-cell><text:p>a1</text:p><text:p>a1 more</text:p></table:table-cell>)"
         R"(<table:table-cell><text:p/></table:table-cell><table:table-cell><text:p>c1</text:p></table:table-cell>)"
         R"(</table:table-row></table:table><text:p>after</text:p>)",
         "one\ntwo\nnested\na1\na1 more\n\nc1\nafter"},
        {"notes, comments, frames, shapes, tracked deletions and index templates left out",
         R"(<text:tracked-changes><text:changed-region text:id="c1"><text:deletion><text:p>deleted</text:p>)"
         R"(</text:deletion></text:changed-region></text:tracked-changes>)"
         R"(<text:table-of-content><text:table-of-content-source><text:index-title-template>Contents)"
         R"(</text:index-title-template></text:table-of-content-source><text:index-body><text:p>Chapter)"
         R"(<text:tab/>1</text:p></text:index-body></text:table-of-content>)"
         R"(<text:p>Text box anchor <draw:frame><draw:text-box><text:p>TEXT BOX LINE 2</text:p></draw:text-box>)"
         R"(</draw:frame>after box.<text:note text:note-class="footnote"><text:note-citation>1</text:note-citation>)"
         R"(<text:note-body><text:p>foot</text:p></text:note-body></text:note> End<office:annotation>)"
         R"(<dc:creator>me</dc:creator><text:p>comment</text:p></office:annotation><text:change text:change-id="c1"/>)"
         R"(<draw:custom-shape><text:p>shape</text:p></draw:custom-shape>.</text:p>)",
         "Chapter\t1\nText box anchor after box. End."},
        {"names go by namespace, not by prefix",
         R"(<x:p xmlns:x="urn:oasis:names:tc:opendocument:xmlns:text:1.0">one</x:p>)"
         R"(<text:p xmlns:text="urn:other">foreign</text:p>)",
         "one"},
        {"no paragraphs", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(read(writeOdt(c.text)), c.expected);
    }
}

// A spreadsheet or a drawing saved under .odt has no text body to read.
TEST_F(OdtTextTest, OnlyTheTextBodyIsRead)
{
    const std::string spreadsheet =
        R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
        R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0">)"
        R"(<office:body><office:spreadsheet><table:table><table:table-row><table:table-cell><text:p>cell</text:p>)"
        R"(</table:table-cell></table:table-row></table:table></office:spreadsheet></office:body></office:document-content>)";
    EXPECT_EQ(read(writeZip({{"content.xml", spreadsheet}})), "");
}

TEST_F(OdtTextTest, BrokenMalformedAndOversizedDocumentsAreRefusedNamingTheFile)
{
    const QString notAZip = writeScratchFile("zip-bytes.odt", QByteArray("PK\x03\x04 and then nothing of a zip").repeated(20));
    EXPECT_EQ(readError(notAZip), "\"" + notAZip + "\" is not a readable OpenDocument text (damaged archive)");

    const QString noContent = writeZip({{"mimetype", "application/vnd.oasis.opendocument.text"}, {"styles.xml", "<x/>"}});
    EXPECT_EQ(readError(noContent), errorPrefix(noContent) + "it has no content.xml");

    const QString malformed = writeZip({{"content.xml", "<office:document-content><office:body></office:document-content>"}});
    EXPECT_TRUE(readError(malformed).startsWith(errorPrefix(malformed) + "unbound prefix at line 1 of content.xml"))
        << readError(malformed).toStdString();

    const QString withDtd = writeZip({{"content.xml", R"(<!DOCTYPE x [<!ENTITY a "lol">]><x>&a;</x>)"}});
    EXPECT_EQ(readError(withDtd), errorPrefix(withDtd) + "its content.xml declares a DTD, which an OpenDocument text never does");

    std::string paragraphs;
    for (int paragraph = 0; paragraph < 2000; ++paragraph)
        paragraphs += "<text:p>a line of some length</text:p>";
    const QString large = writeOdt(paragraphs);
    EXPECT_EQ(readError(large, 10000), errorPrefix(large) + "its text unpacks to more than 10000 bytes");
    EXPECT_EQ(readOdtText(large, generousCap).count(u'\n'), 1999);

    // A few bytes that spell out more spaces than the cap allows.
    const QString manySpaces = writeOdt(R"(<text:p>x<text:s text:c="2000000000"/></text:p>)");
    EXPECT_EQ(readError(manySpaces, 10000), errorPrefix(manySpaces) + "its text unpacks to more than 10000 bytes");
}

// What the word processor keeps in its own format and what it saves for
// Word are the same lines.
TEST_F(OdtTextTest, AnOdtAndADocxOfTheSameDocumentGiveTheSameLines)
{
    const std::string odt =
        R"(<text:h text:outline-level="1">Heading</text:h><text:p>First<text:tab/>tabbed 😀</text:p>)"
        R"(<text:p>Text box anchor <draw:frame><draw:text-box><text:p>TEXT BOX</text:p></draw:text-box></draw:frame>)"
        R"(after box.<text:note text:note-class="footnote"><text:note-citation>1</text:note-citation><text:note-body>)"
        R"(<text:p>A footnote.</text:p></text:note-body></text:note></text:p><text:soft-page-break/>)"
        R"(<text:p><text:s/></text:p><table:table><table:table-row><table:table-cell><text:p>cell 1</text:p>)"
        R"(<text:p>cell 1 again</text:p></table:table-cell><table:table-cell><text:p>cell 2</text:p></table:table-cell>)"
        R"(</table:table-row></table:table><text:p>a<text:line-break/>b</text:p>)";
    const std::string docx =
        R"(<w:p><w:r><w:t>Heading</w:t></w:r></w:p><w:p><w:r><w:t>First</w:t><w:tab/><w:t>tabbed 😀</w:t></w:r></w:p>)"
        R"(<w:p><w:r><w:t xml:space="preserve">Text box anchor </w:t></w:r><w:r><mc:AlternateContent>)"
        R"(<mc:Choice Requires="wps"><w:drawing><wps:txbx><w:txbxContent><w:p><w:r><w:t>TEXT BOX</w:t></w:r></w:p>)"
        R"(</w:txbxContent></wps:txbx></w:drawing></mc:Choice><mc:Fallback><w:pict><v:textbox><w:txbxContent>)"
        R"(<w:p><w:r><w:t>TEXT BOX</w:t></w:r></w:p></w:txbxContent></v:textbox></w:pict></mc:Fallback>)"
        R"(</mc:AlternateContent></w:r><w:r><w:t>after box.</w:t></w:r><w:r><w:footnoteReference w:id="1"/></w:r></w:p>)"
        R"(<w:p><w:r><w:br w:type="page"/><w:t xml:space="preserve"> </w:t></w:r></w:p><w:tbl><w:tr><w:tc>)"
        R"(<w:p><w:r><w:t>cell 1</w:t></w:r></w:p><w:p><w:r><w:t>cell 1 again</w:t></w:r></w:p></w:tc><w:tc>)"
        R"(<w:p><w:r><w:t>cell 2</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p><w:r><w:t>a</w:t><w:br/><w:t>b</w:t></w:r></w:p>)";
    const QString docxPath = scratch() + "/same.docx";
    writeDocxFile(docxPath, docx);
    const QString expected = QString::fromUtf8(
        "Heading\nFirst\ttabbed 😀\nText box anchor after box.\n \ncell 1\ncell 1 again\ncell 2\na\nb");

    EXPECT_EQ(readOdtText(writeOdt(odt), generousCap).toStdString(), expected.toStdString());
    EXPECT_EQ(readDocxText(docxPath, generousCap).toStdString(), expected.toStdString());
}

TEST_F(OdtTextTest, TheReadersTakeOdtByTheirExtensionInAnyCase)
{
    const QString lower = writeOdt("<text:p>via the readers</text:p>");
    const QString upper = writeOdt("<text:p>via the readers</text:p>", "UPPER.ODT");
    const DocumentReaders readers;

    EXPECT_TRUE(readers.WordInstalled(".odt"));
    EXPECT_EQ(readers.GetWordText(lower), "via the readers");
    EXPECT_EQ(readers.GetWordText(upper), "via the readers");
}

} // namespace
} // namespace pennolux::testing
