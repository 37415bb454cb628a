#include "platform/documents/DocumentImport.h"

#include "platform/AppError.h"

#include "platform/documents/AntiwordText.h"
#include "platform/documents/DocxText.h"
#include "platform/documents/OdtText.h"
#include "platform/text/FileNames.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <stdexcept>
#include <utility>

namespace pennolux {

DocumentReaders::DocumentReaders(DocumentReaderLimits limits) : limits_(std::move(limits)) {}

bool DocumentReaders::WordInstalled(const QString& extension) const
{
    if (extension == QLatin1String(".docx") || extension == QLatin1String(".odt"))
        return true;
    if (extension == QLatin1String(".doc"))
        return !antiwordExecutable().isEmpty();
    return false;
}

QString DocumentReaders::GetWordText(const QString& path) const
{
    const QString extension = lowerCaseExtension(path);
    if (extension == QLatin1String(".docx"))
        return readDocxText(path, limits_.maxDocumentXmlBytes);
    if (extension == QLatin1String(".odt"))
        return readOdtText(path, limits_.maxDocumentXmlBytes);
    if (extension == QLatin1String(".doc")) {
        const QString antiword = antiwordExecutable();
        if (antiword.isEmpty())
            throw AppError("antiword, which reads .doc files, is not installed");
        return readAntiwordText(path, {antiword, limits_.antiwordTimeout, limits_.maxAntiwordOutputBytes});
    }
    const QString message = QStringLiteral("No reader for \"") + path + QStringLiteral("\": only .doc, .docx and .odt documents are read");
    throw AppError(message);
}

QString DocumentReaders::antiwordExecutable() const
{
    if (limits_.antiwordProgram.contains(u'/')) {
        const QFileInfo program(limits_.antiwordProgram);
        return program.isFile() && program.isExecutable() ? program.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(limits_.antiwordProgram);
}

} // namespace pennolux
