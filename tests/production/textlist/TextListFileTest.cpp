#include "production/textlist/TextListFile.h"

#include "FakeDocumentImport.h"
#include "FakeLocale.h"
#include "IsolatedHomeTest.h"
#include "ZipFixture.h"
#include "platform/AppError.h"
#include "platform/documents/DocumentImport.h"

#include <QDir>
#include <QFile>

#include <vector>

namespace pennolux::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

class TextListFileTest : public IsolatedHomeTest {
protected:
    static QByteArray readBytes(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }

    QString load(const QString& path, const QByteArray& codePage = "windows-1252")
    {
        return loadTextList(path, documents, codePage);
    }

    FakeDocumentImport documents;
};

TEST_F(TextListFileTest, DocumentExtensionsInAnyCaseGoToTheReaderWithLineBreaksNormalised)
{
    documents.text = "first\rsecond\r\nthird\nfourth";
    for (const QString name : {"Report.DOCX", "letter.Doc", "a.b.docx", "notes.doc", "Draft.ODT", "thesis.odt"}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = writeScratchFile(name, "not what the list should show");
        documents.readPaths.clear();

        EXPECT_EQ(load(path), "first\nsecond\nthird\nfourth");
        EXPECT_EQ(documents.readPaths, QStringList{path});
        EXPECT_TRUE(documents.askedExtensions.constLast() == ".doc" ||
                    documents.askedExtensions.constLast() == ".docx" ||
                    documents.askedExtensions.constLast() == ".odt");
    }
}

TEST_F(TextListFileTest, FilesWithoutAReaderAreDecodedAsText)
{
    struct Case {
        const char* name;
        QSet<QString> installedFor;
    };
    const Case cases[] = {
        {"plain.txt", {".doc", ".docx"}},
        {"archive.docx.bak", {".doc", ".docx"}},
        {"docx", {".doc", ".docx"}},
        {"Report.DOCX", {".doc"}},
        {"old.doc", {}},
        {"draft.odt", {".doc", ".docx"}},
        {"draft.odt.txt", {".doc", ".docx", ".odt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        documents.installedFor = c.installedFor;
        documents.readPaths.clear();
        const QString path = writeScratchFile(c.name, QByteArray("PK\x03\x04zip\r\nbytes"));

        EXPECT_EQ(load(path), QString::fromUtf8("PK\x03\x04zip\nbytes"));
        EXPECT_TRUE(documents.readPaths.isEmpty());
    }
}

TEST_F(TextListFileTest, AReaderFailureReachesTheCallerWithItsText)
{
    documents.failure = "Cannot read \"x.doc\" as a Word 97-2003 document: the document is encrypted";
    const QString path = writeScratchFile("x.doc", "");
    try {
        load(path);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), documents.failure);
    }
}

// The readers both programs are given: an OpenDocument text is read as a
// document, never as the text its zip bytes would make.
TEST_F(TextListFileTest, AnOpenDocumentTextGoesToTheRealReaders)
{
    const DocumentReaders readers;
    const QString document = scratch() + "/list.odt";
    writeOdtFile(document, "<text:p>first</text:p><text:p>second<text:line-break/>third</text:p>");
    EXPECT_EQ(loadTextList(document, readers, "windows-1252"), "first\nsecond\nthird");
    EXPECT_EQ(openTextList(document, readers, "windows-1252")->lineCount(), 3);

    const QString zipBytes = writeScratchFile("broken.odt", QByteArray("PK\x03\x04 and no more of a zip").repeated(10));
    for (const bool streamed : {false, true}) {
        SCOPED_TRACE(streamed ? "opened" : "loaded");
        try {
            if (streamed)
                openTextList(zipBytes, readers, "windows-1252");
            else
                loadTextList(zipBytes, readers, "windows-1252");
            FAIL() << "no error";
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(), "\"" + zipBytes + "\" is not a readable OpenDocument text (damaged archive)");
        }
    }
}

// A run numbers its images by the list's lines, so the same document in any
// of its three formats must give the same lines at the same places.
TEST_F(TextListFileTest, OneDocumentInEachFormatGivesTheSameNumberedLines)
{
    const DocumentReaders readers;
    std::vector<QStringList> listed;
    for (const QString extension : {".docx", ".doc", ".odt"}) {
        const auto source =
            openTextList(QStringLiteral(PENNOLUX_TEST_DOCUMENTS "/same-document") + extension, readers, "windows-1252");
        QStringList lines;
        for (int i = 0; i < source->lineCount(); ++i)
            lines << source->line(i);
        listed.push_back(lines);
    }
    EXPECT_EQ(listed[0].size(), 17);
    EXPECT_EQ(listed[1].join(u'|').toStdString(), listed[0].join(u'|').toStdString());
    EXPECT_EQ(listed[2].join(u'|').toStdString(), listed[0].join(u'|').toStdString());
}

