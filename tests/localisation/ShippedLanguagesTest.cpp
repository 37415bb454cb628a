#include "localisation/Translator.h"

#include "FakeLocale.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>

namespace pennolux {
namespace {

const char* const TranslationKeys[] = {
    "About %s",
    "OK",
    "Info",
    "Acknowledgements...",
    "How to uninstall...",
    "License...",
    "License",
    "File not found!",
    "feedback",
    "We would really appreciate your feedback.",
    "What did you like or dislike?",
    "Include my e-mail:",
    "Send",
    "I like it!",
    "I dislike it!",
    "Failure",
    "Invalid e-mail address!",
    "Success",
    "Your feedback is received.",
    "Thank you!",
    "Something went wrong. Your feedback could not be delivered.",
    "Please try again later.",
    "UPDATE AVAILABLE",
    "Click to download",
    "IMPORTANT",
    "SUCCESS",
    "Stopped after %1 of %2 lines: saved %3 image file(s)",
    "The list holds no lines: no image file was written",
};

struct ShippedLanguage {
    const char* fileName;
    unsigned languageId;
};

class ShippedLanguagesTest : public ::testing::TestWithParam<ShippedLanguage> {
protected:
    static QString languagesFolder() { return QCoreApplication::applicationDirPath() + "/Languages"; }
    testing::FakeLocale locale;
};

// Every key needs a line of its own with a text after the braces; a
// translation may equal the key ("OK" stays "OK" in German), so the file is
// read directly rather than through the lookup.
TEST_P(ShippedLanguagesTest, TranslatesEveryKey)
{
    QFile file(languagesFolder() + "/" + QString::fromUtf8(GetParam().fileName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << GetParam().fileName;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QRegularExpression("\\r\\n|\\n|\\r"));

    for (const char* key : TranslationKeys) {
        const QString pattern = "{" + QString::fromUtf8(key) + "}";
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&](const QString& candidate) { return candidate.contains(pattern); });
        ASSERT_NE(line, lines.end()) << GetParam().fileName << ": no line for " << key;
        EXPECT_FALSE(line->mid(line->indexOf(pattern) + pattern.size()).isEmpty())
            << GetParam().fileName << ": " << key;
    }

    Translator translator(languagesFolder(), locale);
    translator.LoadLanguage(QString::fromUtf8(GetParam().fileName));
    EXPECT_EQ(translator.Translate("About %s").count("%s"), 1);
    EXPECT_NE(translator.Translate("SUCCESS"), "SUCCESS");
    // Each number of a stopped run's message has its place, once.
    const QString stopped = translator.Translate("Stopped after %1 of %2 lines: saved %3 image file(s)");
    for (const char* placeholder : {"%1", "%2", "%3"})
        EXPECT_EQ(stopped.count(QString::fromLatin1(placeholder)), 1) << GetParam().fileName << ": " << placeholder;
}

TEST_P(ShippedLanguagesTest, MapChoosesTheLanguageOfItsMainRegion)
{
    locale.languageId = GetParam().languageId;
    Translator translator(languagesFolder(), locale);
    translator.LoadLanguage(QString());
    EXPECT_EQ(QFileInfo(translator.chosenFile()).fileName(), QString::fromUtf8(GetParam().fileName));
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguagesTest,
    ::testing::Values(
        ShippedLanguage{"delang.txt", 1031},
        ShippedLanguage{"frlang.txt", 1036},
        ShippedLanguage{"eslang.txt", 3082},
        ShippedLanguage{"itlang.txt", 1040}),
    [](const auto& testInfo) { return std::string(testInfo.param.fileName, 2); });

} // namespace
} // namespace pennolux
