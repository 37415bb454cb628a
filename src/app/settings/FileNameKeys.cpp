#include "FileNameKeys.h"

#include "IniDocument.h"

namespace pennolux {

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("FileNames");

} // namespace

QString readFileNamesKey(const IniDocument& settings)
{
    return settings.readString(kSection, kKey);
}

void writeFileNamesKey(IniDocument& settings, const QString& pattern)
{
    settings.writeString(kSection, kKey, pattern);
}

} // namespace pennolux
