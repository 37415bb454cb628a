// A template file: refused as a whole or read into a template that is
// written back as a file that reads the same again.
#include "FuzzSupport.h"
#include "editor/file/TemplateFile.h"
#include "platform/AppError.h"

using namespace pennolux;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    TemplateDocument document;
    try {
        document = parseTemplateFile(fuzz::bytesOf(data, size), QStringLiteral("fuzz.pnxt"));
    } catch (const AppError&) {
        return 0;
    }
    QByteArray written;
    try {
        written = templateFileText(document);
    } catch (const AppError&) {
        return 0;  // a template beyond what may be saved is refused, not written
    }
    fuzz::require(templateFileText(parseTemplateFile(written, QStringLiteral("again.pnxt"))) == written);
    return 0;
}
