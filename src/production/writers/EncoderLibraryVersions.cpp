#include "production/writers/EncoderLibraryVersions.h"

#include <cstdio>  // jpeglib.h needs FILE
#include <gif_lib.h>
#include <jpeglib.h>
#include <libdeflate.h>
#include <png.h>
#include <tiffio.h>
#include <webp/encode.h>
#include <zlib.h>

namespace pennolux {

namespace {

// LIBJPEG_TURBO_VERSION_NUMBER is major * 1000000 + minor * 1000 + patch.
QString jpegTurboVersion()
{
    constexpr int kNumber = LIBJPEG_TURBO_VERSION_NUMBER;
    return QStringLiteral("%1.%2.%3").arg(kNumber / 1000000).arg(kNumber / 1000 % 1000).arg(kNumber % 1000);
}

// "LIBTIFF, Version 4.5.0\nCopyright ..." -> "4.5.0".
QString tiffVersion()
{
    const QString banner = QString::fromLatin1(TIFFGetVersion());
    const QString firstLine = banner.section(u'\n', 0, 0);
    const qsizetype at = firstLine.indexOf(QLatin1String("Version "));
    return at < 0 ? firstLine : firstLine.mid(at + 8).trimmed();
}

// WebPGetEncoderVersion packs major, minor and revision into one byte each.
QString webpVersion()
{
    const int packed = WebPGetEncoderVersion();
    return QStringLiteral("%1.%2.%3").arg((packed >> 16) & 0xFF).arg((packed >> 8) & 0xFF).arg(packed & 0xFF);
}

} // namespace

std::vector<LibraryVersion> encoderLibraryVersions()
{
    return {
        {QStringLiteral("zlib"), QString::fromLatin1(zlibVersion())},
        {QStringLiteral("libpng"), QString::fromLatin1(png_get_libpng_ver(nullptr))},
        {QStringLiteral("libdeflate"), QStringLiteral(LIBDEFLATE_VERSION_STRING)},
        {QStringLiteral("libjpeg-turbo"), jpegTurboVersion()},
        {QStringLiteral("giflib"),
         QStringLiteral("%1.%2.%3").arg(GIFLIB_MAJOR).arg(GIFLIB_MINOR).arg(GIFLIB_RELEASE)},
        {QStringLiteral("libtiff"), tiffVersion()},
        {QStringLiteral("libwebp"), webpVersion()},
    };
}

} // namespace pennolux
