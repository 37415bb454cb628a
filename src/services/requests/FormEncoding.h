#pragma once

#include <QByteArray>
#include <QString>

namespace pennolux {

// Web-form encoding of the text's UTF-8 bytes: letters, digits and "*-._"
// stay, a space becomes "+", every other byte "%XX" (upper-case hex).
QByteArray formEncode(const QString& text);

} // namespace pennolux
