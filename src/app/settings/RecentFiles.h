#pragma once

#include <QString>
#include <QStringList>

namespace pennolux {

class IniDocument;

// File › Open Recent: the lists and templates last opened, most recent
// first, kept in the settings file's section "Recent Files" as File1 to
// File10 (a slot no longer used is left empty).
constexpr int kRecentFilesLimit = 10;

// The paths stored, in order, without empty slots or repeats.
QStringList readRecentFiles(const IniDocument& settings);
void writeRecentFiles(IniDocument& settings, const QStringList& paths);

// files with path put first, its earlier place removed, cut to the limit.
QStringList withRecentFile(QStringList files, const QString& path);

} // namespace pennolux
