#include "batch/VersionReport.h"

#include <QDir>

#include "app/DataFiles.h"
#include "platform/system/LibraryVersions.h"
#include "production/writers/EncoderLibraryVersions.h"

namespace pennolux {

namespace {

QString foundOrNot(const QString& path)
{
    return path.isEmpty() ? QStringLiteral("not found") : QDir::toNativeSeparators(path);
}

} // namespace

QString batchVersionReport(const QString& version, const DataFiles& dataFiles)
{
    std::vector<LibraryVersion> platform = platformLibraryVersions();
    const std::vector<LibraryVersion> encoders = encoderLibraryVersions();
    // Qt first, then the encoders, then the rest of the platform's.
    std::vector<LibraryVersion> libraries(platform.begin(), platform.begin() + 1);
    libraries.insert(libraries.end(), encoders.begin(), encoders.end());
    libraries.insert(libraries.end(), platform.begin() + 1, platform.end());

    QString text = QStringLiteral("pennolux-batch %1\n").arg(version);
    text += QStringLiteral("Copyright (c) 2026 Zantoph, MIT licence: %1\n")
                .arg(foundOrNot(dataFiles.findFile(QStringLiteral("license.txt"))));
    text += QStringLiteral("Language files: %1\n")
                .arg(foundOrNot(dataFiles.findFolder(QStringLiteral("Languages"))));
    text += QStringLiteral("Runs with:\n");
    for (const LibraryVersion& library : libraries)
        text += QStringLiteral("  %1 %2\n").arg(library.name, library.version);
    return text;
}

} // namespace pennolux
