#include "production/textlist/ListEncoding.h"

#include <algorithm>

namespace pennolux {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeBom[] = "\xFF\xFE";
constexpr char kUtf16BeBom[] = "\xFE\xFF";

bool isUtf8Continuation(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

qsizetype utf8SequenceLength(uchar lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// The bytes at the end that begin a UTF-8 sequence still waiting for bytes of
// the next chunk. Cutting in front of a byte that is not a continuation byte
// never changes the decoding, valid or not: Qt's decoder starts a sequence
// at every such byte, and replaces each byte of a broken sequence on its own.
qsizetype incompleteUtf8Tail(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype at = size - 1; at >= 0 && at >= size - 3; --at) {
        const auto byte = static_cast<uchar>(bytes[at]);
        if (isUtf8Continuation(byte))
            continue;
        return utf8SequenceLength(byte) > size - at ? size - at : 0;
    }
    return 0;
}

QStringConverter::Encoding qtEncodingOf(ListEncoding encoding)
{
    switch (encoding) {
    case ListEncoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case ListEncoding::Utf16BE:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

IcuConverter openConverter(const char* codePage)
{
    UErrorCode status = U_ZERO_ERROR;
    IcuConverter converter(ucnv_open(codePage, &status));
    if (U_FAILURE(status))
        return nullptr;
    return converter;
}

IcuConverter openLegacyCodePage(const QByteArray& codePage)
{
    IcuConverter converter = openConverter(codePage.constData());
    return converter ? std::move(converter) : openConverter("windows-1252");
}

// flush false: a character cut off at the end stays in the converter and is
// completed by the next call. ucnv_toUnicode rather than ucnv_toUChars: it
// walks pointers, so a list beyond 2 GiB of bytes does not overflow an
// int32_t length.
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

} // namespace

EncodingRoute strictRoute(QByteArrayView head)
{
    return {ListEncoding::StrictUtf8, head.startsWith(kUtf8Bom) ? qint64(3) : qint64(0)};
}

// Its UTF-8 branch decodes with QString::fromUtf8, which drops one more BOM
// right behind the detected one: so does this.
EncodingRoute detectedRoute(QByteArrayView head)
{
    const QByteArrayView afterUtf8Bom = head.sliced(std::min<qsizetype>(3, head.size()));
    if (head.startsWith(kUtf8Bom))
        return {ListEncoding::Utf8, afterUtf8Bom.startsWith(kUtf8Bom) ? qint64(6) : qint64(3)};
    if (head.startsWith(kUtf16LeBom))
        return {ListEncoding::Utf16LE, 2};
    if (head.startsWith(kUtf16BeBom))
        return {ListEncoding::Utf16BE, 2};
    return {ListEncoding::CodePage, 0};
}

ChunkDecoder::ChunkDecoder(ListEncoding encoding, const QByteArray& legacyCodePage)
    : encoding_(encoding),
      // Byte-order marks are skipped by the route, so a mark inside the
      // text (also at a chunk's start) stays text. Stateless: a sequence
      // cut off by the file's end is decoded as the whole-file decoders
      // do; within the file, chunks are cut between sequences.
      qtDecoder_(qtEncodingOf(encoding),
                 QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom)
{
    if (encoding_ == ListEncoding::CodePage)
        converter_ = openLegacyCodePage(legacyCodePage);
}

qsizetype ChunkDecoder::decode(QByteArrayView bytes, bool last, QString& text)
{
    switch (encoding_) {
    case ListEncoding::StrictUtf8:
    case ListEncoding::Utf8:
        return decodeWithQt(bytes.first(bytes.size() - (last ? 0 : incompleteUtf8Tail(bytes))), text);
    case ListEncoding::Utf16LE:
    case ListEncoding::Utf16BE:
        return decodeUtf16(bytes, last, text);
    case ListEncoding::CodePage:
        return decodeCodePage(bytes, last, text);
    }
    return 0;
}

qsizetype ChunkDecoder::decodeWithQt(QByteArrayView bytes, QString& text)
{
    text.resize(qtDecoder_.requiredSpace(bytes.size()));
    QChar* const end = qtDecoder_.appendToBuffer(text.data(), bytes);
    text.truncate(end - text.constData());
    return bytes.size();
}

// Only whole units go to Qt, whose decoder would keep a lone byte for
// later even when told to be stateless. An odd byte at the very end is
// what decoding the whole file makes of it: a replacement character,
// except when it is the file's only text byte.
qsizetype ChunkDecoder::decodeUtf16(QByteArrayView bytes, bool last, QString& text)
{
    const qsizetype oddByte = bytes.size() % 2;
    const qsizetype used = decodeWithQt(bytes.first(bytes.size() - oddByte), text);
    utf16BytesSeen_ += used;
    if (!last || oddByte == 0)
        return used;
    if (utf16BytesSeen_ > 0)
        text.append(QChar::ReplacementCharacter);
    return bytes.size();
}

// ICU keeps a character cut by the chunk's end in the converter itself.
qsizetype ChunkDecoder::decodeCodePage(QByteArrayView bytes, bool last, QString& text)
{
    if (!converter_) {
        text = QString::fromLatin1(bytes);
        return bytes.size();
    }
    text = decodeWithIcu(converter_.get(), bytes, last);
    return bytes.size();
}

} // namespace pennolux
