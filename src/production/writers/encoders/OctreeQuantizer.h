#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

#include <cstdint>
#include <vector>

namespace pennolux {

// An octree colour quantiser over one image's pixels. The tree is eight
// levels deep (one bit of red, green and blue per level); the deepest nodes
// are merged first, the least used of a level before the others, until at
// most maxColors leaves remain. Each leaf's average colour is a palette entry.
//
// An instance holds lookup caches and is meant for one encoding on one
// thread; separate instances share nothing.
class OctreeQuantizer {
public:
    static constexpr int kMaxPaletteSize = 256;

    // Reads the red, green and blue of every pixel; any alpha is ignored.
    // maxColors must lie in 1..256.
    explicit OctreeQuantizer(const QImage& image, int maxColors = kMaxPaletteSize);

    const QList<QRgb>& palette() const { return palette_; }

    // The palette entry for a colour: the leaf its path reaches in the tree,
    // or, for a colour whose path leaves the tree, the nearest entry.
    int indexOf(int red, int green, int blue);

    // Palette indices of the image, row by row, with Floyd-Steinberg error
    // diffusion (7/16 right, 3/16 below left, 5/16 below, 1/16 below right),
    // every row scanned left to right. Colours present in the palette come
    // out exact because their error is zero.
    std::vector<std::uint8_t> ditherToIndices(const QImage& image);

private:
    struct Node {
        std::uint64_t redSum = 0;
        std::uint64_t greenSum = 0;
        std::uint64_t blueSum = 0;
        std::uint64_t pixelCount = 0;
        std::int32_t children[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
        std::int16_t paletteIndex = -1;
        std::uint8_t level = 0;
        bool isLeaf = false;
    };

    static constexpr int kDepth = 8;

    std::int32_t leafFor(QRgb color);
    void addToLeaf(std::int32_t leafId, QRgb color, std::uint64_t pixelCount);
    std::int32_t newNode(int level);
    void reduceTo(int leafLimit);
    bool reduceDeepestLevel(int leafLimit);
    void mergeChildren(Node& node);
    void buildPalette(std::int32_t nodeId);
    int nearestIndex(int red, int green, int blue);
    bool mapExactly(const QImage& pixels, std::vector<std::uint8_t>& indices);
    void diffuseErrors(const QImage& pixels, std::vector<std::uint8_t>& indices);

    std::vector<Node> nodes_;
    std::vector<std::int32_t> freeNodes_;
    std::vector<std::vector<std::int32_t>> innerNodesByLevel_;
    int leafCount_ = 0;
    bool merged_ = false;
    QList<QRgb> palette_;
    // Nearest palette entry per 32x32x32 cell of colour space, filled on
    // demand (-1: not yet known).
    std::vector<std::int16_t> nearestCache_;
};

} // namespace pennolux
