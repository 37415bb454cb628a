#include "production/textlist/TextListFile.h"

#include "production/textlist/IcuConverter.h"
#include "platform/AppError.h"
#include "platform/DocumentImport.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>

#include <unicode/ucnv.h>

namespace pennolux {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeBom[] = "\xFF\xFE";
constexpr char kUtf16BeBom[] = "\xFE\xFF";


QString decodeUtf16(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QString decodeCodePage(QByteArrayView bytes, const QByteArray& codePage)
{
    const IcuConverter converter = openLegacyCodePage(codePage);
    return converter ? decodeWithIcu(converter.get(), bytes, true) : QString::fromLatin1(bytes);
}

QByteArray readWholeFile(const QString& path, QString* failure)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = file.errorString();
        return {};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *failure = file.errorString();
        return {};
    }
    return bytes;
}

// In place and segment by segment: a list of a million CR LF lines must not
// be copied once per line break, which QString::replace does here.
void normaliseLineBreaksInPlace(QString& text)
{
    qsizetype read = text.indexOf(u'\r');
    if (read < 0)
        return;
    char16_t* const data = reinterpret_cast<char16_t*>(text.data());
    const qsizetype size = text.size();
    const QStringView view(data, size);
    qsizetype write = read;
    while (read < size) {
        data[write++] = u'\n';
        ++read;
        if (read < size && data[read] == u'\n')
            ++read;
        qsizetype next = view.indexOf(u'\r', read);
        if (next < 0)
            next = size;
        std::memmove(data + write, data + read, sizeof(char16_t) * static_cast<std::size_t>(next - read));
        write += next - read;
        read = next;
    }
    text.truncate(write);
}

// "\n" becomes CR LF in the encoded bytes, with one allocation.
QByteArray withCrLfLineBreaks(const QByteArray& lfText)
{
    const auto lineBreaks = static_cast<qsizetype>(std::count(lfText.cbegin(), lfText.cend(), '\n'));
    if (lineBreaks == 0)
        return lfText;
    QByteArray crLfText(lfText.size() + lineBreaks, Qt::Uninitialized);
    char* out = crLfText.data();
    const char* in = lfText.constData();
    const char* const end = in + lfText.size();
    while (in < end) {
        const char* lineEnd = static_cast<const char*>(std::memchr(in, '\n', static_cast<std::size_t>(end - in)));
        if (lineEnd == nullptr)
            lineEnd = end;
        out = std::copy(in, lineEnd, out);
        if (lineEnd == end)
            break;
        *out++ = '\r';
        *out++ = '\n';
        in = lineEnd + 1;
    }
    return crLfText;
}

QString lowerCaseExtension(const QString& path)
{
    const QString name = QFileInfo(path).fileName().toLower();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

bool isWordDocumentExtension(const QString& extension)
{
    return extension == QLatin1String(".doc") || extension == QLatin1String(".docx");
}

QString readDocument(const QString& path, const DocumentImport& documents)
{
    QString text = documents.GetWordText(path);
    normaliseLineBreaksInPlace(text);
    return text;
}

QString readTextFile(const QString& path, const QByteArray& legacyCodePage)
{
    QString firstFailure;
    QByteArray bytes = readWholeFile(path, &firstFailure);
    QString text;
    if (firstFailure.isEmpty()) {
        bool isUtf8 = false;
        text = decodeStrictUtf8(bytes, &isUtf8);
        if (isUtf8) {
            normaliseLineBreaksInPlace(text);
            return text;
        }
    } else {
        // The first failure stays silent; only the second reading speaks.
        QString secondFailure;
        bytes = readWholeFile(path, &secondFailure);
        if (!secondFailure.isEmpty())
            throw fileOpenError(path, secondFailure);
    }
    text = decodeWithDetection(bytes, legacyCodePage);
    normaliseLineBreaksInPlace(text);
    return text;
}

} // namespace

QString normaliseLineBreaks(const QString& text)
{
    QString normalised = text;
    normaliseLineBreaksInPlace(normalised);
    return normalised;
}

QString decodeStrictUtf8(const QByteArray& bytes, bool* ok)
{
    // Stateless: a sequence cut off at the end is an error too, not a wait
    // for more bytes. The decoder skips a leading BOM by default.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    *ok = !decoder.hasError();
    if (!*ok)
        return {};
    return text;
}

QString decodeWithDetection(const QByteArray& bytes, const QByteArray& legacyCodePage)
{
    const QByteArrayView view(bytes);
    if (view.startsWith(kUtf8Bom))
        return QString::fromUtf8(view.sliced(3));
    if (view.startsWith(kUtf16LeBom))
        return decodeUtf16(view.sliced(2), QStringConverter::Utf16LE);
    if (view.startsWith(kUtf16BeBom))
        return decodeUtf16(view.sliced(2), QStringConverter::Utf16BE);
    return decodeCodePage(view, legacyCodePage);
}

QString loadTextList(const QString& path, const DocumentImport& documents, const QByteArray& legacyCodePage)
{
    const QString extension = lowerCaseExtension(path);
    if (isWordDocumentExtension(extension) && documents.WordInstalled(extension))
        return readDocument(path, documents);
    return readTextFile(path, legacyCodePage);
}

void saveTextList(const QString& path, const QString& listText)
{
    const QByteArray bytes = withCrLfLineBreaks(normaliseLineBreaks(listText).toUtf8());

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw fileCreateError(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw fileCreateError(path, file.errorString());
}

} // namespace pennolux
