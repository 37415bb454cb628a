#include "editor/background/PictureWorkload.h"

namespace pennolux {

int jpegScanCount(const QByteArray& bytes)
{
    const auto at = [&bytes](qsizetype position) { return static_cast<unsigned char>(bytes[position]); };
    const auto isRestart = [](int marker) { return marker >= 0xD0 && marker <= 0xD7; };
    int scans = 0;
    qsizetype position = 2;
    while (position + 1 < bytes.size()) {
        if (at(position) != 0xFF) {
            ++position;
            continue;
        }
        const int marker = at(position + 1);
        if (marker == 0xFF) {
            ++position;
            continue;
        }
        position += 2;
        if (marker == 0xD9)
            break;
        if (marker == 0x00 || marker == 0x01 || isRestart(marker) || position + 1 >= bytes.size())
            continue;
        position += (at(position) << 8) | at(position + 1);
        if (marker != 0xDA)
            continue;
        ++scans;
        // The scan's data runs to the next marker that is neither a stuffed
        // 0xFF nor a restart marker.
        while (position + 1 < bytes.size()
            && (at(position) != 0xFF || at(position + 1) == 0x00 || isRestart(at(position + 1))))
            ++position;
    }
    return scans;
}

} // namespace pennolux
