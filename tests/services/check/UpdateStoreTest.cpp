#include <QFile>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"
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

} // namespace
} // namespace pennolux
