#include <QDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "IsolatedHomeTest.h"
#include "WriterTestImages.h"
#include "platform/AppError.h"
#include "production/writers/ImageEncoders.h"
#include "production/writers/ImageOutput.h"

namespace pennolux {
namespace {

using namespace pennolux::testing;

constexpr ImageFormat kAllFormats[] = {ImageFormat::PNG, ImageFormat::WEBP, ImageFormat::JPEG,
                                       ImageFormat::TIFF, ImageFormat::GIF,  ImageFormat::BMP};

class ImageOutputTest : public IsolatedHomeTest {
protected:
    QString storeErrorOf(const QString& destination, ImageFormat format) const
    {
        try {
            storeImage("bytes", destination, "Output1", format);
        } catch (const AppError& error) {
            return error.message();
        }
        return {};
    }
    QStringList folderContents() const
    {
        return QDir(scratch()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
    }
};

TEST_F(ImageOutputTest, EveryFormatStoresItsEncodingUnderItsExtensionOrReportsAMissingFolder)
{
    const QImage image = GradientImage(30, 15);
    const QString missing = scratch() + "/missing";
    for (ImageFormat format : kAllFormats) {
        const QString extension = extensionFor(format);
        SCOPED_TRACE(extension.toStdString());
        const QByteArray bytes = encodeImage(image, format);
        EXPECT_EQ(bytes, encoderFor(format)(image));
        EXPECT_EQ(storeErrorOf(missing, format), "Cannot create file \"" + missing + "/Output1" + extension + "\". "
                                                     + QString::fromLocal8Bit(std::strerror(ENOENT)));
        const QString written = storeImage(bytes, scratch(), "Output5", format);
        EXPECT_EQ(written, scratch() + "/Output5" + extension);
        EXPECT_EQ(ReadWholeFile(written), bytes);
    }
    EXPECT_EQ(folderContents().size(), 6);
}

TEST_F(ImageOutputTest, TakesTheDestinationAsTypedWithATrailingSeparator)
{
    EXPECT_EQ(storeImage("x", scratch() + '/', "Output3", ImageFormat::PNG), scratch() + "//Output3.png");
    EXPECT_EQ(folderContents(), QStringList({"Output3.png"}));
}

TEST_F(ImageOutputTest, ASizeTheFormatCannotHoldIsRefusedByEveryEncoder)
{
    struct Case {
        ImageFormat format;
        QSize size;
        const char* message;
    };
    const Case cases[] = {
        {ImageFormat::WEBP, {16384, 1}, "WEBP cannot hold an image of 16384 × 1 pixels (at most 16383 pixels a side)"},
        {ImageFormat::JPEG, {1, 65501}, "JPEG cannot hold an image of 1 × 65501 pixels (at most 65500 pixels a side)"},
    };
    for (const Case& c : cases) {
        const QImage image(c.size, QImage::Format_RGB32);
        try {
            encodeImage(image, c.format);
            ADD_FAILURE() << c.message;
        } catch (const AppError& error) {
            EXPECT_EQ(error.message(), QString::fromUtf8(c.message));
        }
    }
}

} // namespace
} // namespace pennolux
