#pragma once

#include <QString>

namespace pennolux {

// The reversible form in which the download address is stored: each UTF-8
// byte XORed with a running 16-bit key, as upper-case hexadecimal.
QString ScrambleText(const QString& text);

// The text that was scrambled; empty when the input is not hexadecimal (an
// odd last character is ignored).
QString UnscrambleText(const QString& text);

} // namespace pennolux
