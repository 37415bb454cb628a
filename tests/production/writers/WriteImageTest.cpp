#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "IsolatedHomeTest.h"
#include "WriterTestImages.h"
#include "platform/AppError.h"
#include "production/writers/ImageEncoders.h"
#include "production/writers/WriteImage.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

constexpr ImageFormat kAllFormats[] = {ImageFormat::PNG, ImageFormat::WEBP, ImageFormat::JPEG,
                                       ImageFormat::TIFF, ImageFormat::GIF,  ImageFormat::BMP};

class WriteImageTest : public IsolatedHomeTest {
protected:
    // Writes one image for each line number, as a run does, and returns the
    // file names used.
    QStringList run(const QList<int>& numbers, ImageFormat format = ImageFormat::PNG) const
    {
        QStringList names;
        for (int number : numbers)
            names << QFileInfo(WriteImage(image_, scratch(), number, format)).fileName();
        return names;
    }
    QString errorOf(const QImage& image, const QString& destination, ImageFormat format) const
    {
        try {
            WriteImage(image, destination, 1, format);
        } catch (const AppError& error) {
            return error.message();
        }
        return {};
    }
    QStringList folderContents() const
    {
        return QDir(scratch()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
    }

    QImage image_ = GradientImage(30, 15);
};

TEST_F(WriteImageTest, RepeatedRunsCountOnFromTwo)
{
    EXPECT_EQ(run({1, 2}), QStringList({"Output1.png", "Output2.png"}));
    EXPECT_EQ(run({1, 2}), QStringList({"Output1 (2).png", "Output2 (2).png"}));
    EXPECT_EQ(run({1, 2}), QStringList({"Output1 (3).png", "Output2 (3).png"}));
    EXPECT_EQ(run({1, 4}, ImageFormat::JPEG), QStringList({"Output1.jpg", "Output4.jpg"}));
}

TEST_F(WriteImageTest, OnlyTakenNamesGetACounter)
{
    WriteWholeFile(scratch() + "/Output2.png", "existing");
    EXPECT_EQ(run({1, 2}), QStringList({"Output1.png", "Output2 (2).png"}));
    EXPECT_EQ(ReadWholeFile(scratch() + "/Output2.png"), "existing");
}

TEST_F(WriteImageTest, AFolderOfTheNameStopsTheWriteWithAnError)
{
    ASSERT_TRUE(QDir(scratch()).mkdir("Output1.png"));
    EXPECT_EQ(errorOf(image_, scratch(), ImageFormat::PNG),
              "Cannot create file \"" + scratch() + "/Output1.png\". " + QString::fromLocal8Bit(std::strerror(EISDIR)));
    EXPECT_EQ(folderContents(), QStringList({"Output1.png"}));
    EXPECT_TRUE(QDir(scratch() + "/Output1.png").isEmpty());
}

TEST_F(WriteImageTest, TakesTheDestinationAsTypedWithATrailingSeparator)
{
    EXPECT_EQ(WriteImage(image_, scratch() + '/', 3, ImageFormat::PNG), scratch() + "//Output3.png");
    EXPECT_EQ(folderContents(), QStringList({"Output3.png"}));
}

TEST_F(WriteImageTest, EveryFormatWritesItsEncodingOrReportsAMissingFolder)
{
    const QString missing = scratch() + "/missing";
    for (ImageFormat format : kAllFormats) {
        const QString extension = extensionFor(format);
        EXPECT_EQ(errorOf(image_, missing, format),
                  "Cannot create file \"" + missing + "/Output1" + extension + "\". "
                      + QString::fromLocal8Bit(std::strerror(ENOENT)));

        const QString written = WriteImage(image_, scratch(), 5, format);
        EXPECT_EQ(written, scratch() + "/Output5" + extension);
        EXPECT_EQ(ReadWholeFile(written), encoderFor(format)(image_)) << extension.toStdString();
    }
    EXPECT_EQ(folderContents().size(), 6);
}

TEST_F(WriteImageTest, AWebpTooLargeForTheFormatIsReportedAndNothingWritten)
{
    const QImage wide(20000, 15, QImage::Format_RGB32);
    EXPECT_EQ(errorOf(wide, scratch(), ImageFormat::WEBP),
              QString::fromUtf8("WEBP cannot hold an image of 20000 × 15 pixels (at most 16383 pixels a side)"));
    EXPECT_TRUE(folderContents().isEmpty());
}

} // namespace
} // namespace pennolux
