#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace pennolux::testing {

struct PngChunk {
    QByteArray type;
    QByteArray data;
};

// The file's chunks, each CRC checked; fails the test on a broken file.
std::vector<PngChunk> ChunksOf(const QByteArray& png);
// The IDAT chunks' zlib stream inflated: the filtered rows.
QByteArray InflatedImageData(const std::vector<PngChunk>& chunks, qsizetype expectedSize);
// The file decoded by libpng as RGB888; a null image when libpng refuses it.
QImage DecodeWithLibpng(const QByteArray& png);

} // namespace pennolux::testing
