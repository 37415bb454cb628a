#pragma once

#include <QString>
#include <QtGlobal>

namespace pennolux {

// The body text of a .docx: one line per paragraph, tabs and line breaks kept
// (page and column breaks are none), deleted text, field codes, text boxes
// and the fall-back copies of alternate content left out. Throws AppError for a broken
// zip, a missing or malformed document part, a DTD, or a document part that
// unpacks to more than maxDocumentXmlBytes.
QString readDocxText(const QString& path, qint64 maxDocumentXmlBytes);

} // namespace pennolux
