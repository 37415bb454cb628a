// One document a word processor saved as .docx, .doc and .odt, beside the
// word processor's own UTF-8 text export of it: paragraphs, a page break, a
// column break, a field, a tab, a line break, a line of one space, an emoji,
// a 2 x 2 table with an empty cell and a cell of two paragraphs, a text box,
// a footnote and a header.
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
QStringList exportedLines()
{
    QFile file(fixture("same-document.txt"));
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
    EXPECT_GE(footnote, 0);
    if (footnote >= 0)
        lines[footnote] = "Footnote here and on";
    return lines;
}

TEST(SameDocumentTest, DocxDocAndOdtGiveTheLinesOfTheWordProcessorsTextExport)
{
    const QStringList expected = exportedLines();
    // The export leaves the text box and the header out, as the readers do.
    ASSERT_TRUE(expected.filter("TEXT BOX").isEmpty() && expected.filter("Header").isEmpty())
        << "the export changed its leave-outs";
    const DocumentReaders readers;
    for (const QString extension : {".docx", ".doc", ".odt"}) {
        SCOPED_TRACE(extension.toStdString());
        EXPECT_TRUE(readers.WordInstalled(extension));
        EXPECT_EQ(readers.GetWordText(fixture("same-document" + extension)).toStdString(),
                  expected.join(u'\n').toStdString());
    }
}

} // namespace
} // namespace pennolux::testing
