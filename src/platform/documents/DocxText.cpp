#include "platform/documents/DocxText.h"

#include "platform/AppError.h"
#include "platform/text/ByteSizeText.h"

#include <QFile>
#include <QStringDecoder>

#include <expat.h>
#include <zip.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pennolux {

namespace {

constexpr char kDocumentPart[] = "word/document.xml";
constexpr qint64 kReadChunkBytes = 64 * 1024;

// Expat hands names over as "namespace-uri|local-name".
constexpr char kNamespaceSeparator = '|';
const std::string kWordNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main|";
const std::string kCompatibilityNamespace = "http://schemas.openxmlformats.org/markup-compatibility/2006|";
const std::string kParagraphElement = kWordNamespace + "p";
const std::string kRunElement = kWordNamespace + "r";
const std::string kTextElement = kWordNamespace + "t";
const std::string kTabElement = kWordNamespace + "tab";
const std::string kBreakElement = kWordNamespace + "br";
const std::string kCarriageReturnElement = kWordNamespace + "cr";
// Deleted text, field codes, and the copy of alternate content kept for
// readers that cannot show the preferred choice: none of it is body text.
const std::string kSkippedElements[] = {
    kWordNamespace + "delText",
    kWordNamespace + "instrText",
    kWordNamespace + "delInstrText",
    kCompatibilityNamespace + "Fallback",
};

AppError documentError(const QString& path, const QString& detail)
{
    const QString message = QStringLiteral("Cannot read \"") + path + QStringLiteral("\" as a Word document: ") + detail;
    return AppError(message);
}

AppError tooLargeError(const QString& path, qint64 cap)
{
    return documentError(path, QStringLiteral("its text unpacks to more than ") + byteSizeText(cap));
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
struct ParserFreer {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;
using Parser = std::unique_ptr<XML_ParserStruct, ParserFreer>;

Archive openArchive(const QString& path)
{
    int errorCode = 0;
    Archive archive(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &errorCode));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, errorCode);
        const int systemError = zip_error_code_system(&error);
        const bool fileFailed = zip_error_system_type(&error) == ZIP_ET_SYS && systemError != 0;
        zip_error_fini(&error);
        // The file system's own failures name their reason; everything else
        // libzip says of an archive it cannot open ("Multi-disk zip archives
        // not supported", "File already exists") means a broken file.
        if (fileFailed)
            throw fileOpenError(path, QString::fromLocal8Bit(std::strerror(systemError)));
        throw AppError(u'"' + path + QStringLiteral("\" is not a readable Word document (damaged archive)"));
    }
    return archive;
}

// Collects the text while expat walks the document part.
class BodyTextCollector {
public:
    explicit BodyTextCollector(const QString& path) : path_(path), parser_(XML_ParserCreateNS(nullptr, kNamespaceSeparator))
    {
        if (!parser_)
            throw std::bad_alloc();
        XML_SetUserData(parser_.get(), this);
        XML_SetElementHandler(parser_.get(), &BodyTextCollector::onStart, &BodyTextCollector::onEnd);
        XML_SetCharacterDataHandler(parser_.get(), &BodyTextCollector::onCharacters);
        // A document part has no business declaring a DTD; refusing one
        // shuts out entity expansion attacks before any entity exists.
        XML_SetStartDoctypeDeclHandler(parser_.get(), &BodyTextCollector::onDoctype);
        XML_SetEntityDeclHandler(parser_.get(), &BodyTextCollector::onEntityDeclaration);
    }

    void feed(const char* bytes, int length, bool isFinal)
    {
        if (XML_Parse(parser_.get(), bytes, length, isFinal ? XML_TRUE : XML_FALSE) == XML_STATUS_OK)
            return;
        if (refusedDtd_)
            throw documentError(path_, QStringLiteral("its document.xml declares a DTD, which a Word document never does"));
        const QString reason = QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser_.get())));
        const auto line = static_cast<qulonglong>(XML_GetCurrentLineNumber(parser_.get()));
        throw documentError(path_, reason + QStringLiteral(" at line ") + QString::number(line) +
                                       QStringLiteral(" of ") + QLatin1String(kDocumentPart));
    }

    // A U+FEFF at the start is the document's text: only a text file's
    // first bytes are a byte-order mark.
    QString text() const
    {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(QByteArrayView(text_.data(), qsizetype(text_.size())));
    }

