// The version block of an executable, as About and --version read it.
#include "FuzzSupport.h"
#include "app/version/VersionInfo.h"
#include "platform/AppError.h"

using namespace pennolux;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    const QString path = fuzz::scratchFile(fuzz::bytesOf(data, size), QStringLiteral("program"));
    try {
        GetEXEVersionData(path);
    } catch (const AppError&) {
    }
    readFileVersionMs(path);
    return 0;
}
