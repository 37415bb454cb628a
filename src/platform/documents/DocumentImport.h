#pragma once

#include <QString>
#include <QtGlobal>

#include <chrono>

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
    std::chrono::milliseconds antiwordTimeout{10'000};
    qint64 maxAntiwordOutputBytes = qint64(16) * 1024 * 1024;
    // Looked up on PATH unless it holds a slash.
    QString antiwordProgram = QStringLiteral("antiword");
};

// .docx and .odt read natively (each is a zip of XML); .doc through antiword
// in a child process, when antiword is installed.
class DocumentReaders final : public DocumentImport {
public:
    explicit DocumentReaders(DocumentReaderLimits limits = {});
    bool WordInstalled(const QString& extension) const override;
    QString GetWordText(const QString& path) const override;

private:
    QString antiwordExecutable() const;

    DocumentReaderLimits limits_;
};

} // namespace pennolux
