#pragma once

#include <QString>
#include <QtGlobal>

namespace pennolux {

// The body text of an OpenDocument text (.odt), read as readDocxText reads a
// .docx: one line per paragraph or heading (also in lists and table cells),
// line breaks, tabs and spaces kept, white space collapsed as the format
// wants; notes, comments, frames and drawings (text boxes among them) and
// tracked deletions left out. Throws AppError for a broken zip, a missing or
// malformed content.xml, a DTD, or a content.xml or text of more than
// maxContentXmlBytes.
QString readOdtText(const QString& path, qint64 maxContentXmlBytes);

} // namespace pennolux
