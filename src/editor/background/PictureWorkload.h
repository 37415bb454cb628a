#pragma once

#include <QByteArray>

namespace pennolux {

// A progressive JPEG is decoded again over the whole picture for each of its
// scans; photos have about ten. Past this the picture is refused unread.
constexpr int kMaxJpegScans = 100;

// The scans (start-of-scan segments) of a JPEG file up to its end marker,
// found by walking the segments without decoding.
int jpegScanCount(const QByteArray& bytes);

} // namespace pennolux
