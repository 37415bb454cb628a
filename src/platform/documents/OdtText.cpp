#include "platform/documents/OdtText.h"

#include "platform/documents/ZippedXml.h"

#include <charconv>
#include <string>
#include <string_view>

namespace pennolux {

namespace {

const ZippedXmlFormat kOpenDocumentFormat{"content.xml", QStringLiteral("OpenDocument text"),
                                          QStringLiteral("an OpenDocument text")};

const std::string kOfficeNamespace = "urn:oasis:names:tc:opendocument:xmlns:office:1.0|";
const std::string kTextNamespace = "urn:oasis:names:tc:opendocument:xmlns:text:1.0|";
const std::string kDrawingNamespace = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0|";
const std::string kThreeDNamespace = "urn:oasis:names:tc:opendocument:xmlns:dr3d:1.0|";

const std::string kBodyElement = kOfficeNamespace + "body";
const std::string kTextBodyElement = kOfficeNamespace + "text";
const std::string kParagraphElement = kTextNamespace + "p";
const std::string kHeadingElement = kTextNamespace + "h";
const std::string kLineBreakElement = kTextNamespace + "line-break";
const std::string kTabElement = kTextNamespace + "tab";
const std::string kSpacesElement = kTextNamespace + "s";
const std::string kSpaceCountAttribute = kTextNamespace + "c";
// Footnotes and endnotes, comments, tracked changes (the deleted text they
// keep), list labels and the templates of generated indexes: none of it is
// body text. Frames, text boxes and shapes are left out by their namespace.
const std::string kSkippedElements[] = {
    kTextNamespace + "note",
    kTextNamespace + "tracked-changes",
    kTextNamespace + "number",
    kTextNamespace + "table-of-content-source",
    kTextNamespace + "illustration-index-source",
    kTextNamespace + "table-index-source",
    kTextNamespace + "object-index-source",
    kTextNamespace + "user-index-source",
    kTextNamespace + "alphabetical-index-source",
    kTextNamespace + "bibliography-source",
    kOfficeNamespace + "annotation",
};

bool startsWith(std::string_view name, const std::string& prefix)
{
    return name.substr(0, prefix.size()) == prefix;
}

bool isSkipped(std::string_view name)
{
    if (startsWith(name, kDrawingNamespace) || startsWith(name, kThreeDNamespace))
        return true;
    for (const std::string& skipped : kSkippedElements) {
        if (name == skipped)
            return true;
    }
    return false;
}

bool isWhiteSpace(char character)
{
    return character == ' ' || character == '\t' || character == '\n' || character == '\r';
}

// text:s stands for one space unless its count says more; a count that
// is no number counts as one.
qint64 spaceCount(const char* const* attributes)
{
    const char* count = xmlAttribute(attributes, kSpaceCountAttribute);
    if (count == nullptr)
        return 1;
    const std::string_view digits(count);
    qint64 value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < 1)
        return 1;
    return value;
}

class BodyTextCollector final : public XmlPartHandler {
public:
    BodyTextCollector(const QString& path, qint64 cap) : path_(path), cap_(cap) {}

    QString text() const { return documentText(text_); }

    void startElement(std::string_view name, const char* const* attributes) override
    {
        if (skipDepth_ > 0 || isSkipped(name)) {
            ++skipDepth_;
            return;
        }
        if (name == kBodyElement) {
            ++bodyDepth_;
        } else if (bodyDepth_ > 0 && name == kTextBodyElement) {
            ++textBodyDepth_;
        } else if (textBodyDepth_ == 0) {
            return;
        } else if (name == kParagraphElement || name == kHeadingElement) {
            if (paragraphs_++ > 0)
                text_ += '\n';
            ++paragraphDepth_;
            // The white space a paragraph starts with is markup, not text.
            afterSpace_ = true;
        } else if (paragraphDepth_ > 0 && name == kLineBreakElement) {
            append(1, '\n');
        } else if (paragraphDepth_ > 0 && name == kTabElement) {
            append(1, '\t');
        } else if (paragraphDepth_ > 0 && name == kSpacesElement) {
            append(spaceCount(attributes), ' ');
        }
    }

    void endElement(std::string_view name) override
    {
        if (skipDepth_ > 0) {
            --skipDepth_;
            return;
        }
        if (name == kBodyElement)
            --bodyDepth_;
        else if (bodyDepth_ > 0 && name == kTextBodyElement)
            --textBodyDepth_;
        else if (textBodyDepth_ > 0 && (name == kParagraphElement || name == kHeadingElement))
            --paragraphDepth_;
    }

    // Within a paragraph a run of white space characters is one space; the
    // spaces, tabs and breaks a writer means to keep are elements.
    void characters(std::string_view text) override
    {
        if (skipDepth_ > 0 || textBodyDepth_ == 0 || paragraphDepth_ == 0)
            return;
        for (const char character : text) {
            if (!isWhiteSpace(character)) {
                text_ += character;
                afterSpace_ = false;
            } else if (!afterSpace_) {
                text_ += ' ';
                afterSpace_ = true;
            }
        }
    }

private:
    // Spelled-out spaces are the only text that grows past the part's
    // own size, so they are held to the same cap.
    void append(qint64 count, char character)
    {
        if (count > cap_ - static_cast<qint64>(text_.size()))
            throw zippedDocumentTooLarge(path_, kOpenDocumentFormat, cap_);
        text_.append(static_cast<std::size_t>(count), character);
        afterSpace_ = false;
    }

    QString path_;
    qint64 cap_;
    std::string text_;
    int skipDepth_ = 0;
    int bodyDepth_ = 0;
    int textBodyDepth_ = 0;
    int paragraphDepth_ = 0;
    qint64 paragraphs_ = 0;
    bool afterSpace_ = true;
};

} // namespace

QString readOdtText(const QString& path, qint64 maxContentXmlBytes)
{
    BodyTextCollector collector(path, maxContentXmlBytes);
    readZippedXmlPart(path, kOpenDocumentFormat, maxContentXmlBytes, collector);
    return collector.text();
}

} // namespace pennolux
