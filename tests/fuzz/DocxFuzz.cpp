// A word processor's .docx as the list reader takes it.
#include "FuzzSupport.h"
#include "platform/AppError.h"
#include "platform/documents/DocxText.h"

using namespace pennolux;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    try {
        readDocxText(fuzz::scratchFile(fuzz::bytesOf(data, size), QStringLiteral("fuzz.docx")), 1 << 20);
    } catch (const AppError&) {
    }
    return 0;
}
