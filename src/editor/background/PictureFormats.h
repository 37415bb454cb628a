#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pennolux {

// How a background picture's file is read, chosen by its extension.
enum class PictureReader {
    None,    // a known extension with no decoder here (Windows metafiles)
    Raster,  // one of Qt's image readers
    Svg,     // rendered by the SVG renderer
};

struct PictureExtension {
    QString extension;    // lower case, without the dot
    QString description;  // "Portable Network Graphics"
    PictureReader reader = PictureReader::None;
    QByteArray qtFormat;  // the Qt reader for Raster
};

// The extensions of background pictures in the order of the design's table,
// those without a decoder included.
const QList<PictureExtension>& pictureExtensions();

// The entry for the file's extension (compared without regard to case), or
// null when the extension is not one of them.
const PictureExtension* pictureExtensionOf(const QString& path);

// The open dialog's filters: "All" covering every extension that can be
// read, then one entry per such extension, the table's last first.
QStringList pictureNameFilters();

// The Qt readers of the raster formats offered; Qt carries others (MNG, TGA,
// ICNS, ...) that a picture must not reach.
bool isOfferedRasterFormat(const QByteArray& qtFormat);

} // namespace pennolux
