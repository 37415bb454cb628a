#pragma once

#include <QString>
#include <QStringList>

namespace pennolux {

// The answer cut at CR LF, CR or LF; a break at the very end adds no empty
// line, and an empty answer has none.
QStringList answerLines(const QString& answer);

// The value of a line that is exactly "<tag>value</tag>" (the tag name in
// lower case, compared case-sensitively); empty for any other line.
QString TaggedValue(const QString& line, const QString& tagName);

} // namespace pennolux
