#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace pennolux {

struct DocReaderLimits {
    // A .doc is read whole, so its size is bounded before any byte is read.
    qint64 maxFileBytes = qint64(256) * 1024 * 1024;
    // The number of characters of body text.
    qint64 maxTextCharacters = qint64(64) * 1024 * 1024;
};

// The body text of a Word 97-2003 .doc, giving the lines readDocxText gives
// for the same document saved as .docx: one line per paragraph and per
// paragraph of a table cell (a row's end mark gives none), line breaks and
// tabs kept, page and column breaks none, fields by their results; footnotes,
// headers, comments and text boxes, which the file keeps after the body text,
// are left out. Throws AppError for a file that is no such document, an
// encrypted one, a damaged one (every offset and sector chain is checked) or
// one past the limits.
QString readDocText(const QString& path, const DocReaderLimits& limits);

// The same from the file's bytes; a message names the document as path.
QString docBodyText(const QByteArray& file, const QString& path, const DocReaderLimits& limits);

} // namespace pennolux
