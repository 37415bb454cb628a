#pragma once

#include "platform/documents/DocText.h"

#include <QString>
#include <QtGlobal>

namespace pennolux {

// Reads the body text of word-processor documents.
class DocumentImport {
public:
    virtual ~DocumentImport() = default;
    // Whether a reader exists for this extension (".doc", ".docx", ".odt", lower case).
    virtual bool WordInstalled(const QString& extension) const = 0;
    // Paragraphs separated by line breaks; throws an AppError whose
    // what() is a UTF-8 text for the user when the document cannot be read,
    // is broken, too large, or the reader hangs.
    virtual QString GetWordText(const QString& path) const = 0;
};

// Bounds that keep a hostile or broken document from taking the machine.
struct DocumentReaderLimits {
    // Unpacked size of a .docx's word/document.xml or an .odt's content.xml,
    // and of the text read from it.
    qint64 maxDocumentXmlBytes = qint64(64) * 1024 * 1024;
    // A .doc's file size and body text.
    DocReaderLimits doc;
};

// .docx and .odt read as zips of XML, .doc as a compound file: all three
// natively, so each is always readable.
class DocumentReaders final : public DocumentImport {
public:
    explicit DocumentReaders(DocumentReaderLimits limits = {});
    bool WordInstalled(const QString& extension) const override;
    QString GetWordText(const QString& path) const override;

private:
    DocumentReaderLimits limits_;
};

} // namespace pennolux
