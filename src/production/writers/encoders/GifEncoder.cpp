#include "production/writers/ImageEncoders.h"

#include <gif_lib.h>

#include <memory>

#include "production/writers/ImageSizeLimits.h"
#include "production/writers/encoders/OctreeQuantizer.h"
#include "platform/AppError.h"

namespace pennolux {

namespace {

// The colour resolution field: the palette's colours come from 8-bit channels.
constexpr int kColorResolution = 8;

[[noreturn]] void throwGifError(int errorCode)
{
    const char* reason = GifErrorString(errorCode);
    throw AppError(QStringLiteral("GIF encoding failed: ")
                   + (reason ? QString::fromUtf8(reason) : QStringLiteral("giflib error %1").arg(errorCode)));
}

// Called from inside giflib, so nothing may be thrown through it: a failed
// append writes nothing, and giflib reports the short write as its own error.
int appendToByteArray(GifFileType* gif, const GifByteType* data, int length) noexcept
{
    try {
        static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
        return length;
    } catch (...) {
        return 0;
    }
}

// Closes a writer abandoned by an error; the bytes it still writes are dropped.
struct AbandonGifWriter {
    void operator()(GifFileType* gif) const
    {
        int ignored = 0;
        EGifCloseFile(gif, &ignored);
    }
};
using GifWriter = std::unique_ptr<GifFileType, AbandonGifWriter>;

struct FreeColorMap {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColorMap = std::unique_ptr<ColorMapObject, FreeColorMap>;

// GIF colour tables hold a power of two of entries, at least two; the slots
// beyond the palette stay black and are never referenced.
ColorMap makeColorMap(const QList<QRgb>& palette)
{
    int tableSize = 2;
    while (tableSize < palette.size())
        tableSize *= 2;
    ColorMap map(GifMakeMapObject(tableSize, nullptr));
    if (!map)
        throwGifError(E_GIF_ERR_NOT_ENOUGH_MEM);
    for (int i = 0; i < tableSize; ++i) {
        const QRgb color = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        map->Colors[i] = GifColorType{static_cast<GifByteType>(qRed(color)),
                                      static_cast<GifByteType>(qGreen(color)),
                                      static_cast<GifByteType>(qBlue(color))};
    }
    return map;
}

} // namespace

QByteArray encodeGif(const QImage& image)
{
    checkFormatCanHold(ImageFormat::GIF, image.width(), image.height());
    OctreeQuantizer quantizer(image);
    std::vector<GifPixelType> indices = quantizer.ditherToIndices(image);
    const ColorMap colorMap = makeColorMap(quantizer.palette());

    QByteArray bytes;
    int errorCode = 0;
    GifWriter gif(EGifOpen(&bytes, appendToByteArray, &errorCode));
    if (!gif)
        throwGifError(errorCode);
    // Nothing here needs an extension block, so the file is plain GIF87a.
    EGifSetGifVersion(gif.get(), false);

    if (EGifPutScreenDesc(gif.get(), image.width(), image.height(), kColorResolution, 0, colorMap.get())
            == GIF_ERROR
        || EGifPutImageDesc(gif.get(), 0, 0, image.width(), image.height(), false, nullptr) == GIF_ERROR)
        throwGifError(gif->Error);
    const std::size_t width = static_cast<std::size_t>(image.width());
    for (int y = 0; y < image.height(); ++y)
        if (EGifPutLine(gif.get(), indices.data() + y * width, image.width()) == GIF_ERROR)
            throwGifError(gif->Error);

    if (EGifCloseFile(gif.release(), &errorCode) == GIF_ERROR)
        throwGifError(errorCode);
    return bytes;
}

} // namespace pennolux
