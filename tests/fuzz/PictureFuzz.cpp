// A background picture through the bounded path, in the format its first
// byte picks: refused, or an image within the limits.
#include "FuzzSupport.h"
#include "editor/background/BackgroundPicture.h"
#include "platform/AppError.h"

using namespace pennolux;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    if (size == 0)
        return 0;
    static const char* const kNames[] = {"p.png", "p.jpg", "p.gif", "p.bmp", "p.ico",
                                         "p.tiff", "p.webp", "p.wbmp", "p.svg"};
    const QString name = QString::fromLatin1(kNames[data[0] % std::size(kNames)]);
    try {
        const QImage image = decodeBackgroundBytes(name, fuzz::bytesOf(data + 1, size - 1));
        fuzz::require(!image.isNull() && image.width() <= 16384 && image.height() <= 16384);
    } catch (const AppError&) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}
