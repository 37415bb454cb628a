#pragma once

#include <QString>

namespace pennolux {

// Host (and optional port) of the maker's web service, fixed by the build.
QString ServiceBaseAddress();

// "http://" + service + "/help/" + product in lower case, spaces as "-", + "/".
QString onlineHelpAddress(const QString& serviceBase, const QString& productName);

} // namespace pennolux
