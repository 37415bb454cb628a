#include "production/textlist/StreamedListSource.h"

#include "production/textlist/ListEncoding.h"
#include "platform/AppError.h"
#include "platform/text/LineSplitter.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <climits>
#include <cstring>
#include <stdexcept>

namespace pennolux {

namespace {

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
// text, and the lines found in it.
struct StreamedListSource::Reading {
    Reading(QFile& source, const EncodingRoute& readRoute, const QByteArray& legacyCodePage, qsizetype chunkSize,
            const QString& readFailurePrefix)
        : route(readRoute), file(source), decoder(route.encoding, legacyCodePage), chunkBytes(chunkSize),
          failurePrefix(readFailurePrefix), bytes(chunkSize + kLongestBom, Qt::Uninitialized)
    {
        if (!file.seek(route.skippedBytes))
            throw readFailure(failurePrefix, file);
    }

    // The next chunk's text into `text`, fed to the splitter; false once the
    // file's end has been decoded.
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
        splitter.feed(text, finished);
        return true;
    }

    const EncodingRoute route;
    QFile& file;
    ChunkDecoder decoder;
    const qsizetype chunkBytes;
    const QString failurePrefix;
    QByteArray bytes;
    qsizetype heldBytes = 0;  // undecoded bytes at the front of `bytes`
    bool finished = false;

    // The splitter has taken what it keeps of the previous chunk's text
    // before the next one overwrites it.
    QString text;
    LineSplitter splitter;
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

// Counted on decoded text: in UTF-16, a 0x0A byte is no break.
void StreamedListSource::countLines()
{
    const QByteArray head = readAt(*file_, 0, 2 * kLongestBom, readFailurePrefix_);
    EncodingRoute route = strictRoute(head);
    for (;;) {
        Reading reading(*file_, route, legacyCodePage_, chunkBytes_, readFailurePrefix_);
        qint64 lines = 0;
        while (reading.readChunk()) {
            if (route.encoding == ListEncoding::StrictUtf8 && !reading.decoder.valid())
                break;
            while (reading.splitter.nextLine())
                ++lines;
        }
        if (route.encoding == ListEncoding::StrictUtf8 && !reading.decoder.valid()) {
            route = detectedRoute(head);
            continue;
        }
        if (lines > INT_MAX)
            throw AppError(readFailurePrefix_ + QStringLiteral("It holds more lines than a run can number."));
        lineCount_ = int(lines);
        endsWithLineBreak_ = reading.splitter.endsWithLineBreak();
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
        // A copy, never a share of the chunk's text, which the next chunk
        // overwrites.
        if (const std::optional<QStringView> line = reading.splitter.nextLine())
            return line->toString();
        if (!reading.readChunk())
            return QString();
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
