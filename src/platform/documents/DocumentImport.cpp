#include "platform/documents/DocumentImport.h"

#include "platform/AppError.h"

#include "platform/documents/DocText.h"
#include "platform/documents/DocxText.h"
#include "platform/documents/OdtText.h"
#include "platform/text/FileNames.h"

#include <utility>

namespace pennolux {

DocumentReaders::DocumentReaders(DocumentReaderLimits limits) : limits_(std::move(limits)) {}

bool DocumentReaders::WordInstalled(const QString& extension) const
{
    return extension == QLatin1String(".docx") || extension == QLatin1String(".odt") ||
           extension == QLatin1String(".doc");
}

QString DocumentReaders::GetWordText(const QString& path) const
{
    const QString extension = lowerCaseExtension(path);
    if (extension == QLatin1String(".docx"))
        return readDocxText(path, limits_.maxDocumentXmlBytes);
    if (extension == QLatin1String(".odt"))
        return readOdtText(path, limits_.maxDocumentXmlBytes);
    if (extension == QLatin1String(".doc"))
        return readDocText(path, limits_.doc);
    const QString message = QStringLiteral("No reader for \"") + path + QStringLiteral("\": only .doc, .docx and .odt documents are read");
    throw AppError(message);
}

} // namespace pennolux
