#pragma once

#include <QFont>

namespace pennolux {

// Makes the families "Tahoma" and "MS Sans Serif" available to Qt: when
// fontconfig does not know one, registers the metric-compatible faces
// Debian's fonts-wine installs. Returns false when no Tahoma can be had (Qt
// then substitutes a similar font).
bool ensureDesignFontAvailable();

// Tahoma at the given size in points.
QFont designFont(int pointSize = 8);

} // namespace pennolux
