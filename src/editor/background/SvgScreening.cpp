#include "editor/background/SvgScreening.h"

#include <QXmlStreamReader>
#include <optional>

namespace pennolux {

namespace {

constexpr qsizetype kShownReferenceLength = 60;

QString shownReference(QStringView reference)
{
    QString shown;
    for (const QChar character : reference.left(kShownReferenceLength))
        shown += character.category() == QChar::Other_Control ? QChar(u'?') : character;
    if (reference.size() > kShownReferenceLength)
        shown += u'…';
    return shown;
}

QString outsideReferenceRefusal(QStringView reference)
{
    return QStringLiteral("it refers to a file outside itself (\"%1\"); embed "
                          "that file in the SVG instead")
        .arg(shownReference(reference));
}

// The renderer trims a reference, decodes one starting "data" from the bytes
// and looks a "#" one up in the drawing; anything else it opens as a file.
bool staysInside(QStringView reference)
{
    const QStringView value = reference.trimmed();
    return value.isEmpty() || value.startsWith(u'#') || value.startsWith(u"data:");
}

QStringView unquoted(QStringView text)
{
    text = text.trimmed();
    while (!text.isEmpty() && (text.front() == u'"' || text.front() == u'\''))
        text = text.mid(1);
    while (!text.isEmpty() && (text.back() == u'"' || text.back() == u'\''))
        text.chop(1);
    return text.trimmed();
}

// The first url(...) of style text that points outside the drawing, and any
// @import, which can only point outside.
std::optional<QString> outsideStyleReference(QStringView css)
{
    const qsizetype import = css.indexOf(u"@import", 0, Qt::CaseInsensitive);
    if (import >= 0) {
        const qsizetype end = css.indexOf(u';', import);
        return unquoted(css.mid(import + 7, end < 0 ? -1 : end - import - 7)).toString();
    }
    for (qsizetype from = 0;;) {
        const qsizetype at = css.indexOf(u"url(", from, Qt::CaseInsensitive);
        if (at < 0)
            return std::nullopt;
        const qsizetype end = css.indexOf(u')', at);
        const QStringView target = unquoted(css.mid(at + 4, end < 0 ? -1 : end - at - 4));
        if (!staysInside(target))
            return target.toString();
        from = at + 4;
    }
}

// The numbers of path data or a points list, counted without parsing them:
// a number starts at a digit, a point or a sign that no exponent owns, and a
// second point inside one number starts the next ("1.5.5" is two).
qsizetype numberCount(QStringView data)
{
    qsizetype count = 0;
    bool inNumber = false;
    bool hasPoint = false;
    QChar previous;
    for (const QChar character : data) {
        const bool digit = character.isDigit();
        const bool point = character == u'.';
        const bool sign = character == u'-' || character == u'+';
        const bool exponent = character == u'e' || character == u'E';
        if (inNumber && (digit || (point && !hasPoint) || exponent
                            || (sign && (previous == u'e' || previous == u'E')))) {
            hasPoint = hasPoint || point;
        } else if (digit || point || sign) {
            ++count;
            inNumber = true;
            hasPoint = point;
        } else {
            inNumber = false;
        }
        previous = character;
    }
    return count;
}

// Points the renderer turns into edges: a pair of numbers each (an arc's
// seven count as three, a curve's six as three, near enough).
qsizetype drawnPoints(QStringView element, const QXmlStreamAttributes& attributes)
{
    if (element == u"path")
        return numberCount(attributes.value(QLatin1StringView("d"))) / 2;
    if (element == u"polygon" || element == u"polyline")
        return numberCount(attributes.value(QLatin1StringView("points"))) / 2;
    return 0;
}

QStringView localName(QStringView qualifiedName)
{
    return qualifiedName.mid(qualifiedName.lastIndexOf(u':') + 1);
}

} // namespace

QString svgRefusal(const QByteArray& bytes)
{
    if (bytes.startsWith("\x1f\x8b"))
        return QStringLiteral("it is a compressed SVG; save it as a plain SVG instead");
    QXmlStreamReader reader(bytes);
    // As the renderer reads it: prefixes are part of the names.
    reader.setNamespaceProcessing(false);
    int styleDepth = 0;
    int elements = 0;
    qsizetype points = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            if (!reader.entityDeclarations().isEmpty() || reader.text().contains(u"<!ENTITY", Qt::CaseInsensitive))
                return QStringLiteral("it declares XML entities, which a picture may not use");
            break;
        case QXmlStreamReader::ProcessingInstruction:
            // The renderer opens the style sheet such an instruction names,
            // resolving even "#..." as a file name.
            if (reader.processingInstructionTarget().compare(u"xml-stylesheet", Qt::CaseInsensitive) == 0)
                return outsideReferenceRefusal(reader.processingInstructionData());
            break;
        case QXmlStreamReader::StartElement: {
            if (++elements > kMaxSvgElements)
                return QStringLiteral("it has more than %1 elements, more than Pennolux draws").arg(kMaxSvgElements);
            points += drawnPoints(localName(reader.qualifiedName()), reader.attributes());
            const bool isLink = localName(reader.qualifiedName()) == u"a";
            for (const QXmlStreamAttribute& attribute : reader.attributes()) {
                const QStringView name = localName(attribute.qualifiedName());
                // A link is followed by nobody drawing the picture.
                if (name.compare(u"href", Qt::CaseInsensitive) == 0) {
                    if (!isLink && !staysInside(attribute.value()))
                        return outsideReferenceRefusal(attribute.value());
                } else if (const std::optional<QString> outside = outsideStyleReference(attribute.value())) {
                    return outsideReferenceRefusal(*outside);
                }
            }
            if (styleDepth > 0 || localName(reader.qualifiedName()) == u"style")
                ++styleDepth;
            break;
        }
        case QXmlStreamReader::EndElement:
            if (styleDepth > 0)
                --styleDepth;
            break;
        case QXmlStreamReader::Characters:
            if (styleDepth > 0)
                if (const std::optional<QString> outside = outsideStyleReference(reader.text()))
                    return outsideReferenceRefusal(*outside);
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return QStringLiteral("the SVG picture does not render (%1 at line %2)")
            .arg(reader.errorString())
            .arg(reader.lineNumber());
    if (points > kMaxSvgPathPoints)
        return QStringLiteral("its drawing is too complex: %1 path points, at most %2").arg(points).arg(kMaxSvgPathPoints);
    return {};
}

} // namespace pennolux
