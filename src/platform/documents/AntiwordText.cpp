#include "platform/documents/AntiwordText.h"

#include "platform/AppError.h"
#include "platform/text/ByteSizeText.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <stdexcept>

namespace pennolux {

namespace {

// Every compound document (OLE2) file, Word 97-2003 included, starts so.
constexpr char kOle2Signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr qsizetype kOle2SignatureLength = sizeof kOle2Signature - 1;
// Enough of antiword's complaint to say what went wrong.
constexpr qsizetype kKeptErrorBytes = 4096;

AppError readError(const QString& message)
{
    return AppError(message);
}

QString quoted(const QString& path)
{
    return u'"' + path + u'"';
}

QString secondsText(std::chrono::milliseconds timeout)
{
    if (timeout.count() % 1000 == 0)
        return QString::number(timeout.count() / 1000) + QStringLiteral(" s");
    return QString::number(static_cast<double>(timeout.count()) / 1000.0, 'g', 3) + QStringLiteral(" s");
}

void requireOle2Signature(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileOpenError(path, file.errorString());
    if (file.read(kOle2SignatureLength) != QByteArrayView(kOle2Signature, kOle2SignatureLength))
        throw readError(QStringLiteral("Cannot read ") + quoted(path) +
                        QStringLiteral(" as a Word document: it is not a Word 97-2003 file (no OLE2 signature)"));
}

class AntiwordProcess {
public:
    AntiwordProcess(const QString& path, const AntiwordRun& run) : path_(path), run_(run) {}

    ~AntiwordProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(-1);
        }
    }

    AntiwordProcess(const AntiwordProcess&) = delete;
    AntiwordProcess& operator=(const AntiwordProcess&) = delete;

    QByteArray output()
    {
        start();
        const QDeadlineTimer deadline(run_.timeout);
        while (process_.state() != QProcess::NotRunning) {
            if (deadline.hasExpired())
                throw timedOut();
            const bool gotOutput = process_.waitForReadyRead(remainingMs(deadline));
            collect();
            // No output while still running: either the time is up or
            // antiword closed its output and only has to end.
            if (!gotOutput && process_.state() != QProcess::NotRunning) {
                process_.waitForFinished(remainingMs(deadline));
                if (process_.state() != QProcess::NotRunning)
                    throw timedOut();
            }
        }
        collect();
        requireCleanExit();
        return output_;
    }

private:
    void start()
    {
        // -w 0 keeps each paragraph on one line; the mapping file makes the
        // output UTF-8 whatever the locale. An absolute path cannot be taken
        // for an option.
        process_.setProgram(run_.program);
        process_.setArguments({QStringLiteral("-w"), QStringLiteral("0"), QStringLiteral("-m"),
                               QStringLiteral("UTF-8.txt"), QFileInfo(path_).absoluteFilePath()});
        process_.setStandardInputFile(QProcess::nullDevice());
        process_.start(QIODevice::ReadOnly);
        if (!process_.waitForStarted(-1))
            throw readError(QStringLiteral("antiword could not be started: ") + process_.errorString());
    }

    static int remainingMs(const QDeadlineTimer& deadline)
    {
        return static_cast<int>(qMax<qint64>(deadline.remainingTime(), 0));
    }

    void collect()
    {
        output_ += process_.readAllStandardOutput();
        errors_ += process_.readAllStandardError();
        errors_.truncate(kKeptErrorBytes);
        if (output_.size() > run_.maxOutputBytes)
            throw readError(QStringLiteral("antiword printed more than ") + byteSizeText(run_.maxOutputBytes) +
                            QStringLiteral(" of text for ") + quoted(path_) +
                            QStringLiteral("; a document that large is not read"));
    }

    AppError timedOut() const
    {
        return readError(QStringLiteral("antiword did not finish reading ") + quoted(path_) +
                         QStringLiteral(" within ") + secondsText(run_.timeout));
    }

    void requireCleanExit() const
    {
        if (process_.exitStatus() == QProcess::CrashExit)
            throw readError(QStringLiteral("antiword stopped unexpectedly while reading ") + quoted(path_));
        if (process_.exitCode() == 0)
            return;
        QString reason = QString::fromLocal8Bit(errors_).trimmed();
        if (reason.isEmpty())
            reason = QStringLiteral("exit code ") + QString::number(process_.exitCode());
        throw readError(quoted(path_) + QStringLiteral(" could not be read as a Word document: ") + reason);
    }

    QString path_;
    AntiwordRun run_;
    QProcess process_;
    QByteArray output_;
    QByteArray errors_;
};

bool isSurrogateHalf(const QByteArray& bytes, qsizetype at, unsigned char low, unsigned char high)
{
    if (at + 3 > bytes.size() || static_cast<unsigned char>(bytes.at(at)) != 0xED)
        return false;
    const auto second = static_cast<unsigned char>(bytes.at(at + 1));
    const auto third = static_cast<unsigned char>(bytes.at(at + 2));
    return second >= low && second <= high && (third & 0xC0) == 0x80;
}

char32_t surrogateValue(const QByteArray& bytes, qsizetype at)
{
    return ((static_cast<unsigned char>(bytes.at(at + 1)) & 0x0F) << 6) | (static_cast<unsigned char>(bytes.at(at + 2)) & 0x3F);
}

// antiword writes a character beyond the BMP as its two UTF-16 halves, each
// encoded on its own (CESU-8); a pair becomes the one character it stands
// for, and a lone half stays invalid for the decoder to replace.
QString decodeAntiwordUtf8(const QByteArray& bytes)
{
    QByteArray utf8;
    utf8.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        if (isSurrogateHalf(bytes, at, 0xA0, 0xAF) && isSurrogateHalf(bytes, at + 3, 0xB0, 0xBF)) {
            const char32_t codePoint = 0x10000 + ((surrogateValue(bytes, at) << 10) | surrogateValue(bytes, at + 3));
            utf8 += QString::fromUcs4(&codePoint, 1).toUtf8();
            at += 6;
        } else {
            utf8 += bytes.at(at++);
        }
    }
    return QString::fromUtf8(utf8);
}

// The empty lines before the first paragraph are antiword's picture of the
// space above it on the page, not paragraphs of the document.
void chopLeadingLineBreaks(QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && (text.at(start) == u'\n' || text.at(start) == u'\r'))
        ++start;
    text.remove(0, start);
}

void chopTrailingLineBreaks(QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && (text.at(end - 1) == u'\n' || text.at(end - 1) == u'\r'))
        --end;
    text.truncate(end);
}

} // namespace

QString readAntiwordText(const QString& path, const AntiwordRun& run)
{
    requireOle2Signature(path);
    AntiwordProcess antiword(path, run);
    QString text = decodeAntiwordUtf8(antiword.output());
    chopLeadingLineBreaks(text);
    // antiword ends the last paragraph with a line break; a .docx's
    // paragraphs come joined, and both should fill the list alike.
    chopTrailingLineBreaks(text);
    return text;
}

} // namespace pennolux
