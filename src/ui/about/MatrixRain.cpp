#include "ui/about/MatrixRain.h"

#include <algorithm>
#include <utility>

#include "platform/system/RandomSource.h"

namespace pennolux {

MatrixRain::MatrixRain(RandomSource& random, QString characters)
    : random_(random), characters_(std::move(characters))
{
    if (characters_.isEmpty())
        characters_ = QStringLiteral(" ");
}

void MatrixRain::start(QSize bitmapSize)
{
    tickCounter_ = 0;
    bitmapSize_ = bitmapSize;
    reset();
}

void MatrixRain::reset()
{
    // The grid always follows the size kept at the start, not a later one.
    matrixWidth_ = std::max(0, bitmapSize_.width()) / kCharWidth;
    matrixHeight_ = std::max(0, bitmapSize_.height()) / kCharHeight;
    drops_.clear();
    for (int i = 0; i < 2 * matrixWidth_; ++i)
        addDrop(i);
}

void MatrixRain::addDrop(int index)
{
    if (int(drops_.size()) >= kMaxDrops)
        return;
    RainDrop drop;
    drop.column = index % matrixWidth_;
    drop.row = random_.below(matrixHeight_);
    drop.speed = randomSpeed();
    drop.brightness = randomBrightness();
    drops_.push_back(drop);
}

int MatrixRain::randomSpeed()
{
    return random_.below(3) + 1;
}

int MatrixRain::randomBrightness()
{
    return random_.below(100);
}

std::vector<RainCell> MatrixRain::tick()
{
    std::vector<RainCell> cells;
    cells.reserve(drops_.size() * 3);
    for (RainDrop& drop : drops_) {
        const QChar character = characters_.at(random_.below(int(characters_.size())));
        paintDrop(drop, character, cells);
        if (tickCounter_ % std::uint64_t(drop.speed) == 0) {
            ++drop.row;
            if (drop.row > matrixHeight_ + 1) {
                drop.row = 0;
                drop.speed = randomSpeed();
                drop.brightness = randomBrightness();
            }
        }
    }
    ++tickCounter_;
    return cells;
}

void MatrixRain::paintDrop(const RainDrop& drop, QChar character, std::vector<RainCell>& cells) const
{
    cells.push_back({drop.column, eraseRow(drop.row, matrixHeight_), QChar(), qRgb(0, 0, 0)});
    const int head = drop.brightness * 255 / 100;
    const int trail = head / 3;
    if (drop.row > 0)
        cells.push_back({drop.column, drop.row - 1, character, shade(trail)});
    cells.push_back({drop.column, drop.row, character, shade(head)});
}

QRgb MatrixRain::shade(int value)
{
    return qRgb(value * 150 / 255, value, value * 100 / 255);
}

int MatrixRain::eraseRow(int row, int matrixHeight)
{
    int erased = row - kEraseDistance;
    while (erased < 0)
        erased += matrixHeight + 1;
    return erased;
}

} // namespace pennolux
