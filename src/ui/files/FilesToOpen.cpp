#include "FilesToOpen.h"

#include <QFileInfo>

#include "editor/file/TemplateFile.h"

namespace pennolux {

DesktopFileKind desktopFileKind(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == kTemplateSuffix)
        return DesktopFileKind::Template;
    // Tab- and comma-separated lists are the merge fields' own files.
    if (suffix == u"txt" || suffix == u"tsv" || suffix == u"csv" || suffix == u"docx" || suffix == u"doc" ||
        suffix == u"odt")
        return DesktopFileKind::List;
    return DesktopFileKind::Other;
}

FilesToOpen sortFilesToOpen(const QStringList& paths)
{
    FilesToOpen files;
    for (const QString& path : paths) {
        switch (desktopFileKind(path)) {
        case DesktopFileKind::List:
            (files.list.isEmpty() ? files.list : files.notOpened.emplace_back()) = path;
            break;
        case DesktopFileKind::Template:
            (files.templateFile.isEmpty() ? files.templateFile : files.notOpened.emplace_back()) = path;
            break;
        case DesktopFileKind::Other:
            files.notOpenable << path;
            break;
        }
    }
    return files;
}

QString notOpenableMessage(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths)
        names << QStringLiteral("\"%1\"").arg(QFileInfo(path).fileName());
    return QStringLiteral("Cannot open %1: Pennolux opens lists (.txt, .tsv, .csv, .docx, .doc, .odt) and templates (.pnxt). "
                          "A background picture is dropped on the Advanced page's canvas.")
        .arg(names.join(QStringLiteral(", ")));
}

} // namespace pennolux
