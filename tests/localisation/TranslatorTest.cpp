#include "localisation/Translator.h"

#include "FakeLocale.h"
#include "SocketFile.h"
#include "IsolatedHomeTest.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <stdexcept>
#include <sys/un.h>
#include <unistd.h>

namespace pennolux {
namespace {

class TranslatorTest : public testing::IsolatedHomeTest {
protected:
    void SetUp() override
    {
        IsolatedHomeTest::SetUp();
        folder = scratch() + "/Languages";
        locale.languageId = 1031;
    }

    void makeFolder() { QDir().mkpath(folder); }

    void writeFile(const QString& name, const QByteArray& bytes) { writeScratchFile("Languages/" + name, bytes); }

    void writeMap(const QByteArray& bytes) { writeFile("LanguageCodes.csv", bytes); }

    // Loads automatically and answers the name of the chosen file, empty for none.
    QString chooseAutomatically()
    {
        Translator translator(folder, locale);
        translator.LoadLanguage(QString());
        return translator.chosenFile().isEmpty() ? QString() : translator.chosenFile().section('/', -1);
    }

    QString folder;
    testing::FakeLocale locale;
};

TEST_F(TranslatorTest, WithoutLanguagesFolderEveryKeyComesBack)
{
    writeFile("delang.txt", "{Send}Senden\r\n");
    Translator translator(scratch() + "/Missing", locale);

    translator.LoadLanguage(QString());
    EXPECT_TRUE(translator.chosenFile().isEmpty());
    EXPECT_EQ(translator.Translate("About %s"), "About %s");
    EXPECT_EQ(translator.Translate("Send"), "Send");

    translator.LoadLanguage("delang.txt");
    EXPECT_TRUE(translator.chosenFile().isEmpty());
}

TEST_F(TranslatorTest, LookupFollowsTheLineRules)
{
    writeFile("delang.txt",
              "Deutsch, free text between lines\r\n"
              "\r\n"
              "{Send}\r\n"
              "{OK} Gut\r\n"
              "{Info}Erste\r\n"
              "{Info}Zweite\r\n"
              "{license}Lizenz\r\n"
              "{Failure}Fehl}er\r\n"
              " {Thank you!}Danke\r\n"
              "{About %s}Über %s\r\n");
    Translator translator(folder, locale);
    translator.LoadLanguage("delang.txt");

    EXPECT_EQ(translator.chosenFile(), folder + "/delang.txt");
    EXPECT_EQ(translator.Translate("Send"), "Send") << "empty translation";
    EXPECT_EQ(translator.Translate("OK"), " Gut") << "not trimmed";
    EXPECT_EQ(translator.Translate("Info"), "Erste") << "first line wins";
    EXPECT_EQ(translator.Translate("License"), "License") << "key case differs";
    EXPECT_EQ(translator.Translate("Failure"), "Fehl}er") << "cut at the first brace";
    EXPECT_EQ(translator.Translate("Thank you!"), "Thank you!") << "line must begin with the key";
    EXPECT_EQ(translator.Translate("About %s"), "Über %s");
    EXPECT_EQ(translator.Translate("Success"), "Success");
}

TEST_F(TranslatorTest, ReadsEveryLineEndingAndSkipsTheByteOrderMark)
{
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"bom", "\xEF\xBB\xBF{OK}Gut\r\n{Send}Senden\r\n"},
        {"lf", "{OK}Gut\n{Send}Senden\n"},
        {"cr", "{OK}Gut\r{Send}Senden"},
        {"mixed", "{OK}Gut\r\n\r{Send}Senden\n"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        writeFile("delang.txt", file.bytes);
        Translator translator(folder, locale);
        translator.LoadLanguage("delang.txt");
        EXPECT_EQ(translator.Translate("OK"), "Gut");
        EXPECT_EQ(translator.Translate("Send"), "Senden");
    }
}

TEST_F(TranslatorTest, InvalidUtf8IsDecodedLeniently)
{
    writeFile("delang.txt", "{OK}G\xFF\xFEt\r\n{Send}Senden\r\n");
    Translator translator(folder, locale);
    translator.LoadLanguage("delang.txt");
    EXPECT_EQ(translator.Translate("OK"), QString::fromUtf8("G\uFFFD\uFFFDt"));
    EXPECT_EQ(translator.Translate("Send"), "Senden");
}

TEST_F(TranslatorTest, ExplicitNameIsUsedUntrimmedAndWithoutTheMap)
{
    writeFile("delang.txt", "{OK}Gut\r\n");
    writeFile(" delang.txt", "{OK}Spaced\r\n");
    writeFile("frlang.txt", "{OK}Bien\r\n");
    writeMap("1031,delang.txt\r\n");
    Translator translator(folder, locale);

    translator.LoadLanguage(" delang.txt");
    EXPECT_EQ(translator.Translate("OK"), "Spaced");

    translator.LoadLanguage("frlang.txt");
    EXPECT_EQ(translator.Translate("OK"), "Bien");

    translator.LoadLanguage(" \t");
    EXPECT_EQ(translator.Translate("OK"), "Gut") << "a blank name asks for the map";

    translator.LoadLanguage("itlang.txt");
    EXPECT_TRUE(translator.chosenFile().isEmpty());
    EXPECT_EQ(translator.Translate("OK"), "OK");
}

TEST_F(TranslatorTest, MapLineMatchesItsIdentifierExactly)
{
    writeFile("delang.txt", "{OK}Gut\r\n");
    writeFile("frlang.txt", "{OK}Bien\r\n");
    const struct {
        const char* name;
        QByteArray map;
        QString chosen;
    } cases[] = {
        {"plain", "1031,delang.txt\r\n", "delang.txt"},
        {"spaces and tabs around the comma", "  1031 ,\tdelang.txt \r\n", "delang.txt"},
        {"leading zero", "01031,delang.txt\r\n", ""},
        {"sign", "+1031,delang.txt\r\n", ""},
        {"other identifier", "1036,frlang.txt\r\n", ""},
        {"first line wins", "1031,frlang.txt\r\n1031,delang.txt\r\n", "frlang.txt"},
        {"line without comma skipped", "1031 delang.txt\n1031,frlang.txt\n", "frlang.txt"},
        {"LF line ends", "1036,frlang.txt\n1031,delang.txt", "delang.txt"},
        {"CR line ends", "1036,frlang.txt\r1031,delang.txt\r", "delang.txt"},
        {"UTF-8 mark", "\xEF\xBB\xBF" "1031,delang.txt\r\n", "delang.txt"},
        {"empty map", "", ""},
    };
    for (const auto& mapCase : cases) {
        SCOPED_TRACE(mapCase.name);
        writeMap(mapCase.map);
        EXPECT_EQ(chooseAutomatically(), mapCase.chosen);
    }
}

TEST_F(TranslatorTest, MapInUtf16IsRecognisedByItsMark)
{
    writeFile("delang.txt", "{OK}Gut\r\n");
    const QString map = QStringLiteral("1031,delang.txt\r\n");
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        writeMap(encoder.encode(map));
        EXPECT_EQ(chooseAutomatically(), "delang.txt") << QStringConverter::nameForEncoding(encoding);
    }
}

