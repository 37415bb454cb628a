#include "DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <utility>

namespace pennolux {

DataFiles::DataFiles(QStringList folders) : folders_(std::move(folders)) {}

DataFiles DataFiles::besideExecutable(const QString& executableFolder)
{
    // The relative path from bin/ to share/pennolux is fixed by the build, so
    // the tree can be installed under any prefix or unpacked anywhere.
    const QString installed =
        QDir::cleanPath(executableFolder + u'/' + QStringLiteral(PENNOLUX_DATA_FROM_BINDIR));
    return DataFiles({QDir::cleanPath(executableFolder), installed});
}

DataFiles DataFiles::forRunningProgram()
{
    return besideExecutable(QCoreApplication::applicationDirPath());
}

QString DataFiles::findFile(const QString& name) const
{
    for (const QString& folder : folders_) {
        const QString path = folder + u'/' + name;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString DataFiles::findFolder(const QString& name) const
{
    for (const QString& folder : folders_) {
        const QString path = folder + u'/' + name;
        if (QFileInfo(path).isDir())
            return path;
    }
    return {};
}

} // namespace pennolux
