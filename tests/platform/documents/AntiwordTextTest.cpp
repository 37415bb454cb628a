#include "platform/documents/DocumentImport.h"

#include "IsolatedHomeTest.h"

#include <QElapsedTimer>
#include <QFile>

#include <stdexcept>

namespace pennolux::testing {
namespace {

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

constexpr char ole2Signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// Stand-ins for antiword: shell scripts in the scratch folder, so the
// readers' handling of a child process is tested without a real .doc.
class AntiwordTextTest : public IsolatedHomeTest {
protected:
    QString writeScript(const QByteArray& body)
    {
        const QString path = writeScratchFile("antiword-" + QString::number(++scripts_), "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        return path;
    }

    QString writeDoc() { return writeScratchFile("letter.doc", QByteArray(ole2Signature) + QByteArray(504, '\0')); }

    static DocumentReaders readersRunning(const QString& program, std::chrono::milliseconds timeout = 10s,
                                          qint64 maxOutput = 16 * 1024 * 1024)
    {
        DocumentReaderLimits limits;
        limits.antiwordProgram = program;
        limits.antiwordTimeout = timeout;
        limits.maxAntiwordOutputBytes = maxOutput;
        return DocumentReaders(limits);
    }

    static QString readError(const DocumentReaders& readers, const QString& path)
    {
        try {
            readers.GetWordText(path);
        } catch (const std::runtime_error& error) {
            return QString::fromUtf8(error.what());
        }
        ADD_FAILURE() << "no error for " << path.toStdString();
        return {};
    }

private:
    int scripts_ = 0;
};

TEST_F(AntiwordTextTest, DocIsReadableOnlyWhenAntiwordIsFound)
{
    EXPECT_TRUE(readersRunning(writeScript("exit 0")).WordInstalled(".doc"));
    EXPECT_FALSE(readersRunning(scratch() + "/no-such-antiword").WordInstalled(".doc"));
    EXPECT_FALSE(readersRunning("no-such-antiword-on-path").WordInstalled(".doc"));
}

TEST_F(AntiwordTextTest, TakesAntiwordsUtf8TextWithoutWrapping)
{
    const DocumentReaders readers = readersRunning(writeScript(R"(printf '%s|' "$@" >&2
case "$*" in "-w 0 -m UTF-8.txt /"*) ;; *) exit 3 ;; esac
printf 'para one\n\npara Gr\303\274\303\237e\n')"));

    EXPECT_EQ(readers.GetWordText(writeDoc()), u"para one\n\npara Grüße"_s);
}

// antiword writes a character beyond the BMP as two UTF-8-encoded UTF-16
// halves, and spaces a first paragraph down from the page's top with empty
// lines no document holds.
TEST_F(AntiwordTextTest, SurrogatePairsAreOneCharacterAndTheLeadingSpacingGoes)
{
    // U+1F600 as D83D DE00, U+10437 as D801 DC37; then a lone high half.
    const DocumentReaders readers = readersRunning(writeScript(
        R"(printf '\n\nsmile \355\240\275\355\270\200 and \355\240\201\355\260\267\n\nlone \355\240\275.\n')"));

    EXPECT_EQ(readers.GetWordText(writeDoc()).toStdString(), "smile \U0001F600 and \U00010437\n\nlone \uFFFD\uFFFD\uFFFD.");
}

TEST_F(AntiwordTextTest, AFileWithoutTheOle2SignatureNeverReachesAntiword)
{
    const QString marker = scratch() + "/antiword-ran";
    const DocumentReaders readers = readersRunning(writeScript("touch '" + marker.toUtf8() + "'"));
    const QString textFile = writeScratchFile("plain.doc", "just some text, saved as .doc");

    EXPECT_EQ(readError(readers, textFile),
              "Cannot read \"" + textFile + "\" as a Word document: it is not a Word 97-2003 file (no OLE2 signature)");
    EXPECT_FALSE(QFile::exists(marker));

    const QString missing = scratch() + "/missing.doc";
    EXPECT_EQ(readError(readers, missing), "Cannot open file \"" + missing + "\". No such file or directory");
}

TEST_F(AntiwordTextTest, AnAntiwordThatHangsIsStoppedAtTheTimeOut)
{
    const DocumentReaders readers = readersRunning(writeScript("exec sleep 30"), 1s);
    const QString doc = writeDoc();
    QElapsedTimer elapsed;
    elapsed.start();

    EXPECT_EQ(readError(readers, doc), "antiword did not finish reading \"" + doc + "\" within 1 s");
    EXPECT_LT(elapsed.elapsed(), 5000);
}

TEST_F(AntiwordTextTest, AnAntiwordThatPrintsTooMuchIsStoppedAtTheCap)
{
    const DocumentReaders readers = readersRunning(writeScript("exec yes 'an endless paragraph'"), 10s, 64 * 1024);
    const QString doc = writeDoc();
    QElapsedTimer elapsed;
    elapsed.start();

    EXPECT_EQ(readError(readers, doc), "antiword printed more than 65536 bytes of text for \"" + doc +
                                           "\"; a document that large is not read");
    EXPECT_LT(elapsed.elapsed(), 5000);
}

TEST_F(AntiwordTextTest, AntiwordsOwnComplaintIsPassedOn)
{
    const QString doc = writeDoc();
    const DocumentReaders complaining = readersRunning(writeScript(R"(echo "$5 is not a Word Document." >&2; exit 1)"));
    EXPECT_EQ(readError(complaining, doc),
              "\"" + doc + "\" could not be read as a Word document: " + doc + " is not a Word Document.");

    const DocumentReaders silent = readersRunning(writeScript("exit 2"));
    EXPECT_EQ(readError(silent, doc), "\"" + doc + "\" could not be read as a Word document: exit code 2");
}

} // namespace
} // namespace pennolux::testing
