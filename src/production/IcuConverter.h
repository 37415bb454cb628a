#pragma once

#include <QByteArray>
#include <memory>
#include <unicode/ucnv.h>

namespace pennolux {

struct IcuConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using IcuConverter = std::unique_ptr<UConverter, IcuConverterCloser>;

// An ICU converter for a legacy code page ("windows-1252"); null when ICU
// does not know the name.
inline IcuConverter OpenIcuConverter(const QByteArray& codePage)
{
    UErrorCode status = U_ZERO_ERROR;
    IcuConverter converter(ucnv_open(codePage.constData(), &status));
    if (U_FAILURE(status))
        return nullptr;
    return converter;
}

} // namespace pennolux
