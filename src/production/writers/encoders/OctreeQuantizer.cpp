#include "production/writers/encoders/OctreeQuantizer.h"

#include "production/writers/encoders/FourBytePixels.h"

#include <algorithm>
#include <stdexcept>

namespace pennolux {

namespace {

// Merging starts while the tree is built once this many leaves exist, so a
// noisy picture with a million colours keeps the tree to a few megabytes;
// it merges down to the lower figure to avoid merging on every new colour.
constexpr int kBuildLeafLimit = 16384;
constexpr int kBuildLeafTarget = 12288;

constexpr int kCacheBits = 5;
constexpr int kCacheShift = 8 - kCacheBits;

int childSlot(int red, int green, int blue, int level)
{
    const int bit = 7 - level;
    return (((red >> bit) & 1) << 2) | (((green >> bit) & 1) << 1) | ((blue >> bit) & 1);
}

int clampChannel(int value)
{
    return std::clamp(value, 0, 255);
}

// Errors are kept in sixteenths; this rounds them half away from zero.
int sixteenthsToUnits(int sixteenths)
{
    return (sixteenths >= 0 ? sixteenths + 8 : sixteenths - 8) / 16;
}

// A direct-mapped memo from a 24-bit colour to a number (a leaf or a palette
// index). Text pictures repeat a handful of colours, so most walks of the
// tree are spared.
struct ColorMemo {
    struct Entry {
        std::uint32_t color = kEmpty;
        std::int32_t value = 0;
    };
    static constexpr std::uint32_t kEmpty = 0xffffffffu; // no 24-bit colour
    static constexpr int kBits = 12;

    std::vector<Entry> entries = std::vector<Entry>(std::size_t{1} << kBits);

    Entry& slotFor(std::uint32_t color) { return entries[(color * 0x9E3779B1u) >> (32 - kBits)]; }
    void clear() { std::fill(entries.begin(), entries.end(), Entry{}); }
};

std::uint32_t rgbKey(int red, int green, int blue)
{
    return (static_cast<std::uint32_t>(red) << 16) | (static_cast<std::uint32_t>(green) << 8)
        | static_cast<std::uint32_t>(blue);
}

int squaredDistance(QRgb color, int red, int green, int blue)
{
    const int dr = qRed(color) - red;
    const int dg = qGreen(color) - green;
    const int db = qBlue(color) - blue;
    return dr * dr + dg * dg + db * db;
}

} // namespace

OctreeQuantizer::OctreeQuantizer(const QImage& image, int maxColors)
    : innerNodesByLevel_(kDepth)
{
    if (maxColors < 1 || maxColors > kMaxPaletteSize)
        throw std::invalid_argument("OctreeQuantizer: maxColors must lie in 1..256");

    newNode(0);
    const QImage pixels = fourBytePixels(image);
    ColorMemo leafOfColor;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width();) {
            const std::uint32_t color = row[x] & 0xffffffu;
            int run = 1;
            while (x + run < pixels.width() && (row[x + run] & 0xffffffu) == color)
                ++run;
            x += run;

            ColorMemo::Entry& memo = leafOfColor.slotFor(color);
            if (memo.color != color) {
                memo.color = color;
                memo.value = leafFor(color);
            }
            addToLeaf(memo.value, color, static_cast<std::uint64_t>(run));
            // Merging frees leaves, so the memo's ids may no longer hold.
            if (leafCount_ > kBuildLeafLimit) {
                reduceTo(kBuildLeafTarget);
                leafOfColor.clear();
            }
        }
    }
    reduceTo(maxColors);
    buildPalette(0);
}

std::int32_t OctreeQuantizer::leafFor(QRgb color)
{
    const int red = qRed(color);
    const int green = qGreen(color);
    const int blue = qBlue(color);
    std::int32_t id = 0;
    while (!nodes_[id].isLeaf) {
        const int slot = childSlot(red, green, blue, nodes_[id].level);
        std::int32_t child = nodes_[id].children[slot];
        if (child < 0) {
            child = newNode(nodes_[id].level + 1); // may move nodes_
            nodes_[id].children[slot] = child;
        }
        id = child;
    }
    return id;
}

