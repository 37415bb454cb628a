#include "production/textlist/StreamedListSource.h"

#include "production/textlist/IcuConverter.h"
#include "platform/AppError.h"
#include "platform/text/TextLines.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>
#include <utility>

#include <unicode/ucnv.h>

namespace pennolux {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeBom[] = "\xFF\xFE";
constexpr char kUtf16BeBom[] = "\xFE\xFF";
constexpr qsizetype kLongestBom = 3;

enum class Encoding { StrictUtf8, Utf8, Utf16LE, Utf16BE, CodePage };

// How the file is decoded and how many leading bytes (byte-order marks) no
// text comes from.
struct Route {
    Encoding encoding = Encoding::StrictUtf8;
    qint64 skippedBytes = 0;
};

Route strictRoute(QByteArrayView head)
{
    return {Encoding::StrictUtf8, head.startsWith(kUtf8Bom) ? qint64(3) : qint64(0)};
}

// The open button's fall-back after a failed strict reading. Its UTF-8 branch
// decodes with QString::fromUtf8, which drops one more BOM right behind the
// detected one: so does this.
Route detectedRoute(QByteArrayView head, QByteArrayView afterUtf8Bom)
{
    if (head.startsWith(kUtf8Bom))
        return {Encoding::Utf8, afterUtf8Bom.startsWith(kUtf8Bom) ? qint64(6) : qint64(3)};
    if (head.startsWith(kUtf16LeBom))
        return {Encoding::Utf16LE, 2};
    if (head.startsWith(kUtf16BeBom))
        return {Encoding::Utf16BE, 2};
    return {Encoding::CodePage, 0};
}

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


QStringConverter::Encoding qtEncodingOf(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case Encoding::Utf16BE:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

// Turns a file's bytes into text chunk by chunk, so that the pieces joined
// are exactly the text of decoding the whole file at once.
class ChunkDecoder {
public:
    ChunkDecoder(Encoding encoding, const QByteArray& legacyCodePage)
        : encoding_(encoding),
          // Byte-order marks are skipped by the route, so a mark inside the
          // text (also at a chunk's start) stays text. Stateless: a sequence
          // cut off by the file's end is decoded as the whole-file decoders
          // do; within the file, chunks are cut between sequences.
          qtDecoder_(qtEncodingOf(encoding),
                     QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom)
    {
        if (encoding_ == Encoding::CodePage)
            converter_ = openLegacyCodePage(legacyCodePage);
    }

    // Replaces text with the decoding of bytes and returns how many of them
    // were used; the rest begin a sequence that the next chunk completes and
    // must come first in the next call. last: no bytes follow.
    qsizetype decode(QByteArrayView bytes, bool last, QString& text)
    {
        switch (encoding_) {
        case Encoding::StrictUtf8:
        case Encoding::Utf8:
            return decodeWithQt(bytes.first(bytes.size() - (last ? 0 : incompleteUtf8Tail(bytes))), text);
        case Encoding::Utf16LE:
        case Encoding::Utf16BE:
            return decodeUtf16(bytes, last, text);
        case Encoding::CodePage:
            return decodeCodePage(bytes, last, text);
        }
        return 0;
    }

    // For strict UTF-8: whether every byte so far was valid.
    bool valid() const { return !qtDecoder_.hasError(); }

private:
    qsizetype decodeWithQt(QByteArrayView bytes, QString& text)
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
    qsizetype decodeUtf16(QByteArrayView bytes, bool last, QString& text)
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
    qsizetype decodeCodePage(QByteArrayView bytes, bool last, QString& text)
    {
        if (!converter_) {
            text = QString::fromLatin1(bytes);
            return bytes.size();
        }
        text = decodeWithIcu(converter_.get(), bytes, last);
        return bytes.size();
    }

    Encoding encoding_;
    QStringDecoder qtDecoder_;
    IcuConverter converter_;
    qint64 utf16BytesSeen_ = 0;
};

AppError readFailure(const QString& prefix, const QIODevice& device)
{
    return AppError(prefix + device.errorString());
}

QByteArray readAt(QFile& file, qint64 position, qsizetype size, const QString& failurePrefix)
{
    if (!file.seek(position))
        throw readFailure(failurePrefix, file);
    QByteArray bytes(size, Qt::Uninitialized);
    const qint64 read = file.read(bytes.data(), size);
    if (read < 0)
        throw readFailure(failurePrefix, file);
    bytes.truncate(read);
    return bytes;
}

// The whole device copied, chunk by chunk, into a temporary file that has no
// name in the file system, so nothing is left behind whatever ends the run.
std::unique_ptr<QFile> spoolToTemporaryFile(QIODevice& input, qsizetype chunkBytes, const QString& failurePrefix)
{
    auto spool = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/pennolux-list-XXXXXX"));
    if (!spool->open())
        throw readFailure(failurePrefix, *spool);
    QByteArray chunk(chunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 read = input.read(chunk.data(), chunkBytes);
        if (read < 0)
            throw readFailure(failurePrefix, input);
        if (read == 0)
            break;
        if (spool->write(chunk.constData(), read) != read)
            throw readFailure(failurePrefix, *spool);
    }
    if (!spool->flush())
        throw readFailure(failurePrefix, *spool);
    return spool;
}

} // namespace

// One reading of the file from its first text byte: the chunk in hand, its
// text, and where the next line begins.
struct StreamedListSource::Reading {
    Reading(QFile& source, const Route& readRoute, const QByteArray& legacyCodePage, qsizetype chunkSize,
            const QString& readFailurePrefix)
        : route(readRoute), file(source), decoder(route.encoding, legacyCodePage), chunkBytes(chunkSize),
          failurePrefix(readFailurePrefix), bytes(chunkSize + kLongestBom, Qt::Uninitialized)
    {
        if (!file.seek(route.skippedBytes))
            throw readFailure(failurePrefix, file);
    }

