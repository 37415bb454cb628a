#pragma once

#include <QByteArray>

namespace pennolux {

// Whether a file holds its whole first picture. Qt's BMP, GIF and JPEG
// readers draw what a cut-off file holds and report success; these walk the
// file's structure to the picture's end instead. Other formats are taken as
// complete: their readers fail on a cut-off file.
bool holdsCompletePicture(const QByteArray& bytes, const QByteArray& qtFormat);

} // namespace pennolux
