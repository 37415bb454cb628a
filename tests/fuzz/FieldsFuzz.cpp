// A list line read as fields, and names made from it: never a name that
// leaves the destination, hides or passes the length a file system takes.
#include "FuzzSupport.h"
#include "platform/AppError.h"
#include "production/fields/FileNamePattern.h"
#include "production/fields/ListFields.h"

using namespace pennolux;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    const QString text = QString::fromUtf8(fuzz::bytesOf(data, size));
    for (const FieldFormat format : {FieldFormat::OneField, FieldFormat::TabSeparated, FieldFormat::CommaSeparated}) {
        try {
            const QStringList fields = splitFields(text, format);
            fuzz::require(text.isEmpty() == fields.isEmpty());
        } catch (const AppError&) {
            fuzz::require(format == FieldFormat::CommaSeparated);
        }
    }
    try {
        const FileNamePattern pattern(text);
        pattern.baseName(7, {text, text});
    } catch (const AppError&) {
    }
    const QString name = FileNamePattern(QStringLiteral("{1}")).baseName(3, {text});
    fuzz::require(!name.isEmpty() && !name.contains(u'/') && !name.startsWith(u'.'));
    fuzz::require(name.toUtf8().size() <= kLongestBaseNameBytes);
    for (const QChar c : name)
        fuzz::require(c.unicode() >= 0x20 && !(c.unicode() >= 0x7f && c.unicode() < 0xa0));
    return 0;
}
