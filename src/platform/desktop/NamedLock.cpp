#include "NamedLock.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pennolux {

namespace {

QString lockFolder()
{
    const QString runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeFolder.isEmpty() && QDir(runtimeFolder).exists())
        return runtimeFolder;
    return QDir::tempPath();
}

} // namespace

NamedLock::NamedLock(const QString& name)
{
    // The lock only announces the program; whether it could be taken does not
    // matter to anyone, so failures leave the descriptor unset and are dropped.
    const QByteArray path = QFile::encodeName(lockFolder() + "/" + name + ".lock");
    descriptor_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor_ >= 0)
        (void)::flock(descriptor_, LOCK_SH | LOCK_NB);
}

NamedLock::~NamedLock()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

} // namespace pennolux
