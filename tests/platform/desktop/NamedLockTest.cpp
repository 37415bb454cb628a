#include <QByteArray>
#include <QFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "IsolatedHomeTest.h"
#include "platform/desktop/NamedLock.h"

namespace pennolux {
namespace {

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QString& value) : name_(name), saved_(qgetenv(name))
    {
        qputenv(name, value.toUtf8());
    }
    ~ScopedEnvironment()
    {
        if (saved_.isNull())
            qunsetenv(name_);
        else
            qputenv(name_, saved_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    QByteArray saved_;
};

// Whether an exclusive lock on the file could be had now; flock locks of other
// open descriptions conflict even inside one process.
bool exclusivelyLockable(const QString& path)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool locked = ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
    ::close(descriptor);
    return locked;
}

using NamedLockTest = testing::IsolatedHomeTest;

TEST_F(NamedLockTest, TwoHoldersShareTheLockUntilBothAreGone)
{
    const ScopedEnvironment runtime("XDG_RUNTIME_DIR", scratch());
    const QString lockFile = scratch() + "/ZANTOPH_Pennolux.lock";
    {
        const NamedLock first("ZANTOPH_Pennolux");
        {
            const NamedLock second("ZANTOPH_Pennolux");
            ASSERT_TRUE(QFile::exists(lockFile));
            EXPECT_FALSE(exclusivelyLockable(lockFile));
        }
        EXPECT_FALSE(exclusivelyLockable(lockFile)) << "the first still holds it";
    }
    EXPECT_TRUE(exclusivelyLockable(lockFile));
}

TEST_F(NamedLockTest, WithoutARuntimeFolderTheTempFolderHoldsTheLock)
{
    const ScopedEnvironment runtime("XDG_RUNTIME_DIR", scratch() + "/missing");
    const ScopedEnvironment temp("TMPDIR", scratch());
    const NamedLock lock("ZANTOPH_Pennolux");
    EXPECT_FALSE(exclusivelyLockable(scratch() + "/ZANTOPH_Pennolux.lock"));
}

} // namespace
} // namespace pennolux
