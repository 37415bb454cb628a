#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "production/writers/png/ContinuableDeflate.h"
#include "production/writers/png/PngBandPlan.h"

namespace pennolux {

// The PNG file of each image of a run whose images differ only in the bands
// of its plan: only the bands' rows are filtered and compressed, each band
// by libdeflate as a whole image is, the piece then opened at its end for
// the constant rows after it. A caller that can name what a band shows (the
// texts drawn in it) gives each band a key; the last few bands compressed
// are kept under their keys and used again for a band of the same key, as
// a merge's field that many lines share (a company, a title) gives. One per
// thread; it keeps its state from image to image.
class PngBandEncoder {
public:
    explicit PngBandEncoder(std::shared_ptr<const PngBandPlan> plan);

    // `image` (32-bit pixels, the plan's size) must hold the plan's pixels
    // outside the bands: its rows there are not read. `bandKeys`, empty or
    // one a band: a band whose key is remembered is not read either.
    QByteArray encode(const QImage& image, const std::vector<QString>& bandKeys = {});

    // Whether the band of this key is kept compressed, so that its rows
    // need not be drawn for the next image.
    bool remembers(std::size_t band, const QString& key) const;

private:
    struct CompressedBand {
        QString key;
        bool keyed = false;
        std::vector<std::uint8_t> bytes;
        std::uint32_t adler = 1;
        std::size_t rawBytes = 0;
    };
    // The bands of one place in the plan compressed lately, oldest replaced first.
    struct Remembered {
        std::vector<CompressedBand> kept;
        std::size_t next = 0;
    };

    const CompressedBand* find(std::size_t band, const QString& key) const;
    const CompressedBand& compress(const QImage& pixels, std::size_t band, const QString* key);

    std::shared_ptr<const PngBandPlan> plan_;
    ContinuableDeflate continuable_;
    std::vector<std::uint8_t> rows_;
    std::vector<Remembered> remembered_;
    std::vector<const CompressedBand*> used_;
};

} // namespace pennolux