    // The next chunk's text into `text`; false once the file's end has been
    // decoded.
    bool readChunk()
    {
        if (finished)
            return false;
        const qint64 read = file.read(bytes.data() + heldBytes, chunkBytes);
        if (read < 0)
            throw readFailure(failurePrefix, file);
        finished = read == 0;
        const qsizetype available = heldBytes + qsizetype(read);
        const qsizetype used = decoder.decode(QByteArrayView(bytes.constData(), available), finished, text);
        heldBytes = available - used;
        std::memmove(bytes.data(), bytes.constData() + used, std::size_t(heldBytes));
        at = 0;
        return true;
    }

    const Route route;
    QFile& file;
    ChunkDecoder decoder;
    const qsizetype chunkBytes;
    const QString failurePrefix;
    QByteArray bytes;
    qsizetype heldBytes = 0;  // undecoded bytes at the front of `bytes`
    bool finished = false;

    QString text;
    qsizetype at = 0;
    // The start of a line that began in an earlier chunk.
    QString partialLine;
    // The last chunk ended on CR: an LF opening the next belongs to it.
    bool crPending = false;
    int nextIndex = 0;
};

StreamedListSource::StreamedListSource(const QString& path, const QByteArray& legacyCodePage, qsizetype chunkBytes)
    : file_(std::make_unique<QFile>(path)),
      readFailurePrefix_(fileOpenError(path, QString()).message()),
      legacyCodePage_(legacyCodePage), chunkBytes_(chunkBytes)
{
    // Unbuffered: chunks go straight into our own buffer.
    if (!file_->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw readFailure(readFailurePrefix_, *file_);
    countLines();
}

StreamedListSource::StreamedListSource(QIODevice& standardInput, const QByteArray& legacyCodePage,
                                       qsizetype chunkBytes)
    : readFailurePrefix_(QStringLiteral("Cannot read standard input. ")), legacyCodePage_(legacyCodePage),
      chunkBytes_(chunkBytes)
{
    file_ = spoolToTemporaryFile(standardInput, chunkBytes_, readFailurePrefix_);
    countLines();
}

StreamedListSource::~StreamedListSource() = default;

// CR LF, LF and CR each end a line; after the last break, a line only when
// text follows. Counted on decoded text: in UTF-16, a 0x0A byte is no break.
void StreamedListSource::countLines()
{
    const QByteArray head = readAt(*file_, 0, 2 * kLongestBom, readFailurePrefix_);
    const QByteArrayView headView(head);
    Route route = strictRoute(headView);
    for (;;) {
        Reading reading(*file_, route, legacyCodePage_, chunkBytes_, readFailurePrefix_);
        qint64 breaks = 0;
        bool textAfterLastBreak = false;
        bool afterCr = false;
        while (reading.readChunk()) {
            if (route.encoding == Encoding::StrictUtf8 && !reading.decoder.valid())
                break;
            const auto* const characters = reinterpret_cast<const char16_t*>(reading.text.constData());
            for (qsizetype at = 0; at < reading.text.size(); ++at) {
                const char16_t character = characters[at];
                if (character == u'\n') {
                    breaks += afterCr ? 0 : 1;
                    afterCr = false;
                    textAfterLastBreak = false;
                } else if (character == u'\r') {
                    ++breaks;
                    afterCr = true;
                    textAfterLastBreak = false;
                } else {
                    afterCr = false;
                    textAfterLastBreak = true;
                }
            }
        }
        if (route.encoding == Encoding::StrictUtf8 && !reading.decoder.valid()) {
            route = detectedRoute(headView, headView.sliced(std::min<qsizetype>(3, headView.size())));
            continue;
        }
        const qint64 lines = breaks + (textAfterLastBreak ? 1 : 0);
        if (lines > INT_MAX)
            throw AppError(readFailurePrefix_ + QStringLiteral("It holds more lines than a run can number."));
        lineCount_ = int(lines);
        endsWithLineBreak_ = breaks > 0 && !textAfterLastBreak;
        reading_ = std::make_unique<Reading>(*file_, route, legacyCodePage_, chunkBytes_, readFailurePrefix_);
        return;
    }
}

void StreamedListSource::rewind() const
{
    reading_ = std::make_unique<Reading>(*file_, reading_->route, legacyCodePage_, chunkBytes_, readFailurePrefix_);
    lastIndex_ = -1;
    lastLine_.clear();
}

QString StreamedListSource::nextLine() const
{
    Reading& reading = *reading_;
    ++reading.nextIndex;
    for (;;) {
        const QString& text = reading.text;
        const auto* const characters = reinterpret_cast<const char16_t*>(text.constData());
        const qsizetype size = text.size();
        if (reading.crPending && reading.at < size) {
            if (characters[reading.at] == u'\n')
                ++reading.at;
            reading.crPending = false;
        }
        qsizetype lineBreak = reading.at;
        while (lineBreak < size && !isLineBreak(QChar(characters[lineBreak])))
            ++lineBreak;
        if (lineBreak < size) {
            // A copy, never a share of `text`, which the next chunk overwrites.
            QString line = std::exchange(reading.partialLine, QString());
            line.append(QStringView(text).sliced(reading.at, lineBreak - reading.at));
            if (characters[lineBreak] == u'\r') {
                if (lineBreak + 1 == size)
                    reading.crPending = true;
                else if (characters[lineBreak + 1] == u'\n')
                    ++lineBreak;
            }
            reading.at = lineBreak + 1;
            return line;
        }
        reading.partialLine += QStringView(text).sliced(reading.at);
        reading.at = size;
        if (!reading.readChunk())
            return std::exchange(reading.partialLine, QString());
    }
}

QString StreamedListSource::line(int index) const
{
    if (index < 0 || index >= lineCount_)
        throw std::out_of_range("StreamedListSource::line: no such line");
    if (index == lastIndex_)
        return lastLine_;
    if (index < lastIndex_)
        rewind();
    while (reading_->nextIndex < index)
        nextLine();
    lastLine_ = nextLine();
    lastIndex_ = index;
    return lastLine_;
}

} // namespace pennolux
