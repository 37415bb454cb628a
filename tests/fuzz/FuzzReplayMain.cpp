// Without libFuzzer a target is a program that runs every file it is given,
// and every file of every folder it is given: CTest replays the seed corpus
// and every past finding this way on any compiler.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <cstdio>

#include "FuzzSupport.h"

int main(int argc, char** argv)
{
    pennolux::fuzz::ensureApplication();
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(path).isDir()) {
            QDirIterator entries(path, QDir::Files, QDirIterator::Subdirectories);
            while (entries.hasNext())
                files << entries.next();
        } else {
            files << path;
        }
    }
    files.sort();
    if (files.isEmpty()) {
        std::fprintf(stderr, "no input files\n");
        return 2;
    }
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 2;
        }
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
    }
    std::printf("ran %lld inputs\n", static_cast<long long>(files.size()));
    return 0;
}
