#include "editor/background/BackgroundPicture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

#include "editor/background/DecoderDamageCheck.h"
#include "editor/background/PictureFormats.h"
#include "editor/background/PictureIntegrity.h"
#include "editor/background/PictureWorkload.h"
#include "editor/background/SvgDrawingCost.h"
#include "editor/background/SvgScreening.h"
#include "editor/background/TiffMessages.h"
#include "platform/AppError.h"

static void initialiseEditorResources()
{
    Q_INIT_RESOURCE(editor);
}

namespace pennolux {

namespace {

// Eight bytes a pixel at the most pixels: 16-bit PNG and TIFF decode so.
constexpr int kAllocationLimitMegabytes = int(kMaxPicturePixels * 8 / (1 << 20)) + 1;
// SVG pictures are drawn with their longer side this long: sharp when
// stretched over a large canvas, and never more than 16 MB.
constexpr int kSvgLongSide = 2048;

AppError pictureError(const QString& path, const QString& reason)
{
    return AppError(QStringLiteral("Cannot read the picture \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
}

// Qt's conversions and scaling give an empty image when they cannot have
// their memory, and a picture would go on as none at all.
AppError pictureMemoryError(const QString& path)
{
    return pictureError(path, QStringLiteral("there is not enough memory to decode it"));
}

QImage checkedResult(const QString& path, QImage result)
{
    if (result.isNull())
        throw pictureMemoryError(path);
    return result;
}

const PictureExtension& offeredExtension(const QString& path)
{
    if (QFileInfo(path).suffix().isEmpty())
        throw pictureError(path, QStringLiteral("it has no file extension"));
    const PictureExtension* entry = pictureExtensionOf(path);
    if (!entry || entry->reader == PictureReader::None)
        throw AppError(QStringLiteral("Unknown picture file extension (.%1)").arg(QFileInfo(path).suffix()));
    return *entry;
}

QByteArray readPictureFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw pictureError(path, QStringLiteral("there is no such file"));
    if (info.size() > kMaxPictureFileBytes)
        throw pictureError(path, QStringLiteral("the file is larger than %1 MB").arg(kMaxPictureFileBytes >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileOpenError(path, file.errorString());
    // Bounded even when the file grows while it is read.
    QByteArray bytes = file.read(kMaxPictureFileBytes + 1);
    if (bytes.size() > kMaxPictureFileBytes)
        throw pictureError(path, QStringLiteral("the file is larger than %1 MB").arg(kMaxPictureFileBytes >> 20));
    if (file.error() != QFileDevice::NoError)
        throw fileOpenError(path, file.errorString());
    return bytes;
}

void checkDeclaredSize(const QString& path, QSize size)
{
    if (!size.isValid() || size.isEmpty())
        throw pictureError(path, QStringLiteral("its size cannot be read (the file is damaged or not a picture)"));
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
        std::int64_t(size.width()) * size.height() > kMaxPicturePixels) {
        throw pictureError(path, QStringLiteral("its size of %1 × %2 pixels is too large (at most %3 pixels a side "
                                                "and %4 pixels in all)")
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(kMaxPictureSide)
                                     .arg(kMaxPicturePixels));
    }
}

QImage toCanvasFormat(const QString& path, const QImage& picture)
{
    return checkedResult(path, picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                                 : QImage::Format_RGB32));
}

// The reader for the bytes: the format the content shows when it is one we
// offer, the extension's when the content shows none (WBMP has no signature).
QByteArray chooseRasterFormat(const QString& path, QBuffer& buffer, const PictureExtension& extension)
{
    const QByteArray detected = QImageReader::imageFormat(&buffer);
    buffer.seek(0);
    if (detected.isEmpty())
        return extension.qtFormat;
    if (!isOfferedRasterFormat(detected))
        throw pictureError(path, QStringLiteral("it is not a picture in a format Pennolux reads"));
    return detected;
}

// Refused before decoding when the decoder would work for too long on it.
void checkDecodingWork(const QString& path, const QByteArray& bytes, const QByteArray& qtFormat)
{
    if (qtFormat == "jpeg" && jpegScanCount(bytes) > kMaxJpegScans)
        throw pictureError(path, QStringLiteral("the JPEG picture has more than %1 scans, more than Pennolux decodes "
                                                "(photos have about 10)")
                                     .arg(kMaxJpegScans));
}

// A photo carrying an orientation (EXIF in JPEG, TIFF's own tag) is turned
// as picture viewers show it. Every way a picture comes in, from a file, a
// template's embedded bytes or an undo step, decodes here, and the bytes are
// kept as they are, so a template shows the photo the same way everywhere.
void showUpright(QImageReader& reader)
{
    reader.setAutoTransform(true);
}

QImage decodeRaster(const QString& path, const QByteArray& bytes, const PictureExtension& extension)
{
    const TiffMessageCapture tiffMessages;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = chooseRasterFormat(path, buffer, extension);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(kAllocationLimitMegabytes);
    showUpright(reader);
    checkDeclaredSize(path, reader.size());
    checkDecodingWork(path, bytes, format);
    if (!holdsCompletePicture(bytes, format))
        throw pictureError(path, QStringLiteral("the file is cut off or damaged"));
    if (const QString damage = damageFoundByDecoder(bytes, format); !damage.isEmpty())
        throw pictureError(path, QStringLiteral("the file is cut off or damaged (%1)").arg(damage));
    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        const QString decoderError = tiffMessages.firstError();
        throw pictureError(path, QStringLiteral("the file is damaged or not a picture (%1)")
                                     .arg(decoderError.isEmpty() ? reader.errorString() : decoderError));
    }
    // The decoder must keep to the size the header declared (turned, it is
    // the same size on its side).
    checkDeclaredSize(path, picture.size());
    return toCanvasFormat(path, picture);
}

QSize svgRasterSize(QSize declared)
{
    const double scale = double(kSvgLongSide) / std::max(declared.width(), declared.height());
    return QSize(std::max(1, int(std::lround(declared.width() * scale))),
                 std::max(1, int(std::lround(declared.height() * scale))));
}

QImage decodeSvg(const QString& path, const QByteArray& bytes)
{
    if (const QString refusal = svgRefusal(bytes); !refusal.isEmpty())
        throw pictureError(path, refusal);
    QSvgRenderer renderer(bytes);
    if (!renderer.isValid())
        throw pictureError(path, QStringLiteral("the SVG picture does not render"));
    const QSize declared = renderer.defaultSize();
    if (!declared.isValid() || declared.isEmpty())
        throw pictureError(path, QStringLiteral("its size cannot be read (the file is damaged or not a picture)"));
    // Held to the limits by the size it is drawn at, not the one it declares:
    // a drawing may say it is 100,000 pixels wide and still be drawn at 2,048.
    const QSize drawn = svgRasterSize(declared);
    checkDeclaredSize(path, drawn);
    // Few shapes may still take minutes (long edges sharing their rows with
    // many others), and the painter cannot be stopped once it draws.
    if (svgDrawingCost(renderer, drawn) > kMaxSvgDrawingCost) {
        throw pictureError(path, QStringLiteral("its drawing is too complex: its shapes have too many long edges "
                                                "to be drawn in a few seconds"));
    }
    QImage picture(drawn, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        throw pictureMemoryError(path);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter);
    painter.end();
    return picture;
}

} // namespace

QImage defaultBackground()
{
    initialiseEditorResources();
    const QString resource = QStringLiteral(":/backgrounds/default-background.png");
    return toCanvasFormat(resource, QImage(resource));
}

QImage decodeBackgroundPicture(const QString& path)
{
    return readBackgroundPicture(path).picture;
}

PictureFile readBackgroundPicture(const QString& path)
{
    offeredExtension(path);
    QByteArray bytes = readPictureFile(path);
    QImage picture = decodeBackgroundBytes(path, bytes);
    return {std::move(picture), std::move(bytes)};
}

QImage decodeBackgroundBytes(const QString& name, const QByteArray& bytes)
{
    const PictureExtension& extension = offeredExtension(name);
    if (bytes.size() > kMaxPictureFileBytes)
        throw pictureError(name, QStringLiteral("the file is larger than %1 MB").arg(kMaxPictureFileBytes >> 20));
    try {
        if (extension.reader == PictureReader::Svg)
            return decodeSvg(name, bytes);
        return decodeRaster(name, bytes, extension);
    } catch (const std::bad_alloc&) {
        throw pictureMemoryError(name);
    }
}

QImage previewBackgroundPicture(const QString& path, QSize box)
{
    try {
        const PictureExtension& extension = offeredExtension(path);
        if (extension.reader == PictureReader::Svg) {
            const QImage picture = decodeBackgroundPicture(path);
            return picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        const QByteArray bytes = readPictureFile(path);
        const TiffMessageCapture tiffMessages;
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        const QByteArray format = chooseRasterFormat(path, buffer, extension);
        checkDecodingWork(path, bytes, format);
        QImageReader reader(&buffer, format);
        reader.setDecideFormatFromContent(false);
        reader.setAllocationLimit(kAllocationLimitMegabytes);
        showUpright(reader);
        const QSize declared = reader.size();
        checkDeclaredSize(path, declared);
        // Readers that can (JPEG) decode straight at the smaller size.
        if (declared.width() > box.width() || declared.height() > box.height())
            reader.setScaledSize(declared.scaled(box, Qt::KeepAspectRatio));
        QImage picture;
        if (!reader.read(&picture))
            return QImage();
        return picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    } catch (const std::exception&) {
        return QImage();
    }
}

} // namespace pennolux
