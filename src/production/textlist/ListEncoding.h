#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <memory>

#include <unicode/ucnv.h>

namespace pennolux {

// How a list file's bytes become its text, settled from its first bytes and
// then applied chunk by chunk, so that a list is never held whole.

inline constexpr qsizetype kLongestBom = 3;

enum class ListEncoding { StrictUtf8, Utf8, Utf16LE, Utf16BE, CodePage };

// How the file is decoded and how many leading bytes (byte-order marks) no
// text comes from.
struct EncodingRoute {
    ListEncoding encoding = ListEncoding::StrictUtf8;
    qint64 skippedBytes = 0;
};

// The first try: strict UTF-8, a UTF-8 BOM skipped. head: the file's first
// 2 * kLongestBom bytes, or all of them.
EncodingRoute strictRoute(QByteArrayView head);

// The open button's fall-back after a failed strict reading: the UTF-8,
// UTF-16 LE or UTF-16 BE its BOM names, else the legacy code page.
EncodingRoute detectedRoute(QByteArrayView head);

struct IcuConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using IcuConverter = std::unique_ptr<UConverter, IcuConverterCloser>;

// Turns a file's bytes into text chunk by chunk, so that the pieces joined
// are exactly the text of decoding the whole file at once.
class ChunkDecoder {
public:
    // legacyCodePage ("windows-1252") for ListEncoding::CodePage; a name ICU
    // does not know reads as windows-1252, and without that as Latin-1.
    ChunkDecoder(ListEncoding encoding, const QByteArray& legacyCodePage);

    // Replaces text with the decoding of bytes and returns how many of them
    // were used; the rest begin a sequence that the next chunk completes and
    // must come first in the next call. last: no bytes follow.
    qsizetype decode(QByteArrayView bytes, bool last, QString& text);

    // For strict UTF-8: whether every byte so far was valid.
    bool valid() const { return !qtDecoder_.hasError(); }

private:
    qsizetype decodeWithQt(QByteArrayView bytes, QString& text);
    qsizetype decodeUtf16(QByteArrayView bytes, bool last, QString& text);
    qsizetype decodeCodePage(QByteArrayView bytes, bool last, QString& text);

    ListEncoding encoding_;
    QStringDecoder qtDecoder_;
    IcuConverter converter_;
    qint64 utf16BytesSeen_ = 0;
};

} // namespace pennolux
