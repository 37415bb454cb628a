#include "editor/background/TiffMessages.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <tiffio.h>

namespace pennolux {

namespace {

// Qt's reader opens its files without per-file handlers, so only the global
// ones reach its messages; they are set once and answer per thread.
thread_local bool capturing = false;
thread_local char firstErrorText[300] = {};

void keepTiffError(const char* module, const char* format, va_list arguments)
{
    if (!capturing || firstErrorText[0] != '\0')
        return;
    char message[256] = {};
    std::vsnprintf(message, sizeof message, format, arguments);
    std::snprintf(firstErrorText, sizeof firstErrorText, "%s: %s", module ? module : "TIFF", message);
}

void installQuietHandlers()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        TIFFSetWarningHandler(nullptr);
        TIFFSetWarningHandlerExt(nullptr);
        TIFFSetErrorHandler(&keepTiffError);
        TIFFSetErrorHandlerExt(nullptr);
    });
}

} // namespace

TiffMessageCapture::TiffMessageCapture()
{
    installQuietHandlers();
    capturing = true;
    firstErrorText[0] = '\0';
}

TiffMessageCapture::~TiffMessageCapture()
{
    capturing = false;
}

QString TiffMessageCapture::firstError() const
{
    return QString::fromLocal8Bit(firstErrorText);
}

} // namespace pennolux
