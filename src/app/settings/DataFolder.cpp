#include "DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

namespace pennolux {

namespace {

QString withoutTrailingSeparators(QString folder)
{
    while (folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace

bool IsFolderWritable(const QString& folder)
{
    QString probe = folder;
    if (!probe.endsWith(u'/'))
        probe += u'/';
    probe += QStringLiteral("chk.tmp");
    const QByteArray nativePath = QFile::encodeName(probe);
    // O_EXCL: a "chk.tmp" someone left behind must make the probe fail, never be reused.
    const int fd = ::open(nativePath.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(nativePath.constData());
    return true;
}

QString perUserDataFolder(const QString& roamingBase, const QString& company, const QString& product)
{
    return withoutTrailingSeparators(roamingBase) + u'/' + company + u'/' + product + u'/';
}

bool isInstalledProgram(const QString& executableFolder)
{
    // The same relative path DataFiles looks in for the installed data files:
    // a package owns bin/, and the program must leave it as installed.
    return QFileInfo(QDir::cleanPath(executableFolder + u'/' + QStringLiteral(PENNOLUX_DATA_FROM_BINDIR))).isDir();
}

QString chooseAppDataFolder(const QString& executableFolder, const QString& roamingBase,
                            const QString& company, const QString& product)
{
    const QString folder = withoutTrailingSeparators(executableFolder);
    if (!isInstalledProgram(folder) && IsFolderWritable(folder))
        return folder + u'/';

    const QString base = withoutTrailingSeparators(roamingBase);
    // One level at a time; an existing level makes mkdir fail, which is fine.
    QDir().mkdir(base + u'/' + company);
    QDir().mkdir(base + u'/' + company + u'/' + product);
    return perUserDataFolder(base, company, product);
}

} // namespace pennolux
