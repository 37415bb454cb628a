#pragma once

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

// What every fuzz target shares: the one application object Qt's fonts and
// pictures need, and a scratch file for the readers that take a path.
namespace pennolux::fuzz {

inline void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "pennolux-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The input written to a file of the given name in a folder of this process,
// rewritten on every call.
inline QString scratchFile(const QByteArray& bytes, const QString& name)
{
    static QTemporaryDir folder;
    const QString path = folder.path() + u'/' + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

// A property every input must keep; a broken one is a finding as a crash is.
inline void require(bool holds)
{
    if (!holds)
        __builtin_trap();
}

} // namespace pennolux::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
