#pragma once

#include <QString>
#include <cstdint>

namespace pennolux {

// The version information an executable carries in its ".pennolux.version"
// ELF section, field by field; a field the block lacks stays empty.
struct TEXEVersionData {
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString LegalCopyright;
    QString LegalTrademarks;
    QString OriginalFileName;
    QString ProductName;
    QString ProductVersion;
    QString Comments;
    QString PrivateBuild;
    QString SpecialBuild;
};

// Throws AppError with a clear text when the file cannot be read or carries
// no version block or no translation table.
TEXEVersionData GetEXEVersionData(const QString& path);

// Most significant half of the fixed file version (major << 16 | minor);
// all bits set when it cannot be read.
std::uint32_t readFileVersionMs(const QString& path);

// "major.minor" in unsigned decimal: 0x00020001 -> "2.1".
QString formatAppVersion(std::uint32_t fileVersionMS);

} // namespace pennolux
