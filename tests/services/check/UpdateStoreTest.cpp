#include <QFile>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
#include "app/settings/IniDocument.h"
#include "services/check/UpdateStore.h"

namespace pennolux {
namespace {

using UpdateStoreTest = testing::IsolatedHomeTest;

TEST_F(UpdateStoreTest, ValuesAreTextInTheSettingsGroup)
{
    const UpdateStore store(scratch() + "/update.ini");
    EXPECT_EQ(store.readText("LastUpdateCheck"), "");
    EXPECT_EQ(store.readNumber("ShowUpdate", 1), 1);
    EXPECT_TRUE(store.write("LastUpdateCheck", "17.03.25"));
    EXPECT_TRUE(store.write("LastUpdateCheckCount", "3"));
    EXPECT_TRUE(store.write("CurrentURL", QString::fromUtf8("Grüße")));
    EXPECT_EQ(store.readText("lastupdatecheck"), "17.03.25");
    EXPECT_EQ(store.readNumber("LastUpdateCheckCount", 0), 3);

    QFile file(scratch() + "/update.ini");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[Settings]\r\nLastUpdateCheck=17.03.25\r\nLastUpdateCheckCount=3\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("CurrentURL=Gr\xC3\xBC\xC3\x9F" "e"));
}

TEST_F(UpdateStoreTest, TextThatIsNoNumberReadsAsTheDefault)
{
    const UpdateStore store(scratch() + "/update.ini");
    for (const char* stored : {"", "two", "1.5", " 1", "2147483648", "+"}) {
        store.write("ShowUpdate", stored);
        EXPECT_EQ(store.readNumber("ShowUpdate", 1), 1) << stored;
    }
    store.write("ShowUpdate", "-7");
    EXPECT_EQ(store.readNumber("ShowUpdate", 1), -7);
}

TEST_F(UpdateStoreTest, UnreadableFileGivesDefaultsAndIsLeftAlone)
{
    const QByteArray damaged = "[Settings]\r\nShowUpdate=0\r\n\xFF\xFE garbage";
    const QString path = writeScratchFile("update.ini", damaged);
    const UpdateStore store(path);
    EXPECT_EQ(store.readNumber("ShowUpdate", 1), 1);
    EXPECT_FALSE(store.write("ShowUpdate", "1"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged);

    const UpdateStore none;
    EXPECT_EQ(none.readText("CurrentURL", "x"), "x");
    EXPECT_FALSE(none.write("CurrentURL", "y"));
}

// A file past what the reader takes can never be read back, so keeping it
// would lose every later choice: the next write starts the store afresh.
TEST_F(UpdateStoreTest, TooLargeFileGivesDefaultsAndIsReplacedAtTheNextWrite)
{
    const QByteArray huge = QByteArray(IniDocument::kMaxFileBytes, 'A');
    const QString path = writeScratchFile("update.ini", "[Settings]\r\nShowUpdate=1\r\nCurrentURL=" + huge + "\r\n");
    const UpdateStore store(path);
    EXPECT_EQ(store.readText("CurrentURL", "none"), "none");
    EXPECT_TRUE(store.write("ShowUpdate", "0"));
    EXPECT_LT(QFileInfo(path).size(), 100);
    EXPECT_EQ(store.readNumber("ShowUpdate", 1), 0);
    EXPECT_EQ(store.readText("CurrentURL"), "");

    // Nor is such a file ever written.
    EXPECT_FALSE(store.write("CurrentURL", QString(IniDocument::kMaxFileBytes, u'A')));
    EXPECT_EQ(store.readNumber("ShowUpdate", 1), 0);
}

} // namespace
} // namespace pennolux
