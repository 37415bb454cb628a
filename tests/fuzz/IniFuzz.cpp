// A settings file as Pennolux finds it on disk.
#include "FuzzSupport.h"
#include "app/settings/IniDocument.h"
#include "platform/AppError.h"

using namespace pennolux;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    try {
        const IniDocument ini = IniDocument::open(fuzz::scratchFile(fuzz::bytesOf(data, size), "settings.ini"));
        ini.readString(QStringLiteral("Settings"), QStringLiteral("FontName"));
        ini.readString(QStringLiteral("settings"), QStringLiteral("fontname"), QStringLiteral("x"));
    } catch (const AppError&) {
    }
    return 0;
}
