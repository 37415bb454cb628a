#pragma once

#include <QString>
#include <vector>

namespace pennolux {

struct LibraryVersion {
    QString name;
    QString version;
};

// The libraries of this floor as loaded at run time: Qt, libcurl, ICU,
// libzip and Expat.
std::vector<LibraryVersion> platformLibraryVersions();

} // namespace pennolux
