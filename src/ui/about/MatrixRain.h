#pragma once

#include <QChar>
#include <QRgb>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

namespace pennolux {

class RandomSource;

// One drop of the rain: the cell column it falls in, the cell row of its
// head, how many ticks it waits per row (1 to 3) and its brightness (0 to 99).
struct RainDrop {
    int column = 0;
    int row = 0;
    int speed = 1;
    int brightness = 0;
};

// One cell a tick paints: black when character is null, else the character
// in color, opaquely on black.
struct RainCell {
    int column = 0;
    int row = 0;
    QChar character;
    QRgb color = 0;

    bool erases() const { return character.isNull(); }
    friend bool operator==(const RainCell&, const RainCell&) = default;
};

// The falling characters of the About window, as a grid of 8 x 12 pixel
// cells with two drops per column. It decides what each tick paints; the
// window does the painting. All randomness comes from the source passed in,
// in a fixed order, so a seeded source replays a rain exactly.
class MatrixRain {
public:
    static constexpr int kCharWidth = 8;
    static constexpr int kCharHeight = 12;
    static constexpr int kMaxDrops = 5000;
    static constexpr int kEraseDistance = 40;

    explicit MatrixRain(RandomSource& random, QString characters = QStringLiteral("zantoph"));

    // Zeroes the tick counter, keeps bitmapSize for the grid and seeds the drops.
    void start(QSize bitmapSize);
    // Seeds the drops anew on the grid of the size kept by start().
    void reset();
    // Paints every drop in table order and moves those whose turn it is;
    // returns the cells painted, in painting order.
    std::vector<RainCell> tick();

    // The green tint of value (0 to 255): red v*150/255, green v, blue v*100/255.
    static QRgb shade(int value);
    // The row erased for a head at row: row - 40, wrapped into the grid's
    // matrixHeight + 1 rows.
    static int eraseRow(int row, int matrixHeight);

    int matrixWidth() const { return matrixWidth_; }
    int matrixHeight() const { return matrixHeight_; }
    QSize bitmapSize() const { return bitmapSize_; }
    const std::vector<RainDrop>& drops() const { return drops_; }
    std::uint64_t tickCounter() const { return tickCounter_; }

private:
    void addDrop(int index);
    void paintDrop(const RainDrop& drop, QChar character, std::vector<RainCell>& cells) const;
    int randomSpeed();
    int randomBrightness();

    RandomSource& random_;
    QString characters_;
    QSize bitmapSize_;
    int matrixWidth_ = 0;
    int matrixHeight_ = 0;
    std::vector<RainDrop> drops_;
    std::uint64_t tickCounter_ = 0;
};

} // namespace pennolux
