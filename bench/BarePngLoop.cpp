// The yardstick for the batch tool: the loop a user would write by hand to
// make the same number of same-sized PNG files, with nothing but libpng and
// stdio on one thread. It draws no real text: each picture is the background
// with pseudo-glyphs of anti-aliased "ink" where characters would be, so zlib
// sees about as much detail as in a rendered line.
//
//   bench_bare_png_loop [--libpng-defaults] SIZES DEST
//
// SIZES holds "number width height" per picture; picture <number> goes to
// DEST/Output<number>.png. Without --libpng-defaults every row is filtered Sub
// and zlib runs at level 7, as the batch tool's encoder does, so both do the
// same work; with it libpng picks its filters and level itself.

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct PictureSize {
    long number = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

struct Options {
    bool libpngDefaults = false;
    std::string sizesPath;
    std::string destination;
};

constexpr std::uint8_t kBackground[3] = {166, 202, 240};
constexpr int kCellWidth = 6;   // about one Tahoma 8 pt character
constexpr int kGlyphCount = 32;

// A fixed set of pseudo-glyphs: per pixel an ink coverage in 25 steps, so the
// pixels come in many blends of text and background as anti-aliased text's do.
// About 43 % of a glyph's pixels carry ink, which gives rendered e-mail lines'
// third of inked pixels and, within a few per cent, their compressed size.
class GlyphTable {
public:
    explicit GlyphTable(std::uint32_t seed)
    {
        std::uint32_t state = seed;
        const auto next = [&state] {
            state = state * 1664525u + 1013904223u;
            return state >> 24;
        };
        for (auto& glyph : coverage_)
            for (auto& row : glyph)
                for (auto& pixel : row)
                    pixel = next() < 110 ? static_cast<std::uint8_t>(10 * (1 + next() % 25)) : 0;
    }

    // 0 outside the glyph's rows.
    std::uint8_t coverage(int glyph, int row, int column) const
    {
        if (row < 0 || row >= kRows)
            return 0;
        return coverage_[static_cast<std::size_t>(glyph)][static_cast<std::size_t>(row)]
                        [static_cast<std::size_t>(column)];
    }

    static constexpr int kRows = 11;  // ascent plus descent of an 8 pt face

private:
    std::uint8_t coverage_[kGlyphCount][kRows][kCellWidth] = {};
};

void fillRow(std::uint8_t* row, std::size_t width, const GlyphTable& glyphs, long pictureNumber, std::uint32_t y,
             std::uint32_t height)
{
    const int glyphRow = static_cast<int>(y) - (static_cast<int>(height) - GlyphTable::kRows) / 2;
    for (std::size_t x = 0; x < width; ++x) {
        unsigned coverage = 0;
        if (x >= 1 && x + 1 < width) {
            const std::size_t cell = (x - 1) / kCellWidth;
            const int glyph = static_cast<int>((cell * 7 + static_cast<std::size_t>(pictureNumber)) % kGlyphCount);
            coverage = glyphs.coverage(glyph, glyphRow, static_cast<int>((x - 1) % kCellWidth));
        }
        // Black text blended over the background.
        for (std::size_t channel = 0; channel < 3; ++channel)
            row[x * 3 + channel] = static_cast<std::uint8_t>(kBackground[channel] * (255 - coverage) / 255);
    }
}

// Kept free of C++ objects with destructors because libpng reports errors by
// longjmp-ing back here.
bool writePng(std::FILE* file, const std::uint8_t* rows, std::size_t stride, const PictureSize& size,
              bool libpngDefaults)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    if (!libpngDefaults) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_set_compression_level(png, 7);
    }
    png_set_IHDR(png, info, size.width, size.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < size.height; ++y)
        png_write_row(png, rows + y * stride);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool parseOptions(int argc, char** argv, Options& options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--libpng-defaults") == 0)
            options.libpngDefaults = true;
        else
            positional.emplace_back(argv[i]);
    }
    if (positional.size() != 2)
        return false;
    options.sizesPath = positional[0];
    options.destination = positional[1];
    return true;
}

bool readSizes(const std::string& path, std::vector<PictureSize>& sizes)
{
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return false;
    PictureSize size;
    while (std::fscanf(file, "%ld %u %u", &size.number, &size.width, &size.height) == 3)
        sizes.push_back(size);
    std::fclose(file);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: bench_bare_png_loop [--libpng-defaults] SIZES DEST\n");
        return 2;
    }
    std::vector<PictureSize> sizes;
    if (!readSizes(options.sizesPath, sizes)) {
        std::perror(options.sizesPath.c_str());
        return 1;
    }

    const GlyphTable glyphs(20240601u);
    std::vector<std::uint8_t> pixels;
    long bytesWritten = 0;
    for (const PictureSize& size : sizes) {
        const std::size_t stride = std::size_t{size.width} * 3;
        pixels.resize(stride * size.height);
        for (std::uint32_t y = 0; y < size.height; ++y)
            fillRow(pixels.data() + y * stride, size.width, glyphs, size.number, y, size.height);
        const std::string path = options.destination + "/Output" + std::to_string(size.number) + ".png";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) {
            std::perror(path.c_str());
            return 1;
        }
        const bool written = writePng(file, pixels.data(), stride, size, options.libpngDefaults);
        bytesWritten += std::ftell(file);
        if (std::fclose(file) != 0 || !written) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    std::printf("Saved %zu image file(s), %ld bytes\n", sizes.size(), bytesWritten);
    return 0;
}
