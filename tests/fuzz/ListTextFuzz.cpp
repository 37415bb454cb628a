// A list file's bytes as both runs read them: decoded whole and chunk by
// chunk (which must agree), then split into lines whole and piece by piece
// (which must agree too).
#include "FuzzSupport.h"
#include "platform/text/LineSplitter.h"
#include "platform/text/TextLines.h"
#include "production/textlist/ListEncoding.h"
#include "production/textlist/ListLines.h"

using namespace pennolux;

namespace {

QString decodedInChunks(ListEncoding encoding, const QByteArray& body, qsizetype chunk)
{
    ChunkDecoder decoder(encoding, "windows-1252");
    QString joined;
    QString piece;
    QByteArray rest;
    qsizetype at = 0;
    for (;;) {
        const QByteArray input = rest + body.mid(at, chunk);
        at += chunk;
        const bool last = at >= body.size();
        const qsizetype used = decoder.decode(input, last, piece);
        joined += piece;
        rest = input.mid(used);
        if (last)
            return joined;
    }
}

QStringList splitInPieces(const QString& text, qsizetype piece)
{
    LineSplitter splitter;
    QStringList lines;
    for (qsizetype at = 0;; at += piece) {
        const bool atEnd = at + piece >= text.size();
        splitter.feed(QStringView(text).mid(std::min(at, text.size()), piece), atEnd);
        while (const auto line = splitter.nextLine())
            lines << line->toString();
        if (atEnd)
            return lines;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    if (size == 0)
        return 0;
    const qsizetype chunk = 1 + data[0] % 7;
    const QByteArray bytes = fuzz::bytesOf(data + 1, size - 1);
    const QByteArrayView head = QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), 2 * kLongestBom));
    for (const EncodingRoute route : {strictRoute(head), detectedRoute(head)}) {
        const QByteArray body = bytes.mid(route.skippedBytes);
        QString whole;
        ChunkDecoder(route.encoding, "windows-1252").decode(body, true, whole);
        fuzz::require(decodedInChunks(route.encoding, body, chunk) == whole);

        const QStringList lines = splitLines(whole);
        fuzz::require(splitInPieces(whole, chunk) == lines);
        const ListTextLineSource source(whole);
        fuzz::require(source.lineCount() == lines.size());
        for (int index = 0; index < source.lineCount(); ++index)
            fuzz::require(source.line(index) == lines[index]);
    }
    return 0;
}
