#include "AnswerDecoding.h"

#include <QList>
#include <memory>
#include <unicode/ucnv.h>
#include <vector>
#include <zlib.h>

#include "PostServiceRequest.h"

namespace pennolux {

QByteArray inflateGzip(const QByteArray& compressed, qsizetype limit)
{
    z_stream stream{};
    // 16 + the largest window: a gzip wrapper, not a bare zlib one.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        throw ServicePostError(QStringLiteral("Cannot inflate the answer"));
    const std::unique_ptr<z_stream, int (*)(z_stream*)> cleanup(&stream, inflateEnd);

    QByteArray inflated;
    char chunk[16 * 1024];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            throw ServicePostError(QStringLiteral("The answer's gzip data are damaged"));
        const qsizetype produced = qsizetype(sizeof chunk - stream.avail_out);
        if (inflated.size() + produced > limit)
            throw ServicePostError(QStringLiteral("The answer is larger than %1 bytes").arg(limit));
        inflated.append(chunk, produced);
        if (status == Z_OK && produced == 0 && stream.avail_in == 0)
            throw ServicePostError(QStringLiteral("The answer's gzip data end too early"));
    }
    return inflated;
}

QByteArray charsetOf(const QByteArray& contentType)
{
    for (const QByteArray& parameter : contentType.split(';').mid(1)) {
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0 || parameter.left(equals).trimmed().toLower() != "charset")
            continue;
        QByteArray value = parameter.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.mid(1, value.size() - 2);
        return value.trimmed().toLower();
    }
    return {};
}

QString decodeAnswer(const QByteArray& body, const QByteArray& charset)
{
    const bool utf8 = charset.isEmpty() || charset == "utf-8" || charset == "utf8";
    if (!utf8) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(charset.constData(), &status);
        if (U_SUCCESS(status)) {
            const std::unique_ptr<UConverter, void (*)(UConverter*)> cleanup(converter, ucnv_close);
            std::vector<UChar> text(std::size_t(body.size()) * 2 + 1);
            const int32_t length = ucnv_toUChars(converter, text.data(), int32_t(text.size()), body.constData(),
                                                 int32_t(body.size()), &status);
            if (U_SUCCESS(status))
                return QString(reinterpret_cast<const QChar*>(text.data()), length);
        }
    }
    // An unknown charset leaves UTF-8 as the best guess: the service writes it.
    const QByteArray bom = "\xEF\xBB\xBF";
    return QString::fromUtf8(body.startsWith(bom) ? body.mid(bom.size()) : body);
}

} // namespace pennolux
