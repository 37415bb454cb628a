#include "platform/documents/DocxText.h"

#include "platform/documents/ZippedXml.h"

#include <string>
#include <string_view>

namespace pennolux {

namespace {

const ZippedXmlFormat kWordFormat{"word/document.xml", QStringLiteral("Word document"),
                                  QStringLiteral("a Word document")};

const std::string kWordNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main|";
const std::string kCompatibilityNamespace = "http://schemas.openxmlformats.org/markup-compatibility/2006|";
const std::string kParagraphElement = kWordNamespace + "p";
const std::string kRunElement = kWordNamespace + "r";
const std::string kTextElement = kWordNamespace + "t";
const std::string kTabElement = kWordNamespace + "tab";
const std::string kBreakElement = kWordNamespace + "br";
const std::string kBreakTypeAttribute = kWordNamespace + "type";
const std::string kCarriageReturnElement = kWordNamespace + "cr";
const std::string kSectionElement = kWordNamespace + "sectPr";
// Deleted text, field codes, the copy of alternate content kept for readers
// that cannot show the preferred choice, and text boxes (whose paragraphs
// float beside the body text, as headers, footers and footnotes do): none of
// it is body text.
const std::string kSkippedElements[] = {
    kWordNamespace + "delText",
    kWordNamespace + "instrText",
    kWordNamespace + "delInstrText",
    kWordNamespace + "txbxContent",
    kCompatibilityNamespace + "Fallback",
};

bool isSkipped(std::string_view name)
{
    for (const std::string& skipped : kSkippedElements) {
        if (name == skipped)
            return true;
    }
    return false;
}

// A page or column break moves the text on without ending its line; only a
// plain break, or one that wraps text around a picture, does.
bool endsLine(const char* const* attributes)
{
    const char* type = xmlAttribute(attributes, kBreakTypeAttribute);
    return type == nullptr || std::string_view(type) == "textWrapping";
}

class BodyTextCollector final : public XmlPartHandler {
public:
    QString text() const { return documentText(text_); }

    void startElement(std::string_view name, const char* const* attributes) override
    {
        if (isSkipped(name)) {
            ++skipDepth_;
            return;
        }
        if (skipDepth_ > 0)
            return;
        if (name == kParagraphElement) {
            if (paragraphDepth_++ == 0) {
                paragraphAt_ = text_.size();
                paragraphEndsSection_ = false;
            }
            if (paragraphs_++ > 0)
                text_ += '\n';
        } else if (name == kSectionElement && paragraphDepth_ > 0) {
            paragraphEndsSection_ = true;
        } else if (name == kRunElement) {
            ++runDepth_;
        } else if (name == kTextElement) {
            ++textDepth_;
        } else if (runDepth_ > 0 && name == kTabElement) {
            // Only inside a run: w:tab is also the name of a tab stop in
            // the paragraph properties.
            text_ += '\t';
        } else if (runDepth_ > 0 && ((name == kBreakElement && endsLine(attributes)) || name == kCarriageReturnElement)) {
            text_ += '\n';
        }
    }

    void endElement(std::string_view name) override
    {
        if (isSkipped(name)) {
            --skipDepth_;
            return;
        }
        if (skipDepth_ > 0)
            return;
        if (name == kParagraphElement && --paragraphDepth_ == 0) {
            // A paragraph of nothing but a section's properties is how some
            // word processors end a section (in two columns, say) after its
            // last paragraph: no line of the document, and no number.
            const std::size_t separator = paragraphs_ > 1 ? 1 : 0;
            if (paragraphEndsSection_ && text_.size() == paragraphAt_ + separator) {
                text_.resize(paragraphAt_);
                --paragraphs_;
            }
        } else if (name == kRunElement)
            --runDepth_;
        else if (name == kTextElement)
            --textDepth_;
    }

    void characters(std::string_view text) override
    {
        if (skipDepth_ == 0 && textDepth_ > 0)
            text_ += text;
    }

private:
    std::string text_;
    int skipDepth_ = 0;
    int runDepth_ = 0;
    int textDepth_ = 0;
    qint64 paragraphs_ = 0;
    int paragraphDepth_ = 0;
    std::size_t paragraphAt_ = 0;
    bool paragraphEndsSection_ = false;
};

} // namespace

QString readDocxText(const QString& path, qint64 maxDocumentXmlBytes)
{
    BodyTextCollector collector;
    readZippedXmlPart(path, kWordFormat, maxDocumentXmlBytes, collector);
    return collector.text();
}

} // namespace pennolux
