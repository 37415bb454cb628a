#pragma once

#include <QString>

namespace pennolux {

// The file name's extension in lower case, from its last "." on (".docx"),
// or "" when the name has no dot; a dot in a folder name does not count.
QString lowerCaseExtension(const QString& path);

} // namespace pennolux
