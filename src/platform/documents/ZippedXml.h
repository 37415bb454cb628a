#pragma once

#include "platform/AppError.h"

#include <QString>
#include <QtGlobal>

#include <string>
#include <string_view>

namespace pennolux {

// A word-processor format that is a zip of XML parts: how messages call it and
// which part holds the body text.
struct ZippedXmlFormat {
    const char* bodyPart;     // "word/document.xml"
    QString name;             // "Word document"
    QString nameWithArticle;  // "a Word document"
};

// Receives expat's events for the body part. Names come as
// "namespace-uri|local-name", attributes as expat's name/value pairs, text
// in UTF-8 and in pieces. What a handler throws ends the reading and reaches
// the caller of readZippedXmlPart.
class XmlPartHandler {
public:
    virtual ~XmlPartHandler() = default;
    virtual void startElement(std::string_view name, const char* const* attributes) = 0;
    virtual void endElement(std::string_view name) = 0;
    virtual void characters(std::string_view text) = 0;
};

// Streams the body part of the zip at path through handler. Throws AppError
// for a broken zip, a missing or malformed part, a DTD, or a part that
// unpacks to more than maxPartBytes (the declared size is not trusted).
void readZippedXmlPart(const QString& path, const ZippedXmlFormat& format, qint64 maxPartBytes, XmlPartHandler& handler);

// "Cannot read "<path>" as <format>: <detail>"
AppError zippedDocumentError(const QString& path, const ZippedXmlFormat& format, const QString& detail);
// The error for a document whose text comes to more than cap bytes.
AppError zippedDocumentTooLarge(const QString& path, const ZippedXmlFormat& format, qint64 cap);

// The value of the attribute called name ("namespace-uri|local-name"), or
// nullptr when the element has none.
const char* xmlAttribute(const char* const* attributes, std::string_view name);

// The collected UTF-8 text as a string. A U+FEFF at the start is the
// document's text: only a text file's first bytes are a byte-order mark.
QString documentText(const std::string& utf8);

} // namespace pennolux