void OctreeQuantizer::addToLeaf(std::int32_t leafId, QRgb color, std::uint64_t pixelCount)
{
    Node& leaf = nodes_[leafId];
    leaf.redSum += qRed(color) * pixelCount;
    leaf.greenSum += qGreen(color) * pixelCount;
    leaf.blueSum += qBlue(color) * pixelCount;
    leaf.pixelCount += pixelCount;
}

std::int32_t OctreeQuantizer::newNode(int level)
{
    std::int32_t id;
    if (freeNodes_.empty()) {
        id = static_cast<std::int32_t>(nodes_.size());
        nodes_.emplace_back();
    } else {
        id = freeNodes_.back();
        freeNodes_.pop_back();
        nodes_[id] = Node{};
    }
    Node& node = nodes_[id];
    node.level = static_cast<std::uint8_t>(level);
    node.isLeaf = level == kDepth;
    if (node.isLeaf)
        ++leafCount_;
    else
        innerNodesByLevel_[level].push_back(id);
    return id;
}

void OctreeQuantizer::reduceTo(int leafLimit)
{
    while (leafCount_ > leafLimit && reduceDeepestLevel(leafLimit)) {
    }
}

// Merges inner nodes of the deepest level that has any, least used first.
// Every level below it holds only leaves, so each merge folds leaves into
// their parent. The level's list is rewritten without merged nodes, which
// keeps ids of freed and reused nodes out of it.
bool OctreeQuantizer::reduceDeepestLevel(int leafLimit)
{
    for (int level = kDepth - 1; level >= 0; --level) {
        auto& candidates = innerNodesByLevel_[level];
        std::erase_if(candidates, [this](std::int32_t id) { return nodes_[id].isLeaf; });
        if (candidates.empty())
            continue;

        auto childPixels = [this](std::int32_t id) {
            std::uint64_t total = 0;
            for (std::int32_t child : nodes_[id].children)
                if (child >= 0)
                    total += nodes_[child].pixelCount;
            return total;
        };
        std::vector<std::pair<std::uint64_t, std::int32_t>> byUse;
        byUse.reserve(candidates.size());
        for (std::int32_t id : candidates)
            byUse.emplace_back(childPixels(id), id);
        std::sort(byUse.begin(), byUse.end());

        for (const auto& entry : byUse) {
            if (leafCount_ <= leafLimit)
                break;
            mergeChildren(nodes_[entry.second]);
        }
        std::erase_if(candidates, [this](std::int32_t id) { return nodes_[id].isLeaf; });
        return true;
    }
    return false;
}

void OctreeQuantizer::mergeChildren(Node& node)
{
    for (std::int32_t& child : node.children) {
        if (child < 0)
            continue;
        const Node& leaf = nodes_[child];
        node.redSum += leaf.redSum;
        node.greenSum += leaf.greenSum;
        node.blueSum += leaf.blueSum;
        node.pixelCount += leaf.pixelCount;
        freeNodes_.push_back(child);
        --leafCount_;
        child = -1;
    }
    node.isLeaf = true;
    ++leafCount_;
    merged_ = true;
}

void OctreeQuantizer::buildPalette(std::int32_t nodeId)
{
    Node& node = nodes_[nodeId];
    if (node.isLeaf) {
        if (node.pixelCount == 0)
            return;
        const std::uint64_t count = node.pixelCount;
        auto average = [count](std::uint64_t sum) { return static_cast<int>((sum + count / 2) / count); };
        node.paletteIndex = static_cast<std::int16_t>(palette_.size());
        palette_.append(qRgb(average(node.redSum), average(node.greenSum), average(node.blueSum)));
        return;
    }
    for (int slot = 0; slot < 8; ++slot)
        if (nodes_[nodeId].children[slot] >= 0)
            buildPalette(nodes_[nodeId].children[slot]);
}

int OctreeQuantizer::indexOf(int red, int green, int blue)
{
    std::int32_t id = 0;
    while (!nodes_[id].isLeaf) {
        const std::int32_t child = nodes_[id].children[childSlot(red, green, blue, nodes_[id].level)];
        if (child < 0)
            return nearestIndex(red, green, blue);
        id = child;
    }
    const int index = nodes_[id].paletteIndex;
    return index >= 0 ? index : nearestIndex(red, green, blue);
}

