#pragma once

#include <QString>

namespace pennolux {

// Text from outside (a line of a list, a family name from a template) as a
// message shows it. Messages reach terminals and logs, where a line's escape
// sequences would recolour or rewrite the screen and a line separator would
// forge a message line of its own, so what a terminal would act on or hide
// is written as a C-style escape:
//   tab \t, line feed \n, carriage return \r,
//   other C0 controls, DEL and C1 controls \xHH (ESC is \x1B),
//   line and paragraph separators, bidirectional formatting controls and
//   unpaired surrogates \uHHHH.
// A backslash is doubled, so a quote is never ambiguous: a line holding the
// four characters \x1B shows as \\x1B, one holding ESC as \x1B. The text
// stored in files and the manifest is never escaped.
QString escapedForMessage(const QString& text);

// The text's first `characters` user-perceived characters (grapheme clusters:
// an emoji, a letter with its accents) escaped, and "…" when that is not all
// of it. Never cuts a character in two.
QString quotedStartForMessage(const QString& text, int characters);

} // namespace pennolux
