#include "platform/documents/ZippedXml.h"

#include "platform/text/ByteSizeText.h"

#include <QFile>
#include <QStringDecoder>

#include <expat.h>
#include <zip.h>

#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <vector>

namespace pennolux {

namespace {

constexpr qint64 kReadChunkBytes = 64 * 1024;

// Expat hands names over as "namespace-uri|local-name".
constexpr char kNamespaceSeparator = '|';

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

QString partFileName(const ZippedXmlFormat& format)
{
    const char* slash = std::strrchr(format.bodyPart, '/');
    return QLatin1String(slash != nullptr ? slash + 1 : format.bodyPart);
}

Archive openArchive(const QString& path, const ZippedXmlFormat& format)
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
        throw AppError(u'"' + path + QStringLiteral("\" is not a readable ") + format.name +
                       QStringLiteral(" (damaged archive)"));
    }
    return archive;
}

Entry openBodyPart(zip_t* archive, const QString& path, const ZippedXmlFormat& format, qint64 cap)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, format.bodyPart, 0, &stat) != 0)
        throw zippedDocumentError(path, format, QStringLiteral("it has no ") + QLatin1String(format.bodyPart));
    if ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > static_cast<zip_uint64_t>(cap))
        throw zippedDocumentTooLarge(path, format, cap);
    Entry entry(zip_fopen(archive, format.bodyPart, 0));
    if (!entry)
        throw zippedDocumentError(path, format, QString::fromUtf8(zip_strerror(archive)));
    return entry;
}

// Runs expat over the part and hands its events on. An exception from the
// handler must not unwind through expat's C frames: it is kept, the parser
// stopped, and the exception thrown again once expat has returned.
class PartParser {
public:
    PartParser(const QString& path, const ZippedXmlFormat& format, XmlPartHandler& handler)
        : path_(path), format_(format), handler_(handler), parser_(XML_ParserCreateNS(nullptr, kNamespaceSeparator))
    {
        if (!parser_)
            throw std::bad_alloc();
        XML_SetUserData(parser_.get(), this);
        XML_SetElementHandler(parser_.get(), &PartParser::onStart, &PartParser::onEnd);
        XML_SetCharacterDataHandler(parser_.get(), &PartParser::onCharacters);
        // A document part has no business declaring a DTD; refusing one
        // shuts out entity expansion attacks before any entity exists.
        XML_SetStartDoctypeDeclHandler(parser_.get(), &PartParser::onDoctype);
        XML_SetEntityDeclHandler(parser_.get(), &PartParser::onEntityDeclaration);
    }

    void feed(const char* bytes, int length, bool isFinal)
    {
        const XML_Status status = XML_Parse(parser_.get(), bytes, length, isFinal ? XML_TRUE : XML_FALSE);
        if (handlerFailure_)
            std::rethrow_exception(handlerFailure_);
        if (status == XML_STATUS_OK)
            return;
        if (refusedDtd_)
            throw zippedDocumentError(path_, format_,
                                      QStringLiteral("its ") + partFileName(format_) +
                                          QStringLiteral(" declares a DTD, which ") + format_.nameWithArticle +
                                          QStringLiteral(" never does"));
        const QString reason = QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser_.get())));
        const auto line = static_cast<qulonglong>(XML_GetCurrentLineNumber(parser_.get()));
        throw zippedDocumentError(path_, format_,
                                  reason + QStringLiteral(" at line ") + QString::number(line) +
                                      QStringLiteral(" of ") + QLatin1String(format_.bodyPart));
    }

private:
    static PartParser& of(void* userData) { return *static_cast<PartParser*>(userData); }

    template <typename Call>
    void guarded(Call call)
    {
        if (handlerFailure_)
            return;
        try {
            call();
        } catch (...) {
            handlerFailure_ = std::current_exception();
            XML_StopParser(parser_.get(), XML_FALSE);
        }
    }

    static void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** attributes)
    {
        PartParser& self = of(userData);
        self.guarded([&] { self.handler_.startElement(name, attributes); });
    }
    static void XMLCALL onEnd(void* userData, const XML_Char* name)
    {
        PartParser& self = of(userData);
        self.guarded([&] { self.handler_.endElement(name); });
    }
    static void XMLCALL onCharacters(void* userData, const XML_Char* text, int length)
    {
        PartParser& self = of(userData);
        self.guarded([&] { self.handler_.characters(std::string_view(text, static_cast<std::size_t>(length))); });
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

    void refuseDtd()
    {
        refusedDtd_ = true;
        XML_StopParser(parser_.get(), XML_FALSE);
    }

    QString path_;
    const ZippedXmlFormat& format_;
    XmlPartHandler& handler_;
    Parser parser_;
    std::exception_ptr handlerFailure_;
    bool refusedDtd_ = false;
};

} // namespace

AppError zippedDocumentError(const QString& path, const ZippedXmlFormat& format, const QString& detail)
{
    return AppError(QStringLiteral("Cannot read \"") + path + QStringLiteral("\" as ") + format.nameWithArticle +
                    QStringLiteral(": ") + detail);
}

AppError zippedDocumentTooLarge(const QString& path, const ZippedXmlFormat& format, qint64 cap)
{
    return zippedDocumentError(path, format, QStringLiteral("its text unpacks to more than ") + byteSizeText(cap));
}

void readZippedXmlPart(const QString& path, const ZippedXmlFormat& format, qint64 maxPartBytes, XmlPartHandler& handler)
{
    const Archive archive = openArchive(path, format);
    const Entry entry = openBodyPart(archive.get(), path, format, maxPartBytes);
    PartParser parser(path, format, handler);

    // The declared size may lie, so the cap also holds for what comes out.
    std::vector<char> chunk(kReadChunkBytes);
    qint64 unpacked = 0;
    for (;;) {
        const zip_int64_t length = zip_fread(entry.get(), chunk.data(), chunk.size());
        if (length < 0)
            throw zippedDocumentError(path, format, QString::fromUtf8(zip_file_strerror(entry.get())));
        if (length == 0)
            break;
        unpacked += length;
        if (unpacked > maxPartBytes)
            throw zippedDocumentTooLarge(path, format, maxPartBytes);
        parser.feed(chunk.data(), static_cast<int>(length), false);
    }
    parser.feed(nullptr, 0, true);
}

const char* xmlAttribute(const char* const* attributes, std::string_view name)
{
    for (const char* const* pair = attributes; pair != nullptr && pair[0] != nullptr; pair += 2) {
        if (name == pair[0])
            return pair[1];
    }
    return nullptr;
}

QString documentText(const std::string& utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(utf8.data(), qsizetype(utf8.size())));
}

} // namespace pennolux
