#pragma once

#include <QString>
#include <QStringList>

namespace pennolux {

// What a file given to the window (on the command line, dropped on it, or
// from Open Recent) is, by its extension.
enum class DesktopFileKind {
    List,      // .txt, .tsv, .csv, .docx, .doc, .odt: replaces the text list
    Template,  // .pnxt: opens on the Advanced page
    Other,
};
DesktopFileKind desktopFileKind(const QString& path);

// The window opens one list and one template at a time: of several files
// the first list and the first template are taken, in the order given.
struct FilesToOpen {
    QString list;
    QString templateFile;
    QStringList notOpened;       // lists and templates after the first
    QStringList notOpenable;     // neither list nor template
};
FilesToOpen sortFilesToOpen(const QStringList& paths);

// The error for files that are neither: names them and says what opens.
QString notOpenableMessage(const QStringList& paths);

} // namespace pennolux