private:
    static BodyTextCollector& of(void* userData) { return *static_cast<BodyTextCollector*>(userData); }

    static void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** /*attributes*/)
    {
        of(userData).startElement(name);
    }
    static void XMLCALL onEnd(void* userData, const XML_Char* name) { of(userData).endElement(name); }
    static void XMLCALL onCharacters(void* userData, const XML_Char* text, int length)
    {
        of(userData).characters(text, length);
    }
    static void XMLCALL onDoctype(void* userData, const XML_Char*, const XML_Char*, const XML_Char*, int)
    {
        of(userData).refuseDtd();
    }
    static void XMLCALL onEntityDeclaration(void* userData, const XML_Char*, int, const XML_Char*, int,
                                            const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
    {
        of(userData).refuseDtd();
    }

    static bool isSkipped(std::string_view name)
    {
        for (const std::string& skipped : kSkippedElements) {
            if (name == skipped)
                return true;
        }
        return false;
    }

    void startElement(std::string_view name)
    {
        if (isSkipped(name)) {
            ++skipDepth_;
            return;
        }
        if (skipDepth_ > 0)
            return;
        if (name == kParagraphElement) {
            if (paragraphs_++ > 0)
                text_ += '\n';
        } else if (name == kRunElement) {
            ++runDepth_;
        } else if (name == kTextElement) {
            ++textDepth_;
        } else if (runDepth_ > 0 && name == kTabElement) {
            // Only inside a run: w:tab is also the name of a tab stop in
            // the paragraph properties.
            text_ += '\t';
        } else if (runDepth_ > 0 && (name == kBreakElement || name == kCarriageReturnElement)) {
            text_ += '\n';
        }
    }

    void endElement(std::string_view name)
    {
        if (isSkipped(name)) {
            --skipDepth_;
            return;
        }
        if (skipDepth_ > 0)
            return;
        if (name == kRunElement)
            --runDepth_;
        else if (name == kTextElement)
            --textDepth_;
    }

    void characters(const XML_Char* text, int length)
    {
        if (skipDepth_ == 0 && textDepth_ > 0)
            text_.append(text, static_cast<std::size_t>(length));
    }

    void refuseDtd()
    {
        refusedDtd_ = true;
        XML_StopParser(parser_.get(), XML_FALSE);
    }

    QString path_;
    Parser parser_;
    std::string text_;
    int skipDepth_ = 0;
    int runDepth_ = 0;
    int textDepth_ = 0;
    qint64 paragraphs_ = 0;
    bool refusedDtd_ = false;
};

Entry openDocumentPart(zip_t* archive, const QString& path, qint64 cap)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, kDocumentPart, 0, &stat) != 0)
        throw documentError(path, QStringLiteral("it has no ") + QLatin1String(kDocumentPart));
    if ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > static_cast<zip_uint64_t>(cap))
        throw tooLargeError(path, cap);
    Entry entry(zip_fopen(archive, kDocumentPart, 0));
    if (!entry)
        throw documentError(path, QString::fromUtf8(zip_strerror(archive)));
    return entry;
}

} // namespace

QString readDocxText(const QString& path, qint64 maxDocumentXmlBytes)
{
    const Archive archive = openArchive(path);
    const Entry entry = openDocumentPart(archive.get(), path, maxDocumentXmlBytes);
    BodyTextCollector collector(path);

    // The declared size may lie, so the cap also holds for what comes out.
    std::vector<char> chunk(kReadChunkBytes);
    qint64 unpacked = 0;
    for (;;) {
        const zip_int64_t length = zip_fread(entry.get(), chunk.data(), chunk.size());
        if (length < 0)
            throw documentError(path, QString::fromUtf8(zip_file_strerror(entry.get())));
        if (length == 0)
            break;
        unpacked += length;
        if (unpacked > maxDocumentXmlBytes)
            throw tooLargeError(path, maxDocumentXmlBytes);
        collector.feed(chunk.data(), static_cast<int>(length), false);
    }
    collector.feed(nullptr, 0, true);
    return collector.text();
}

} // namespace pennolux
