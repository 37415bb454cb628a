#pragma once

#include <QString>

namespace pennolux {

// Reads the body text of word-processor documents.
class DocumentImport {
public:
    virtual ~DocumentImport() = default;
    // Whether a reader exists for this extension (".doc", ".docx", lower case).
    virtual bool WordInstalled(const QString& extension) const = 0;
    // Paragraphs separated by line breaks; throws AppError when the document
    // cannot be read, is broken, too large, or the reader hangs.
    virtual QString GetWordText(const QString& path) const = 0;
};

} // namespace pennolux
