// The yardstick for the Advanced run: a loop that does nothing but what
// dominates a PNG of a whole canvas, deflating its rows with zlib at level 7,
// on every core. The rows are the very ones pennolux-batch wrote: the first
// PNG files of a run are inflated back to their filtered rows (not timed),
// then the loop deflates them in turn, as many images as asked, each as one
// zlib stream with zlib's defaults (32 KiB window, memory level 8, the
// default strategy), keeping nothing.
//
//   bench_bare_deflate_loop [--images N] [--threads T] [--distinct K] PNG...
//
// Prints "key=value" lines: images, threads, seconds, images_per_second.

#include <zlib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t bigEndian32(const std::uint8_t* bytes)
{
    return (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) | (std::uint32_t(bytes[2]) << 8) |
           std::uint32_t(bytes[3]);
}

// The filtered rows of an 8-bit RGB PNG, or nothing for another kind of file.
Bytes filteredRows(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const Bytes png((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Bytes stream;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = bigEndian32(&png[at]);
        if (at + 12 + length > png.size())
            return {};
        const char* type = reinterpret_cast<const char*>(&png[at + 4]);
        if (std::memcmp(type, "IHDR", 4) == 0) {
            width = bigEndian32(&png[at + 8]);
            height = bigEndian32(&png[at + 12]);
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            stream.insert(stream.end(), png.begin() + std::ptrdiff_t(at + 8), png.begin() + std::ptrdiff_t(at + 8 + length));
        }
        at += 12 + length;
    }
    Bytes rows((1 + std::size_t(width) * 3) * height);
    uLongf size = uLongf(rows.size());
    if (rows.empty() || uncompress(rows.data(), &size, stream.data(), uLong(stream.size())) != Z_OK || size != rows.size())
        return {};
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    int images = 20000;
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::size_t distinct = 64;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--images" && i + 1 < argc)
            images = std::stoi(argv[++i]);
        else if (argument == "--threads" && i + 1 < argc)
            threads = unsigned(std::stoi(argv[++i]));
        else if (argument == "--distinct" && i + 1 < argc)
            distinct = std::size_t(std::stoi(argv[++i]));
        else
            files.push_back(argument);
    }
    std::vector<Bytes> rows;
    for (const std::string& path : files) {
        if (rows.size() >= distinct)
            break;
        Bytes image = filteredRows(path);
        if (!image.empty())
            rows.push_back(std::move(image));
    }
    if (rows.empty()) {
        std::fprintf(stderr, "bench_bare_deflate_loop: no 8-bit RGB PNG among the files\n");
        return 1;
    }

    std::atomic<int> next{0};
    std::atomic<std::uint64_t> compressedBytes{0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            Bytes out;
            std::uint64_t total = 0;
            for (int image = next++; image < images; image = next++) {
                const Bytes& in = rows[std::size_t(image) % rows.size()];
                uLongf size = compressBound(uLong(in.size()));
                out.resize(size);
                compress2(out.data(), &size, in.data(), uLong(in.size()), 7);
                total += size;
            }
            compressedBytes += total;
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("images=%d\nthreads=%u\ndistinct=%zu\nseconds=%.3f\nimages_per_second=%.1f\naverage_bytes=%.0f\n", images,
                threads, rows.size(), seconds, images / seconds, double(compressedBytes) / images);
    return 0;
}
