#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>

namespace pennolux {

// A background picture may declare at most this size; a larger one is
// refused before anything is decoded.
constexpr std::int64_t kMaxPictureSide = 16384;
constexpr std::int64_t kMaxPicturePixels = 100'000'000;
// A picture file is read whole before it is decoded, so its structure can be
// checked; past this it is refused unread.
constexpr qint64 kMaxPictureFileBytes = qint64(512) << 20;

// The canvas's picture at every start: a green textured backdrop of 640 x 300.
QImage defaultBackground();

// The picture in the file, opaque as RGB32 or with its transparency as
// premultiplied ARGB32. The extension picks the reader: "Unknown picture file
// extension (.xyz)" for an extension that is not offered (Windows metafiles
// included). A file that cannot be read, is not a picture of an offered
// format, declares a size beyond the limits, is cut off or damaged, or an SVG
// that does not render, throws AppError naming the file. SVG pictures are
// rendered at a bounded size keeping their proportions. A photo carrying an
// orientation (EXIF) comes out turned as picture viewers show it.
QImage decodeBackgroundPicture(const QString& path);

// A picture file read and decoded, with the bytes a template file embeds.
struct PictureFile {
    QImage picture;
    QByteArray bytes;
};
PictureFile readBackgroundPicture(const QString& path);

// The same decoding for a picture file's bytes held elsewhere (embedded in a
// template file): `name` is the file's name, whose extension picks the
// reader, and names it in the errors.
QImage decodeBackgroundBytes(const QString& name, const QByteArray& bytes);

// The picture scaled down to fit the box, for a preview; a null image when
// it cannot be read. Decodes no more than it shows where the format allows.
QImage previewBackgroundPicture(const QString& path, QSize box);

} // namespace pennolux
