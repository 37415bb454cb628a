#pragma once

#include <QString>

namespace pennolux {

class IniDocument;

// "FileNames" in section "Settings": the pattern both pages' START names
// their files by (Settings › File Names...), as typed; empty or absent for
// the default.
QString readFileNamesKey(const IniDocument& settings);
void writeFileNamesKey(IniDocument& settings, const QString& pattern);

} // namespace pennolux