// Colours off the tree's paths only arise from diffused error, so the
// nearest entry to the centre of the colour's 8x8x8 cell is close enough;
// the remaining difference is diffused like any other error.
int OctreeQuantizer::nearestIndex(int red, int green, int blue)
{
    if (palette_.isEmpty())
        return 0;
    if (nearestCache_.empty())
        nearestCache_.assign(1 << (3 * kCacheBits), -1);
    const int key = ((red >> kCacheShift) << (2 * kCacheBits)) | ((green >> kCacheShift) << kCacheBits)
        | (blue >> kCacheShift);
    std::int16_t& cached = nearestCache_[key];
    if (cached < 0) {
        const int half = 1 << (kCacheShift - 1);
        const int centreRed = ((red >> kCacheShift) << kCacheShift) + half;
        const int centreGreen = ((green >> kCacheShift) << kCacheShift) + half;
        const int centreBlue = ((blue >> kCacheShift) << kCacheShift) + half;
        int best = 0;
        int bestDistance = squaredDistance(palette_[0], centreRed, centreGreen, centreBlue);
        for (int i = 1; i < palette_.size() && bestDistance > 0; ++i) {
            const int distance = squaredDistance(palette_[i], centreRed, centreGreen, centreBlue);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        cached = static_cast<std::int16_t>(best);
    }
    return cached;
}

std::vector<std::uint8_t> OctreeQuantizer::ditherToIndices(const QImage& image)
{
    const QImage pixels = fourBytePixels(image);
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(pixels.width())
                                      * static_cast<std::size_t>(pixels.height()));
    if (indices.empty())
        return indices;
    // Without merges every colour of the picture has its own exact entry, so
    // the diffused error would stay zero throughout; mapping directly gives
    // the same indices at a fraction of the cost.
    if (!merged_ && mapExactly(pixels, indices))
        return indices;
    diffuseErrors(pixels, indices);
    return indices;
}

bool OctreeQuantizer::mapExactly(const QImage& pixels, std::vector<std::uint8_t>& indices)
{
    ColorMemo indexOfColor;
    std::uint8_t* out = indices.data();
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const std::uint32_t color = row[x] & 0xffffffu;
            ColorMemo::Entry& memo = indexOfColor.slotFor(color);
            if (memo.color != color) {
                const int index = indexOf(qRed(color), qGreen(color), qBlue(color));
                if (palette_.isEmpty() || (palette_[index] & 0xffffffu) != color)
                    return false; // a picture other than the one the palette came from
                memo.color = color;
                memo.value = index;
            }
            *out++ = static_cast<std::uint8_t>(memo.value);
        }
    }
    return true;
}

void OctreeQuantizer::diffuseErrors(const QImage& pixels, std::vector<std::uint8_t>& indices)
{
    const int width = pixels.width();
    const int height = pixels.height();

    // One guard column on each side spares the edge tests; three channels each.
    const std::size_t rowErrors = 3 * (static_cast<std::size_t>(width) + 2);
    std::vector<int> thisRow(rowErrors, 0);
    std::vector<int> nextRow(rowErrors, 0);
    std::uint8_t* out = indices.data();
    ColorMemo indexOfColor;

    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            int* here = &thisRow[3 * (static_cast<std::size_t>(x) + 1)];
            const int red = clampChannel(qRed(row[x]) + sixteenthsToUnits(here[0]));
            const int green = clampChannel(qGreen(row[x]) + sixteenthsToUnits(here[1]));
            const int blue = clampChannel(qBlue(row[x]) + sixteenthsToUnits(here[2]));
            const std::uint32_t color = rgbKey(red, green, blue);
            ColorMemo::Entry& memo = indexOfColor.slotFor(color);
            if (memo.color != color) {
                memo.color = color;
                memo.value = indexOf(red, green, blue);
            }
            const int index = memo.value;
            *out++ = static_cast<std::uint8_t>(index);

            const QRgb chosen = palette_.isEmpty() ? qRgb(0, 0, 0) : palette_[index];
            const int error[3] = {red - qRed(chosen), green - qGreen(chosen), blue - qBlue(chosen)};
            int* below = &nextRow[3 * (static_cast<std::size_t>(x) + 1)];
            for (int c = 0; c < 3; ++c) {
                here[3 + c] += error[c] * 7;
                below[c - 3] += error[c] * 3;
                below[c] += error[c] * 5;
                below[c + 3] += error[c];
            }
        }
        thisRow.swap(nextRow);
        std::fill(nextRow.begin(), nextRow.end(), 0);
    }
}

} // namespace pennolux
