#include "editor/background/PictureFormats.h"

#include <QFileInfo>

namespace pennolux {

const QList<PictureExtension>& pictureExtensions()
{
    static const QList<PictureExtension> kExtensions{
        {QStringLiteral("tiff"), QStringLiteral("TIFF Images"), PictureReader::Raster, "tiff"},
        {QStringLiteral("tif"), QStringLiteral("TIFF Images"), PictureReader::Raster, "tiff"},
        {QStringLiteral("wmf"), QStringLiteral("Metafiles"), PictureReader::None, {}},
        {QStringLiteral("emf"), QStringLiteral("Enhanced Metafiles"), PictureReader::None, {}},
        {QStringLiteral("ico"), QStringLiteral("Icons"), PictureReader::Raster, "ico"},
        {QStringLiteral("bmp"), QStringLiteral("Bitmaps"), PictureReader::Raster, "bmp"},
        {QStringLiteral("png"), QStringLiteral("Portable Network Graphics"), PictureReader::Raster, "png"},
        {QStringLiteral("jpeg"), QStringLiteral("JPEG Image File"), PictureReader::Raster, "jpeg"},
        {QStringLiteral("jpg"), QStringLiteral("JPEG Image File"), PictureReader::Raster, "jpeg"},
        {QStringLiteral("gif"), QStringLiteral("GIF Image"), PictureReader::Raster, "gif"},
        {QStringLiteral("svg"), QStringLiteral("Scalable Vector Graphics"), PictureReader::Svg, {}},
        {QStringLiteral("webp"), QStringLiteral("WebP Images"), PictureReader::Raster, "webp"},
        {QStringLiteral("wbmp"), QStringLiteral("WBMP Images"), PictureReader::Raster, "wbmp"},
    };
    return kExtensions;
}

const PictureExtension* pictureExtensionOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const PictureExtension& entry : pictureExtensions())
        if (suffix.compare(entry.extension, Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

QStringList pictureNameFilters()
{
    QStringList patterns;
    QStringList entries;
    const QList<PictureExtension>& table = pictureExtensions();
    for (auto entry = table.rbegin(); entry != table.rend(); ++entry) {
        if (entry->reader == PictureReader::None)
            continue;
        const QString pattern = QStringLiteral("*.") + entry->extension;
        patterns << pattern;
        entries << QStringLiteral("%1 (%2)").arg(entry->description, pattern);
    }
    entries.prepend(QStringLiteral("All (%1)").arg(patterns.join(u' ')));
    return entries;
}

bool isOfferedRasterFormat(const QByteArray& qtFormat)
{
    for (const PictureExtension& entry : pictureExtensions())
        if (entry.reader == PictureReader::Raster && entry.qtFormat == qtFormat)
            return true;
    return false;
}

} // namespace pennolux
