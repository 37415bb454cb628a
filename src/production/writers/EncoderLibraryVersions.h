#pragma once

#include <vector>

#include "platform/system/LibraryVersions.h"

namespace pennolux {

// The encoders' libraries: zlib, libpng, libdeflate, libjpeg-turbo, giflib,
// libtiff and libwebp. libdeflate, libjpeg-turbo and giflib offer no run-time
// query, so theirs are the versions the program was built against (Debian rebuilds dependants
// when either changes its interface).
std::vector<LibraryVersion> encoderLibraryVersions();

} // namespace pennolux
