// An OpenDocument text as the list reader takes it.
#include "FuzzSupport.h"
#include "platform/AppError.h"
#include "platform/documents/OdtText.h"

using namespace pennolux;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    try {
        readOdtText(fuzz::scratchFile(fuzz::bytesOf(data, size), QStringLiteral("fuzz.odt")), 1 << 20);
    } catch (const AppError&) {
    }
    return 0;
}
