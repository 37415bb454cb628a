// A Word 97-2003 .doc as the list reader takes it.
#include "FuzzSupport.h"
#include "platform/AppError.h"
#include "platform/documents/DocText.h"

using namespace pennolux;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    DocReaderLimits limits;
    limits.maxFileBytes = 1 << 22;
    limits.maxTextCharacters = 1 << 20;
    try {
        docBodyText(fuzz::bytesOf(data, size), QStringLiteral("fuzz.doc"), limits);
    } catch (const AppError&) {
    }
    return 0;
}
