#include "RecentFiles.h"

#include "IniDocument.h"

namespace pennolux {

namespace {

const QString kSection = QStringLiteral("Recent Files");

QString slotKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

QStringList readRecentFiles(const IniDocument& settings)
{
    QStringList paths;
    for (int index = 0; index < kRecentFilesLimit; ++index) {
        const QString path = settings.readString(kSection, slotKey(index));
        if (!path.isEmpty() && !paths.contains(path))
            paths << path;
    }
    return paths;
}

void writeRecentFiles(IniDocument& settings, const QStringList& paths)
{
    for (int index = 0; index < kRecentFilesLimit; ++index)
        settings.writeString(kSection, slotKey(index), index < paths.size() ? paths[index] : QString());
}

QStringList withRecentFile(QStringList files, const QString& path)
{
    // A settings file keeps no line break, and a name with one is rare enough
    // not to be remembered rather than to make every later save fail.
    if (path.contains(u'\n') || path.contains(u'\r'))
        return files;
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFilesLimit)
        files.removeLast();
    return files;
}

} // namespace pennolux
