#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

#include "production/textlist/LineSource.h"

namespace pennolux {

class DocumentImport;

// The list a file holds, as both the window and the batch tool read it: a
// .doc/.docx/.odt through the document reader when one can read it (its text comes
// whole, bounded by the reader); every other file through the text route,
// streamed (strict UTF-8, a UTF-8 BOM skipped; otherwise a UTF-8, UTF-16 LE
// or UTF-16 BE BOM; else legacyCodePage such as "windows-1252"); a pipe or a
// device, which can be read only once, copied aside first. Throws AppError.
std::unique_ptr<LineSource> openTextList(const QString& path, const DocumentImport& documents,
                                         const QByteArray& legacyCodePage);

// What the open button puts into the list: the file's lines joined by "\n".
// Throws AppError; the caller keeps the list unchanged then.
QString loadTextList(const QString& path, const DocumentImport& documents, const QByteArray& legacyCodePage);

// The list's lines joined by CR LF, UTF-8 without BOM, no final line break
// added; an existing file is replaced whole or not at all. Throws AppError.
void saveTextList(const QString& path, const QString& listText);

} // namespace pennolux
