#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include "platform/AppError.h"
#include "platform/documents/DocumentImport.h"

namespace pennolux::testing {

// A document reader that answers with a set text, or fails, and records
// which files it was asked for.
class FakeDocumentImport final : public DocumentImport {
public:
    bool WordInstalled(const QString& extension) const override
    {
        askedExtensions << extension;
        return installedFor.contains(extension);
    }
    QString GetWordText(const QString& path) const override
    {
        readPaths << path;
        if (!failure.isEmpty())
            throw AppError(failure);
        return text;
    }

    QSet<QString> installedFor = {".doc", ".docx", ".odt"};
    QString text;
    QString failure;
    mutable QStringList askedExtensions;
    mutable QStringList readPaths;
};

} // namespace pennolux::testing
