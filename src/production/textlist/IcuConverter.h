#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <unicode/ucnv.h>

namespace pennolux {

struct IcuConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using IcuConverter = std::unique_ptr<UConverter, IcuConverterCloser>;

// A converter for the legacy code page ("windows-1252"), windows-1252 when
// ICU does not know the name; null only when ICU has neither.
IcuConverter openLegacyCodePage(const QByteArray& codePage);

// Decodes bytes with the converter. flush false: a character cut off at the
// end stays in the converter and is completed by the next call.
// ucnv_toUnicode rather than ucnv_toUChars: it walks pointers, so a list
// beyond 2 GiB of bytes does not overflow an int32_t length.
QString decodeWithIcu(UConverter* converter, QByteArrayView bytes, bool flush);

} // namespace pennolux