TEST_F(TranslatorTest, MappedNameComparesOnlyLettersAToZWithoutCase)
{
    writeFile("DeLang.TXT", "{OK}Gut\r\n");
    writeMap("1031,delang.txt\r\n");
    EXPECT_EQ(chooseAutomatically(), "DeLang.TXT") << "spelled as the folder lists it";

    writeFile(QString::fromUtf8("\u00E4lang.txt"), "{OK}Gut\r\n");
    writeMap(QString::fromUtf8("1031,\u00C4LANG.txt\r\n").toUtf8().prepend("\xEF\xBB\xBF"));
    EXPECT_EQ(chooseAutomatically(), "");
}

TEST_F(TranslatorTest, AutomaticChoiceNeedsMapIdentifierAndListedFile)
{
    writeFile("xxlang.txt", "{OK}Unmapped\r\n");
    Translator translator(folder, locale);

    translator.LoadLanguage(QString());
    EXPECT_TRUE(translator.chosenFile().isEmpty()) << "no map";

    writeMap("1031,delang.txt\r\n1036,xxlang.txt\r\n");
    translator.LoadLanguage(QString());
    EXPECT_TRUE(translator.chosenFile().isEmpty()) << "mapped file absent";
    EXPECT_EQ(translator.Translate("OK"), "OK");

    writeFile("delang.txt", "{OK}Gut\r\n");
    locale.languageId = std::nullopt;
    translator.LoadLanguage(QString());
    EXPECT_TRUE(translator.chosenFile().isEmpty()) << "no identifier";

    QDir(folder).mkdir("folderlang.txt");
    writeMap("1031,folderlang.txt\r\n");
    locale.languageId = 1031;
    translator.LoadLanguage(QString());
    EXPECT_TRUE(translator.chosenFile().isEmpty()) << "a folder is no language file";
}

TEST_F(TranslatorTest, MapThatIsAFolderCountsAsNoMap)
{
    writeFile("delang.txt", "{OK}Gut\r\n");
    QDir(folder).mkdir("LanguageCodes.csv");
    EXPECT_EQ(chooseAutomatically(), "");
}

TEST_F(TranslatorTest, UnreadableLanguageFileThrowsAndKeepsItsPath)
{
    writeFile("frlang.txt", "{OK}Bien\r\n");
    writeMap("1031,delang.txt\r\n");
    const testing::SocketFile socket(folder + "/delang.txt");
    ASSERT_TRUE(socket.bound());
    Translator translator(folder, locale);
    translator.LoadLanguage("frlang.txt");

    try {
        translator.LoadLanguage(QString());
        FAIL() << "expected an error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("delang.txt"), std::string::npos) << error.what();
    }
    EXPECT_EQ(translator.chosenFile(), folder + "/delang.txt");
    EXPECT_EQ(translator.Translate("OK"), "OK");
}

} // namespace
} // namespace pennolux
