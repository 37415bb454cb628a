#include <gtest/gtest.h>

#include "platform/AppError.h"
#include "production/writers/ImageSizeLimits.h"

namespace pennolux {
namespace {

QString WorkingSizeError(std::int64_t width, std::int64_t height)
{
    try {
        checkWorkingImageSize(width, height);
    } catch (const AppError& error) {
        return error.message();
    }
    return {};
}

QString FormatSizeError(ImageFormat format, std::int64_t width, std::int64_t height)
{
    try {
        checkFormatCanHold(format, width, height);
    } catch (const AppError& error) {
        return error.message();
    }
    return {};
}

TEST(CheckWorkingImageSize, AcceptsUpTo65535PixelsASideAndAHundredMillionInAll)
{
    struct Case {
        std::int64_t width;
        std::int64_t height;
        bool fits;
    };
    const Case cases[] = {
        {1, 1, true},          {150, 15, true},        {65535, 1525, true},       {1525, 65535, true},
        {10000, 10000, true},  {65536, 1, false},      {1, 65536, false},         {10000, 10001, false},
        {0, 15, false},        {150, 0, false},        {-3, 15, false},           {1000000002, 15, false},
        // Large enough that an unchecked product would overflow.
        {std::int64_t(1) << 40, std::int64_t(1) << 40, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WorkingSizeError(c.width, c.height).isEmpty(), c.fits) << c.width << " x " << c.height;
}

TEST(CheckWorkingImageSize, NamesTheSizeAndTheLimits)
{
    // Margins of 999,999,999 on both sides of a 4-pixel text.
    EXPECT_EQ(WorkingSizeError(999999999LL * 2 + 4, 15),
              QString::fromUtf8("The image of 2000000002 × 15 pixels is too large (at most 65535 pixels a side "
                                "and 100000000 pixels in all)"));
    EXPECT_EQ(WorkingSizeError(0, 15),
              QString::fromUtf8("The image of 0 × 15 pixels is empty (each side needs at least 1 pixel)"));
}

// One table holds every format's limits, and every message comes from it.
TEST(CheckFormatCanHold, EachFormatHasItsOwnLimits)
{
    struct Case {
        ImageFormat format;
        std::int64_t width;
        std::int64_t height;
        const char* error;
    };
    const Case cases[] = {
        {ImageFormat::WEBP, 16383, 16383, ""},
        {ImageFormat::WEBP, 20000, 15, "WEBP cannot hold an image of 20000 × 15 pixels (at most 16383 pixels a side)"},
        {ImageFormat::WEBP, 15, 16384, "WEBP cannot hold an image of 15 × 16384 pixels (at most 16383 pixels a side)"},
        {ImageFormat::JPEG, 65500, 1, ""},
        {ImageFormat::JPEG, 1, 65501, "JPEG cannot hold an image of 1 × 65501 pixels (at most 65500 pixels a side)"},
        {ImageFormat::GIF, 65535, 65535, ""},
        {ImageFormat::GIF, 65536, 1, "GIF cannot hold an image of 65536 × 1 pixels (at most 65535 pixels a side)"},
        {ImageFormat::BMP, 65535, 16000, ""},
        {ImageFormat::BMP, 65535, 65535,
         "BMP cannot hold an image of 65535 × 65535 pixels (at most 1073741810 pixels in all)"},
        {ImageFormat::PNG, 65535, 65535, ""},
        {ImageFormat::TIFF, 65535, 65535, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatSizeError(c.format, c.width, c.height), QString::fromUtf8(c.error))
            << extensionFor(c.format).toStdString() << ' ' << c.width << ' ' << c.height;
}

} // namespace
} // namespace pennolux
