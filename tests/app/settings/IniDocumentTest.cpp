#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <functional>
#include <sys/stat.h>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
#include "platform/AppError.h"
#include "app/settings/IniDocument.h"

namespace pennolux {
namespace {

class IniDocumentTest : public testing::IsolatedHomeTest {
protected:
    QString iniPath() const { return scratch() + "/settings.ini"; }

    void writeFile(const QByteArray& bytes) const { writeScratchFile("settings.ini", bytes); }
    QByteArray fileBytes() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(IniDocumentTest, SerializesBomCrLfKeysInFirstWriteOrderAndAnEmptyLineAfterEachSection)
{
    IniDocument document(iniPath());
    document.writeString("Settings", "Textcolor", "clWindowText");
    document.writeString("Other", "Zeta", "1");
    document.writeString("Settings", "Fontname", "Tahoma");
    document.writeString("settings", "TEXTCOLOR", "clRed"); // same key: replaced in place
    document.writeString("OTHER", "alpha", QString::fromUtf8("Grüße"));

    EXPECT_EQ(document.serialize(), QByteArray("\xEF\xBB\xBF"
                                               "[Settings]\r\n"
                                               "TEXTCOLOR=clRed\r\n"
                                               "Fontname=Tahoma\r\n"
                                               "\r\n"
                                               "[Other]\r\n"
                                               "Zeta=1\r\n"
                                               "alpha=Gr\xC3\xBC\xC3\x9F"
                                               "e\r\n"
                                               "\r\n"));
    EXPECT_EQ(document.readString("SETTINGS", "textcolor"), "clRed");
    EXPECT_EQ(document.readString("Settings", "Missing", "fallback"), "fallback");
    EXPECT_EQ(document.readString("Missing", "Fontname", "fallback"), "fallback");
    EXPECT_EQ(IniDocument().serialize(), QByteArray("\xEF\xBB\xBF"));
}

TEST_F(IniDocumentTest, SaveWritesTheSerializedBytesAndOpenReadsThemBack)
{
    IniDocument document(iniPath());
    document.writeString("Settings", "Fontname", QString::fromUtf8("Noto Sans CJK 日本"));
    document.writeString("Settings", "Fontsize", "8");
    document.save();
    EXPECT_EQ(fileBytes(), document.serialize());

    const IniDocument reopened = IniDocument::open(iniPath());
    EXPECT_EQ(reopened.readString("Settings", "Fontname"), QString::fromUtf8("Noto Sans CJK 日本"));
    EXPECT_EQ(reopened.serialize(), document.serialize());
    EXPECT_EQ(reopened.path(), iniPath());
}

TEST_F(IniDocumentTest, ReadsAnyLineEndSkipsStrayLinesAndSplitsAtTheFirstEquals)
{
    writeFile("\xEF\xBB\xBF"
              "orphan=ignored before any section\r\n"
              "  [ Settings ]  \n"
              "  Fontname  = Tahoma \r"
              "no equals sign here\r\n"
              "Formula=a=b\n"
              "[other]\r\n"
              "X=1\r\n"
              "[SETTINGS]\n"
              "Fontsize=9");
    const IniDocument document = IniDocument::open(iniPath());

    EXPECT_EQ(document.readString("Settings", "Fontname"), " Tahoma ");
    EXPECT_EQ(document.readString("Settings", "Formula"), "a=b");
    EXPECT_EQ(document.readString("Settings", "Fontsize"), "9"); // repeated section merges
    EXPECT_EQ(document.readString("Other", "x"), "1");
    EXPECT_EQ(document.readString("Settings", "orphan", "none"), "none");
    EXPECT_EQ(document.serialize(), QByteArray("\xEF\xBB\xBF[Settings]\r\nFontname= Tahoma \r\n"
                                               "Formula=a=b\r\nFontsize=9\r\n\r\n"
                                               "[other]\r\nX=1\r\n\r\n"));
}

TEST_F(IniDocumentTest, AnAbsentFileGivesAnEmptyDocumentAndCreatesNothing)
{
    const IniDocument document = IniDocument::open(iniPath());
    EXPECT_EQ(document.serialize(), QByteArray("\xEF\xBB\xBF"));
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(IniDocumentTest, InvalidUtf8FailsToOpenAndIsDeletedOnReset)
{
    writeFile("[Settings]\r\nFontname=\xC3\x28\r\n");
    EXPECT_THROW(IniDocument::open(iniPath()), AppError);

    const IniDocument document = IniDocument::openOrReset(iniPath());
    EXPECT_EQ(document.path(), iniPath());
    EXPECT_EQ(document.readString("Settings", "Fontname", "none"), "none");
    EXPECT_FALSE(QFile::exists(iniPath()));
}

// A settings file that could stall or swamp start-up is unreadable, like a
// damaged one: opening returns at once, and a reset leaves an empty document.
TEST_F(IniDocumentTest, FilesThatAreNotPlainSettingsAreUnreadable)
{
    struct Case {
        const char* what;
        std::function<void()> make;
        QString reason;
    };
    const Case cases[] = {
        {"a FIFO, which would block", [this] { ASSERT_EQ(::mkfifo(QFile::encodeName(iniPath()).constData(), 0600), 0); },
         "It is not a regular file."},
        {"a link to an endless device", [this] { ASSERT_TRUE(QFile::link("/dev/zero", iniPath())); },
         "It is not a regular file."},
        {"larger than 1 MiB", [this] { writeFile("[Settings]\r\n" + QByteArray(1024 * 1024, 'x')); },
         "It is larger than 1048576 bytes, more than settings ever take."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        try {
            IniDocument::open(iniPath());
            ADD_FAILURE() << "opened";
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(), "Cannot open file \"" + iniPath() + "\". " + c.reason);
        }
        const IniDocument document = IniDocument::openOrReset(iniPath());
        EXPECT_EQ(document.serialize(), QByteArray("\xEF\xBB\xBF"));
        EXPECT_FALSE(QFileInfo(iniPath()).exists() || QFileInfo(iniPath()).isSymLink());
    }
}

// Reading is linear in the number of keys: 160,000 keys (four sections of
// 40,000, just under the size cap) took minutes when each new key was
// compared with every key before it.
TEST_F(IniDocumentTest, ManyKeysOpenQuickly)
{
    QByteArray bytes;
    for (int section = 0; section < 4; ++section) {
        bytes += "[s" + QByteArray::number(section) + "]\r\n";
        for (int key = 0; key < 40000; ++key)
            bytes += QByteArray::number(key, 36).rightJustified(3, '0') + "=\r\n";
    }
    ASSERT_LE(bytes.size(), IniDocument::kMaxFileBytes);
    writeFile(bytes);
    QElapsedTimer clock;
    clock.start();
    const IniDocument document = IniDocument::open(iniPath());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(document.readString("S3", "ZZZ", "absent"), "absent");
    EXPECT_EQ(document.readString("S3", QByteArray::number(39999, 36), "absent"), "");
}

TEST_F(IniDocumentTest, ADirectoryInPlaceOfTheFileFailsToOpenAndToSave)
{
    ASSERT_TRUE(QDir().mkpath(iniPath()));
    EXPECT_THROW(IniDocument::open(iniPath()), AppError);

    IniDocument document = IniDocument::openOrReset(iniPath());
    document.writeString("Settings", "Fontsize", "8");
    try {
        document.save();
        FAIL() << "save over a directory succeeded";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().startsWith("Cannot create file \"" + iniPath() + "\". "))
            << error.what();
    }
    EXPECT_TRUE(QFileInfo(iniPath()).isDir());
    // The temporary file of the failed save is gone too.
    EXPECT_EQ(QDir(scratch()).entryList(QDir::Files), QStringList());
}

// A file the reader would refuse is never written: the previous one stays.
TEST_F(IniDocumentTest, SavingMoreThanTheReaderTakesFailsAndKeepsThePreviousFile)
{
    IniDocument document(iniPath());
    document.writeString("Settings", "ShowUpdate", "0");
    document.writeString("Settings", "Big", "");
    const qsizetype room = IniDocument::kMaxFileBytes - document.serialize().size();
    document.writeString("Settings", "Big", QString(room, u'x'));
    ASSERT_EQ(document.serialize().size(), IniDocument::kMaxFileBytes);
    document.save(); // exactly as large as the reader takes
    EXPECT_EQ(IniDocument::open(iniPath()).readString("Settings", "Big").size(), room);

    IniDocument tooLarge = IniDocument::open(iniPath());
    const QByteArray atTheLimit = fileBytes();
    tooLarge.writeString("Settings", "ShowUpdate", "01");
    try {
        tooLarge.save();
        FAIL() << "saved a file the reader refuses";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message(), "Cannot create file \"" + iniPath() +
                                       "\". It would be larger than 1048576 bytes, more than settings ever take.");
    }
    EXPECT_EQ(fileBytes(), atTheLimit);
    EXPECT_EQ(QDir(scratch()).entryList(QDir::Files), QStringList("settings.ini"));
}

// A value that would become lines of its own, such as a file name holding
// "\n[Settings]\nShowUpdate=1", is refused rather than read back as keys.
TEST_F(IniDocumentTest, AValueHoldingALineBreakIsRefusedAndThePreviousFileKept)
{
    IniDocument document(iniPath());
    document.writeString("Recent Files", "File1", "/home/a.txt");
    document.save();
    const QByteArray saved = fileBytes();
    for (const QString& value : {QStringLiteral("/tmp/x\n[Settings]\nShowUpdate=1"), QStringLiteral("a\rFile2=b")}) {
        IniDocument changed = IniDocument::open(iniPath());
        changed.writeString("Recent Files", "File1", value);
        try {
            changed.save();
            FAIL() << "saved " << value.toStdString();
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(), "Cannot create file \"" + iniPath() +
                                           "\". The value of \"File1\" holds a line break, which a settings file "
                                           "cannot keep.");
        }
        EXPECT_EQ(fileBytes(), saved);
    }
}

TEST_F(IniDocumentTest, SavingUnderARegularFileFailsWithTheFileCreateText)
{
    writeFile("x");
    IniDocument document(iniPath() + "/settings.ini");
    try {
        document.save();
        FAIL() << "save under a regular file succeeded";
    } catch (const AppError& error) {
        EXPECT_TRUE(error.message().startsWith("Cannot create file \"" + iniPath() + "/settings.ini\". "))
            << error.what();
    }
    EXPECT_EQ(fileBytes(), "x");
}

} // namespace
} // namespace pennolux
