// An answer of the web service: its gzip body, its charset and its tagged lines.
#include "FuzzSupport.h"
#include "services/requests/AnswerDecoding.h"
#include "services/requests/AnswerLines.h"

using namespace pennolux;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    const QByteArray bytes = fuzz::bytesOf(data, size);
    try {
        fuzz::require(inflateGzip(bytes, 1 << 20).size() <= (1 << 20));
    } catch (const std::exception&) {
    }
    const qsizetype split = bytes.indexOf('\n');
    const QByteArray contentType = split < 0 ? QByteArray() : bytes.left(split);
    const QString answer = decodeAnswer(bytes.mid(split + 1), charsetOf(contentType));
    for (const QString& line : answerLines(answer)) {
        TaggedValue(line, QStringLiteral("version"));
        TaggedValue(line, QStringLiteral("url"));
    }
    return 0;
}