TEST_F(TextListFileTest, DecodesByStrictUtf8ThenBomThenTheLegacyCodePage)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        QByteArray codePage;
        QString expected;
    };
    const Case cases[] = {
        {"pure ASCII", "plain\r\nascii", "windows-1251", "plain\nascii"},
        {"UTF-8 wins over the code page", "Gr\xC3\xBC\xC3\x9F" "e", "windows-1251", u"Grüße"_s},
        {"windows-1252 bytes", "Gr\xFC\xDF" "e\r\nzweite", "windows-1252", u"Grüße\nzweite"_s},
        {"windows-1251 bytes", "\xCF\xF0\xE8\xE2\xE5\xF2", "windows-1251", u"Привет"_s},
        {"UTF-8 BOM skipped", "\xEF\xBB\xBF" "caf\xC3\xA9\nb", "windows-1252", u"café\nb"_s},
        {"UTF-8 BOM with bad bytes after it", "\xEF\xBB\xBF" "a\xFF", "windows-1252", u"a\uFFFD"_s},
        {"UTF-16 LE BOM", QByteArray("\xFF\xFE" "a\0\xE9\0\r\0\n\0b\0", 12), "windows-1252", u"aé\nb"_s},
        {"UTF-16 BE BOM", QByteArray("\xFE\xFF\0a\0\xE9\0\r\0\n\0b", 12), "windows-1252", u"aé\nb"_s},
        {"empty file", "", "windows-1252", ""},
        {"LF only", "one\ntwo\n\nfour", "windows-1252", "one\ntwo\n\nfour"},
        {"CR only", "one\rtwo\r\rfour\r", "windows-1252", "one\ntwo\n\nfour\n"},
        {"unknown code page falls back to Western", "\xFC", "no-such-page", u"ü"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = writeScratchFile("list.txt", c.bytes);
        EXPECT_EQ(load(path, c.codePage), c.expected);
    }
}

TEST_F(TextListFileTest, TheLocalesCodePageDecodesNonUtf8Files)
{
    FakeLocale locale;
    locale.codePage = "windows-1251";
    const QString path = writeScratchFile("russian.txt", "\xC4\xE0\r\n\xCD\xE5\xF2");

    EXPECT_EQ(loadTextList(path, documents, locale.legacyCodePage()), u"Да\nНет"_s);
}

TEST_F(TextListFileTest, EveryLegacyCodePageDecodesThroughIcu)
{
    struct Case {
        QByteArray codePage;
        QByteArray bytes;
        QString expected;
    };
    const Case cases[] = {
        {"windows-1250", "\x8A", u"Š"_s},      {"windows-1251", "\xC0", u"А"_s},
        {"windows-1252", "\x80", u"€"_s},      {"windows-1253", "\xC1", u"Α"_s},
        {"windows-1254", "\xD0", u"Ğ"_s},      {"windows-1255", "\xE0", u"א"_s},
        {"windows-1256", "\xC7", u"ا"_s},      {"windows-1257", "\xC0", u"Ą"_s},
        {"windows-1258", "\xC3", u"Ă"_s},      {"windows-874", "\xA1", u"ก"_s},
        {"windows-31j", "\x82\xA0", u"あ"_s},  {"GBK", "\xC4\xE3", u"你"_s},
        {"Big5", "\xA7\x41", u"你"_s},         {"windows-949", "\xB0\xA1", u"가"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage.toStdString());
        EXPECT_EQ(load(writeScratchFile("list.txt", c.bytes), c.codePage), c.expected);
    }
}

TEST_F(TextListFileTest, StrictUtf8RejectsEveryInvalidSequence)
{
    const QByteArray invalid[] = {
        "\xC0\xAF",         // overlong "/"
        "\xE0\x80\xAF",     // overlong, three bytes
        "\xED\xA0\x80",     // a surrogate
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "ab\xE2\x82",       // cut off at the end
        "\x80",             // a lone continuation byte
        "\xFE",
    };
    // Each is read in the legacy code page instead, byte for byte.
    for (const QByteArray& bytes : invalid) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        EXPECT_EQ(load(writeScratchFile("list.txt", bytes), "windows-1252").size(), bytes.size());
    }
    EXPECT_EQ(load(writeScratchFile("list.txt", "\xEF\xBB\xBF\xF0\x9F\x98\x80")), u"😀"_s);
}

TEST_F(TextListFileTest, AFileThatCannotBeReadNamesItself)
{
    const QString missing = scratch() + "/missing.txt";
    try {
        load(missing);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), "Cannot open file \"" + missing + "\". No such file or directory");
    }

    const QString folder = scratch() + "/folder.txt";
    QDir().mkpath(folder);
    try {
        load(folder);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().startsWith("Cannot open file \"" + folder + "\". ")) << error.what();
    }
}

TEST_F(TextListFileTest, SavesUtf8WithCrLfBetweenLinesOnly)
{
    struct Case {
        const char* what;
        QString list;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty list", "", ""},
        {"one line", "one", "one"},
        {"lines and an empty one", u"Grüße\n\nlast"_s, "Gr\xC3\xBC\xC3\x9F" "e\r\n\r\nlast"},
        {"a break at the end is the user's", "a\n", "a\r\n"},
        {"CR LF already there is not doubled", "a\r\nb", "a\r\nb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = scratch() + "/saved.txt";
        saveTextList(path, c.list);
        EXPECT_EQ(readBytes(path), c.bytes);
    }
}

TEST_F(TextListFileTest, ASavedListLoadsBackUnchanged)
{
    const QString list = u"first@example.com\n\nÜmlaut Ölçü\n日本語\nlast"_s;
    const QString path = scratch() + "/round.txt";
    saveTextList(path, list);

    EXPECT_EQ(load(path), list);
}

TEST_F(TextListFileTest, SavingReplacesAnExistingFileWhole)
{
    const QString path = writeScratchFile("old.txt", "a much longer old content that must not survive");
    saveTextList(path, "short");

    EXPECT_EQ(readBytes(path), "short");
}

TEST_F(TextListFileTest, SavingWhereNoFileCanBeMadeFailsAndWritesNothing)
{
    const QString regularFile = writeScratchFile("plain", "x");
    for (const QString& path : {scratch() + "/no/such/folder/list.txt", regularFile + "/list.txt"}) {
        SCOPED_TRACE(path.toStdString());
        try {
            saveTextList(path, "a\nb");
            FAIL() << "no error";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message().startsWith("Cannot create file \"" + path + "\". ")) << error.what();
        }
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_FALSE(QDir(scratch() + "/no").exists());
    EXPECT_EQ(QDir(scratch()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"plain"});
}

} // namespace
} // namespace pennolux::testing
