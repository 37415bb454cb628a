#pragma once

#include <QByteArray>
#include <QString>

namespace pennolux {

class DocumentImport;

// Line breaks of any kind (CR LF, LF, CR) as "\n".
QString normaliseLineBreaks(const QString& text);

// Strict UTF-8 (a UTF-8 BOM skipped); *ok is false for bytes that are not valid UTF-8.
QString decodeStrictUtf8(const QByteArray& bytes, bool* ok);
// A BOM of UTF-8, UTF-16 LE or BE selects that encoding and is skipped;
// without one the bytes are decoded in legacyCodePage ("windows-1252").
QString decodeWithDetection(const QByteArray& bytes, const QByteArray& legacyCodePage);

// What the open button puts into the list for a file: a .doc/.docx through the
// document reader when one can read it, every other file through the text
// route. Line breaks come back as "\n". Throws AppError on failure; the caller
// keeps the list unchanged then.
QString loadTextList(const QString& path, const DocumentImport& documents, const QByteArray& legacyCodePage);

// The list's lines joined by CR LF, UTF-8 without BOM, no final line break;
// an existing file is replaced whole or not at all. Throws AppError.
void saveTextList(const QString& path, const QString& listText);

} // namespace pennolux
