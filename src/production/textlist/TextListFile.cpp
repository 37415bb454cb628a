#include "production/textlist/TextListFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/AppError.h"
#include "platform/documents/DocumentImport.h"
#include "platform/text/FileNames.h"
#include "platform/text/TextLines.h"
#include "production/textlist/ListLines.h"
#include "production/textlist/StreamedListSource.h"

namespace pennolux {

namespace {

bool isReadableDocument(const QString& path, const DocumentImport& documents)
{
    const QString extension = lowerCaseExtension(path);
    return (extension == QLatin1String(".doc") || extension == QLatin1String(".docx") ||
            extension == QLatin1String(".odt")) &&
           documents.WordInstalled(extension);
}

bool isStream(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

std::unique_ptr<StreamedListSource> openTextFile(const QString& path, const QByteArray& legacyCodePage)
{
    if (isStream(path)) {
        QFile stream(path);
        if (!stream.open(QIODevice::ReadOnly))
            throw fileOpenError(path, stream.errorString());
        return std::make_unique<StreamedListSource>(stream, legacyCodePage);
    }
    return std::make_unique<StreamedListSource>(path, legacyCodePage);
}

} // namespace

std::unique_ptr<LineSource> openTextList(const QString& path, const DocumentImport& documents,
                                         const QByteArray& legacyCodePage)
{
    if (isReadableDocument(path, documents))
        return std::make_unique<ListTextLineSource>(documents.GetWordText(path));
    return openTextFile(path, legacyCodePage);
}

QString loadTextList(const QString& path, const DocumentImport& documents, const QByteArray& legacyCodePage)
{
    if (isReadableDocument(path, documents))
        return withLineEnds(documents.GetWordText(path), u"\n");
    // A final line break stays, so that saving the list again gives the file back.
    const std::unique_ptr<StreamedListSource> lines = openTextFile(path, legacyCodePage);
    QString text;
    for (int index = 0; index < lines->lineCount(); ++index) {
        if (index > 0)
            text += u'\n';
        text += lines->line(index);
    }
    if (lines->endsWithLineBreak())
        text += u'\n';
    return text;
}

void saveTextList(const QString& path, const QString& listText)
{
    const QByteArray bytes = withLineEnds(listText, u"\r\n").toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw fileCreateError(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw fileCreateError(path, file.errorString());
}

} // namespace pennolux
