#include "production/textlist/IcuConverter.h"

namespace pennolux {

namespace {

IcuConverter openConverter(const char* codePage)
{
    UErrorCode status = U_ZERO_ERROR;
    IcuConverter converter(ucnv_open(codePage, &status));
    if (U_FAILURE(status))
        return nullptr;
    return converter;
}

} // namespace

IcuConverter openLegacyCodePage(const QByteArray& codePage)
{
    IcuConverter converter = openConverter(codePage.constData());
    return converter ? std::move(converter) : openConverter("windows-1252");
}

QString decodeWithIcu(UConverter* converter, QByteArrayView bytes, bool flush)
{
    // No code page ICU offers here turns one byte into more than one UTF-16
    // unit, so the first guess is normally the final size.
    QString text(bytes.size() + 16, Qt::Uninitialized);
    const char* source = bytes.data();
    const char* const sourceEnd = source + bytes.size();
    qsizetype written = 0;
    for (;;) {
        UChar* const targetStart = reinterpret_cast<UChar*>(text.data());
        UChar* target = targetStart + written;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &target, targetStart + text.size(), &source, sourceEnd, nullptr, flush, &status);
        written = target - targetStart;
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        text.resize(text.size() * 2);
    }
    text.truncate(written);
    return text;
}

} // namespace pennolux
