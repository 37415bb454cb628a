// Documents a word processor saved as .docx, .doc and .odt, each beside the
// word processor's own UTF-8 text export of it. "same-document": paragraphs,
// a page break, a column break, a field, a tab, a line break, a line of one
// space, an emoji, a 2 x 2 table with an empty cell and a cell of two
// paragraphs, a text box, a footnote and a header. "two-columns" (saved from
// two-columns.fodt): a section in two columns whose second column starts
// with a break before its paragraph, then a page break before a paragraph.
#include "platform/documents/DocumentImport.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

namespace pennolux::testing {
namespace {

QString fixture(const QString& name)
{
    return QStringLiteral(PENNOLUX_TEST_DOCUMENTS "/") + name;
}

// The export's lines: it starts with a byte-order mark and ends every line.
QStringList exportedLines(const QString& document)
{
    QFile file(fixture(document + ".txt"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (text.endsWith(u'\n'))
        text.chop(1);
    QStringList lines = text.split(u'\n');
    // The export writes the footnote's number where its reference stands;
    // a footnote is not body text, and no reader gives its mark.
    const qsizetype footnote = lines.indexOf("Footnote here1 and on");
    if (footnote >= 0)
        lines[footnote] = "Footnote here and on";
    return lines;
}

TEST(SameDocumentTest, DocxDocAndOdtGiveTheLinesOfTheWordProcessorsTextExport)
{
    const QStringList sameDocument = exportedLines("same-document");
    // The export leaves the text box and the header out, as the readers do.
    ASSERT_TRUE(sameDocument.contains("Footnote here and on") && sameDocument.filter("TEXT BOX").isEmpty() &&
                sameDocument.filter("Header").isEmpty())
        << "the export changed its leave-outs";
    ASSERT_EQ(exportedLines("two-columns"),
              (QStringList{"Before section", "Left column", "Right column", "After section", "After page break"}));

    const DocumentReaders readers;
    for (const QString document : {"same-document", "two-columns"}) {
        const QStringList expected = exportedLines(document);
        for (const QString extension : {".docx", ".doc", ".odt"}) {
            SCOPED_TRACE((document + extension).toStdString());
            EXPECT_TRUE(readers.WordInstalled(extension));
            EXPECT_EQ(readers.GetWordText(fixture(document + extension)).toStdString(),
                      expected.join(u'\n').toStdString());
        }
    }
}

} // namespace
} // namespace pennolux::testing
