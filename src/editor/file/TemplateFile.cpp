#include "editor/file/TemplateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "editor/background/BackgroundPicture.h"
#include "platform/AppError.h"
#include "production/simplerun/TextMetrics.h"
#include "production/writers/ImageSizeLimits.h"

namespace pennolux {

namespace {

// Version 2 adds a text layer's alignment, version 3 how a list line is read
// into the layers ("fields"); a template is written in the oldest version
// that holds what it uses, which every earlier reader opens.
constexpr int kFormatVersion = 1;
constexpr int kAlignmentVersion = 2;
constexpr int kFieldsVersion = 3;
// Layers may lie far off the canvas, but their edges stay well inside an int.
constexpr double kMaxCoordinate = 1'000'000'000;
constexpr double kMaxPointSize = 1000;
constexpr qsizetype kMaxTextCharacters = qsizetype(1) << 20;
// Every image of a run lays out every text layer again, and shaping the text
// is most of that work: 99 layers of the longest text took 20 s before the
// first image and 3 s for each. So the layers share one layer's allowance.
constexpr qsizetype kMaxTemplateTextCharacters = kMaxTextCharacters;
constexpr qsizetype kMaxFamilyCharacters = 256;
constexpr qsizetype kMaxPictureNameCharacters = 255;
// The largest picture in base64, with room for everything else.
constexpr qint64 kMaxTemplateFileBytes = kMaxPictureFileBytes / 3 * 4 + 8 + (qint64(16) << 20);

// Writing ---------------------------------------------------------------------

QByteArray jsonString(const QString& text)
{
    QByteArray quoted = "\"";
    for (const char byte : text.toUtf8()) {
        const auto code = static_cast<unsigned char>(byte);
        switch (byte) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (code < 0x20)
                quoted += QStringLiteral("\\u%1").arg(code, 4, 16, QLatin1Char('0')).toLatin1();
            else
                quoted += byte;
        }
    }
    return quoted + '"';
}

QByteArray jsonNumber(qint64 value)
{
    return QByteArray::number(value);
}

QByteArray jsonBool(bool value)
{
    return value ? "true" : "false";
}

// A plain colour as #RRGGBB; a system colour, whose value is the desktop's,
// by its name ("clWindowText"), as are the table's two special values.
QByteArray colorText(ColorValue color)
{
    const std::uint32_t value = color.value();
    if ((value & 0xFF000000u) != 0)
        return jsonString(color.toString());
    return jsonString(QStringLiteral("#%1%2%3")
                          .arg(value & 0xFF, 2, 16, QLatin1Char('0'))
                          .arg((value >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
                          .arg((value >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
                          .toUpper());
}

// Line breaks as "\n", whichever the editor used.
QString withNewlines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

double pointSizeOf(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return font.pixelSize() * 72.0 / 96.0;
}

QByteArray boxText(const char* type, qint64 number, const LayerBox& box)
{
    return "    { \"type\": \"" + QByteArray(type) + "\", \"number\": " + jsonNumber(number) +
           ", \"left\": " + jsonNumber(box.left) + ", \"top\": " + jsonNumber(box.top) +
           ", \"width\": " + jsonNumber(box.width) + ", \"height\": " + jsonNumber(box.height) + ",\n";
}

// The alignment's words in the file, in the order of the enumerations.
const char* const kHorizontalWords[] = {"left", "centre", "right"};
const char* const kVerticalWords[] = {"top", "middle", "bottom"};

bool usesAlignment(const Template& content)
{
    return std::any_of(content.TextLayers.begin(), content.TextLayers.end(),
                       [](const auto& layer) { return layer && !layer->alignment.isDefault(); });
}

// Only a layer off the defaults has the key: a default layer reads the same
// in both versions.
QByteArray alignmentText(const TextAlignment& alignment)
{
    if (alignment.isDefault())
        return {};
    return QByteArray("      \"align\": { \"horizontal\": \"") + kHorizontalWords[int(alignment.horizontal)] +
           "\", \"vertical\": \"" + kVerticalWords[int(alignment.vertical)] +
           "\", \"shrink\": " + jsonBool(alignment.shrinkToFit) + " },\n";
}

QByteArray textLayerText(qint64 number, const TextLayer& layer)
{
    const QFont& font = layer.font.font;
    return boxText("text", number, layer.box) + "      \"text\": " + jsonString(withNewlines(layer.text)) + ",\n" +
           alignmentText(layer.alignment) + "      \"font\": { \"family\": " + jsonString(font.family()) +
           ", \"size\": " + QByteArray::number(pointSizeOf(font), 'g', 10) + ", \"bold\": " + jsonBool(font.bold()) +
           ", \"italic\": " + jsonBool(font.italic()) + ",\n" +
           "                \"underline\": " + jsonBool(font.underline()) + ", \"strikeout\": " +
           jsonBool(font.strikeOut()) + ", \"color\": " + colorText(layer.font.color) + " } }";
}

QByteArray shapeLayerText(qint64 number, const ShapeLayer& layer)
{
    return boxText("shape", number, layer.box) + "      \"fill\": " + colorText(layer.fill) + " }";
}

// The picture's file name as the reader takes it: a backslash or a NUL, which
// a Unix file name may hold, would read as a folder or cut the name off, and
// only the extension and the name shown matter once the bytes are embedded.
QString storedPictureName(const QString& source)
{
    QString name = QFileInfo(source).fileName();
    name.replace(u'\\', u'_');
    name.replace(QChar(0), u'_');
    return name.right(kMaxPictureNameCharacters);
}

QByteArray backgroundText(const Template& content)
{
    if (content.backgroundBytes.isEmpty())
        return "null";
    return "{ \"name\": " + jsonString(storedPictureName(content.backgroundSource)) + ", \"data\": \"" +
           content.backgroundBytes.toBase64() + "\" }";
}

bool boxInRange(const LayerBox& box)
{
    const auto within = [](double value, double lowest) { return value >= lowest && value <= kMaxCoordinate; };
    return within(box.left, -kMaxCoordinate) && within(box.top, -kMaxCoordinate) && within(box.width, 0) &&
           within(box.height, 0);
}

// The text of all text layers together, line breaks counted as "\n".
qsizetype textCharactersOf(const Template& content)
{
    qsizetype total = 0;
    for (const std::optional<TextLayer>& layer : content.TextLayers)
        if (layer)
            total += layer->text.size() - layer->text.count(u"\r\n");
    return total;
}

QString tooMuchTextReason(const Template& content)
{
    const qsizetype total = textCharactersOf(content);
    if (total <= kMaxTemplateTextCharacters)
        return {};
    return QStringLiteral("its text layers hold %1 characters together, at most %2")
        .arg(total)
        .arg(kMaxTemplateTextCharacters);
}

// Why the reader would refuse the file the document makes, as its message
// goes on; empty when it opens again. Checked before writing, because a file
// saved but refused on opening would lose the user's work.
QString unwritableReason(const TemplateDocument& document)
{
    const QSize canvas = document.canvas;
    if (canvas.width() < 1 || canvas.height() < 1 || canvas.width() > kWorkingImageLimits.maxSide ||
        canvas.height() > kWorkingImageLimits.maxSide ||
        qint64(canvas.width()) * canvas.height() > kWorkingImageLimits.maxPixels) {
        return QStringLiteral("the image size of %1 × %2 pixels is outside 1 to %3 pixels a side and %4 in all")
            .arg(canvas.width())
            .arg(canvas.height())
            .arg(kWorkingImageLimits.maxSide)
            .arg(kWorkingImageLimits.maxPixels);
    }
    const Template& content = document.content;
    for (const LayerRef layer : content.stacking) {
        const LayerBox* box = content.boxOf(layer);
        if (!box)
            continue;
        const QString name = layerName(layer);
        if (!boxInRange(*box))
            return QStringLiteral("%1: its place or size is beyond %2 pixels").arg(name).arg(qint64(kMaxCoordinate));
        const TextLayer* text = layer.isText() ? content.textLayer(layer.number) : nullptr;
        if (!text)
            continue;
        const QString written = withNewlines(text->text);
        if (written.size() > kMaxTextCharacters)
            return QStringLiteral("%1: its text is longer than %2 characters").arg(name).arg(kMaxTextCharacters);
        for (const QStringView line : QStringView(written).split(u'\n')) {
            if (line.size() > kMaxLineCharacters)
                return QStringLiteral("%1: a line of its text is longer than %2 characters")
                    .arg(name)
                    .arg(kMaxLineCharacters);
        }
        const QFont& font = text->font.font;
        if (font.family().size() > kMaxFamilyCharacters)
            return QStringLiteral("%1: its font's family name is longer than %2 characters")
                .arg(name)
                .arg(kMaxFamilyCharacters);
        const double size = pointSizeOf(font);
        if (size > kMaxPointSize)
            return QStringLiteral("%1: its font is larger than %2 points").arg(name).arg(kMaxPointSize);
        if (!(size > 0))
            return QStringLiteral("%1: its font has no size").arg(name);
    }
    if (const QString reason = tooMuchTextReason(content); !reason.isEmpty())
        return reason;
    if (!content.backgroundBytes.isEmpty() && storedPictureName(content.backgroundSource).isEmpty())
        return QStringLiteral("the background picture has no file name");
    return {};
}

[[noreturn]] void refuseToWrite(const QString& path, const QString& reason)
{
    const QString file = path.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(QDir::toNativeSeparators(path));
    throw AppError(QStringLiteral("Cannot save the template%1: %2").arg(file, reason));
}

QByteArray documentText(const TemplateDocument& document);

// The file's text, or AppError naming the file and what the reader would refuse.
QByteArray checkedFileText(const TemplateDocument& document, const QString& path)
{
    if (const QString reason = unwritableReason(document); !reason.isEmpty())
        refuseToWrite(path, reason);
    QByteArray text = documentText(document);
    if (text.size() > kMaxTemplateFileBytes)
        refuseToWrite(path, QStringLiteral("it would be larger than any template can be (%1 MB)")
                                .arg(kMaxTemplateFileBytes >> 20));
    return text;
}

// Reading ---------------------------------------------------------------------

// Reads the values of one JSON object; every complaint names the file and,
// through `where`, the object.
class ObjectReader {
public:
    ObjectReader(const QString& path, const QJsonObject& object, QString where)
        : path_(path), object_(object), where_(std::move(where))
    {
    }

    [[noreturn]] void fail(const QString& what) const
    {
        const QString place = where_.isEmpty() ? QString() : where_ + QStringLiteral(": ");
        throw AppError(QStringLiteral("Cannot open the template \"%1\": %2%3")
                           .arg(QDir::toNativeSeparators(path_), place, what));
    }

    QJsonValue value(const char* key) const
    {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (value.isUndefined())
            fail(QStringLiteral("\"%1\" is missing").arg(QLatin1String(key)));
        return value;
    }

    qint64 integer(const char* key, double lowest, double highest) const
    {
        const QJsonValue found = value(key);
        const double number = found.toDouble();
        if (!found.isDouble() || !std::isfinite(number) || number != std::floor(number) || number < lowest ||
            number > highest) {
            fail(QStringLiteral("\"%1\" must be a whole number from %2 to %3, not %4")
                     .arg(QLatin1String(key), QString::number(qint64(lowest)), QString::number(qint64(highest)),
                          shown(found)));
        }
        return qint64(number);
    }

    double number(const char* key, double above, double highest) const
    {
        const QJsonValue found = value(key);
        const double number = found.toDouble();
        if (!found.isDouble() || !(number > above) || number > highest)
            fail(QStringLiteral("\"%1\" must be a number above %2 and at most %3, not %4")
                     .arg(QLatin1String(key), QString::number(above), QString::number(highest), shown(found)));
        return number;
    }

    bool boolean(const char* key) const
    {
        const QJsonValue found = value(key);
        if (!found.isBool())
            fail(QStringLiteral("\"%1\" must be true or false, not %2").arg(QLatin1String(key), shown(found)));
        return found.toBool();
    }

    QString string(const char* key, qsizetype longest) const
    {
        const QJsonValue found = value(key);
        if (!found.isString())
            fail(QStringLiteral("\"%1\" must be a string, not %2").arg(QLatin1String(key), shown(found)));
        const QString text = found.toString();
        if (text.size() > longest)
            fail(QStringLiteral("\"%1\" is longer than %2 characters").arg(QLatin1String(key)).arg(longest));
        return text;
    }

    ColorValue color(const char* key) const
    {
        const QString text = string(key, 64);
        const std::optional<ColorValue> color = ColorValue::fromString(text);
        if (!color)
            fail(QStringLiteral("\"%1\": \"%2\" is no colour (#RRGGBB or a name such as clSkyBlue)")
                     .arg(QLatin1String(key), text));
        return *color;
    }

    QJsonObject object(const char* key) const
    {
        const QJsonValue found = value(key);
        if (!found.isObject())
            fail(QStringLiteral("\"%1\" must be an object, not %2").arg(QLatin1String(key), shown(found)));
        return found.toObject();
    }

    const QString& path() const { return path_; }
    bool has(const char* key) const { return object_.contains(QLatin1String(key)); }

private:
    // A value as a complaint quotes it.
    static QString shown(const QJsonValue& value)
    {
        switch (value.type()) {
        case QJsonValue::Null:
            return QStringLiteral("null");
        case QJsonValue::Bool:
            return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        case QJsonValue::Double:
            return QString::number(value.toDouble(), 'g', 17);
        case QJsonValue::String:
            return QStringLiteral("a string");
        case QJsonValue::Array:
            return QStringLiteral("a list");
        case QJsonValue::Object:
            return QStringLiteral("an object");
        case QJsonValue::Undefined:
            break;
        }
        return QStringLiteral("nothing");
    }

    const QString& path_;
    const QJsonObject object_;
    const QString where_;
};

LayerBox readBox(const ObjectReader& layer)
{
    LayerBox box;
    box.left = int(layer.integer("left", -kMaxCoordinate, kMaxCoordinate));
    box.top = int(layer.integer("top", -kMaxCoordinate, kMaxCoordinate));
    box.width = int(layer.integer("width", 0, kMaxCoordinate));
    box.height = int(layer.integer("height", 0, kMaxCoordinate));
    return box;
}

// The model keeps line breaks as the editor joins its lines: CR LF.
QString withCrLf(const QString& text)
{
    return withNewlines(text).replace(u'\n', QStringLiteral("\r\n"));
}

// One of the words, as the index of its enumerator.
int readWord(const ObjectReader& object, const char* key, const char* const (&words)[3])
{
    const QString word = object.string(key, 16);
    for (int index = 0; index < 3; ++index)
        if (word == QLatin1String(words[index]))
            return index;
    object.fail(QStringLiteral("\"%1\" must be \"%2\", \"%3\" or \"%4\", not \"%5\"")
                    .arg(QLatin1String(key), QLatin1String(words[0]), QLatin1String(words[1]),
                         QLatin1String(words[2]), word));
}

// A layer without the key keeps the defaults; the key is read from version
// 2 on (a version 1 file knows no such key).
TextAlignment readAlignment(const ObjectReader& layer, const QString& where, int version)
{
    if (version < kAlignmentVersion || !layer.has("align"))
        return {};
    const ObjectReader align(layer.path(), layer.object("align"), where + QStringLiteral(", \"align\""));
    TextAlignment alignment;
    alignment.horizontal = HorizontalAlignment(readWord(align, "horizontal", kHorizontalWords));
    alignment.vertical = VerticalAlignment(readWord(align, "vertical", kVerticalWords));
    alignment.shrinkToFit = align.boolean("shrink");
    return alignment;
}

TextLayer readTextLayer(const ObjectReader& layer, const QString& where, int version)
{
    TextLayer text;
    text.box = readBox(layer);
    const QString written = layer.string("text", kMaxTextCharacters);
    for (const QString& line : withNewlines(written).split(u'\n')) {
        if (line.size() > kMaxLineCharacters)
            layer.fail(QStringLiteral("a line of \"text\" is longer than %1 characters").arg(kMaxLineCharacters));
    }
    text.text = withCrLf(written);
    const ObjectReader font(layer.path(), layer.object("font"), where + QStringLiteral(", \"font\""));
    QFont face(font.string("family", kMaxFamilyCharacters));
    face.setPointSizeF(font.number("size", 0, kMaxPointSize));
    face.setBold(font.boolean("bold"));
    face.setItalic(font.boolean("italic"));
    face.setUnderline(font.boolean("underline"));
    face.setStrikeOut(font.boolean("strikeout"));
    text.font = {face, font.color("color")};
    text.alignment = readAlignment(layer, where, version);
    return text;
}

void readLayers(const ObjectReader& root, Template& content, int version)
{
    const QJsonValue layers = root.value("layers");
    if (!layers.isArray())
        root.fail(QStringLiteral("\"layers\" must be a list"));
    const QJsonArray list = layers.toArray();
    int texts = 0;
    int shapes = 0;
    for (const QJsonValue& entry : list) {
        const QString type = entry.toObject().value(QLatin1String("type")).toString();
        texts += type == QLatin1String("text");
        shapes += type == QLatin1String("shape");
    }
    if (texts > kLayerSlots || shapes > kLayerSlots)
        root.fail(QStringLiteral("it has more than %1 %2 layers")
                      .arg(kLayerSlots)
                      .arg(texts > kLayerSlots ? QStringLiteral("text") : QStringLiteral("shape")));

    for (qsizetype index = 0; index < list.size(); ++index) {
        const QString where = QStringLiteral("layer %1").arg(index + 1);
        if (!list[index].isObject())
            root.fail(where + QStringLiteral(" must be an object"));
        const ObjectReader layer(root.path(), list[index].toObject(), where);
        const QJsonValue typeValue = layer.value("type");
        const QString type = typeValue.toString();
        if (type != QLatin1String("text") && type != QLatin1String("shape"))
            layer.fail(QStringLiteral("\"type\" must be \"text\" or \"shape\""));
        const bool isText = type == QLatin1String("text");
        const qint64 number = layer.integer("number", 1, kLayerSlots);
        const LayerRef ref = isText ? LayerRef::text(number) : LayerRef::shape(number);
        if (content.holds(ref))
            layer.fail(QStringLiteral("%1 is given twice").arg(layerName(ref)));
        if (isText)
            content.TextLayers[std::size_t(number - 1)] = readTextLayer(layer, where, version);
        else
            content.ShapeLayers[std::size_t(number - 1)] = ShapeLayer{layer.color("fill"), readBox(layer)};
        content.stacking.push_back(ref);
    }
    if (const QString reason = tooMuchTextReason(content); !reason.isEmpty())
        root.fail(reason);
}

// The background's base64 as the scan below lifted it out of the file's
// text, so that the JSON tree does not hold a second copy of it.
struct LiftedPicture {
    bool lifted = false;
    QByteArray base64;
};

void readBackground(const ObjectReader& root, Template& content, LiftedPicture lifted)
{
    const QJsonValue background = root.value("background");
    if (background.isNull()) {
        content.background = defaultBackground();
        return;
    }
    if (!background.isObject())
        root.fail(QStringLiteral("\"background\" must be null or an object"));
    const ObjectReader picture(root.path(), background.toObject(), QStringLiteral("\"background\""));
    const QString name = picture.string("name", kMaxPictureNameCharacters);
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name.contains(QChar(0)))
        picture.fail(QStringLiteral("\"name\" must be the name of a file, without a folder"));
    QByteArray base64;
    if (lifted.lifted) {
        // Checked as the JSON's own string would be: the scan left it empty.
        if (!picture.string("data", 0).isEmpty())
            picture.fail(QStringLiteral("\"data\" is not the base64 of a picture file"));
        base64 = std::move(lifted.base64);
    } else {
        base64 = picture.string("data", kMaxTemplateFileBytes).toLatin1();
    }
    // Decoded where the base64 lies, and trimmed to the picture's bytes, which
    // the template keeps while it is open.
    auto decoded = QByteArray::fromBase64Encoding(std::move(base64), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        picture.fail(QStringLiteral("\"data\" is not the base64 of a picture file"));
    decoded.decoded.squeeze();
    try {
        content.background = decodeBackgroundBytes(name, *decoded);
    } catch (const AppError& error) {
        picture.fail(error.message());
    }
    content.backgroundSource = name;
    content.backgroundBytes = std::move(decoded.decoded);
}

// A template without the key reads each line as one field, with no header.
void readFields(const ObjectReader& root, Template& content, int version)
{
    if (version < kFieldsVersion || !root.has("fields"))
        return;
    const ObjectReader fields(root.path(), root.object("fields"), QStringLiteral("\"fields\""));
    const QString key = fields.string("format", 16);
    const std::optional<FieldFormat> format = fieldFormatFromKey(key);
    if (!format)
        fields.fail(QStringLiteral("\"format\" must be \"%1\", \"%2\" or \"%3\", not \"%4\"")
                        .arg(fieldFormatKey(FieldFormat::OneField), fieldFormatKey(FieldFormat::TabSeparated),
                             fieldFormatKey(FieldFormat::CommaSeparated), key));
    content.fields.format = *format;
    content.fields.headerLine = fields.boolean("header");
}

QByteArray fieldsText(const ListFields& fields)
{
    if (fields.isDefault())
        return {};
    return "  \"fields\": { \"format\": \"" + fieldFormatKey(fields.format).toLatin1() +
           "\", \"header\": " + jsonBool(fields.headerLine) + " },\n";
}

// The oldest version that holds everything the template uses.
int fileVersionOf(const Template& content)
{
    if (!content.fields.isDefault())
        return kFieldsVersion;
    return usesAlignment(content) ? kAlignmentVersion : kFormatVersion;
}

bool readsVersion(double version)
{
    return version == kFormatVersion || version == kAlignmentVersion || version == kFieldsVersion;
}

// A version as the file gives it: with every digit that tells it from its
// neighbours, so 1.0000000001 is not shown as the 1 it is refused beside.
QString versionText(double version)
{
    return QString::number(version, 'g', QLocale::FloatingPointShortest);
}

} // namespace

QByteArray templateFileText(const TemplateDocument& document)
{
    return checkedFileText(document, QString());
}

namespace {

QByteArray documentText(const TemplateDocument& document)
{
    const Template& content = document.content;
    QByteArray text;
    text.reserve(content.backgroundBytes.size() / 3 * 4 + 4096);
    text += "{\n  \"pennolux-template\": " + jsonNumber(fileVersionOf(content)) + ",\n";
    text += "  \"canvas\": { \"width\": " + jsonNumber(document.canvas.width()) +
            ", \"height\": " + jsonNumber(document.canvas.height()) + " },\n";
    text += "  \"background\": " + backgroundText(content) + ",\n";
    text += fieldsText(content.fields);
    QByteArrayList layers;
    for (const LayerRef layer : content.stacking) {
        if (const TextLayer* textLayer = layer.isText() ? content.textLayer(layer.number) : nullptr)
            layers << textLayerText(layer.number, *textLayer);
        else if (const ShapeLayer* shape = layer.isShape() ? content.shapeLayer(layer.number) : nullptr)
            layers << shapeLayerText(layer.number, *shape);
    }
    if (layers.isEmpty())
        text += "  \"layers\": []\n";
    else
        text += "  \"layers\": [\n" + layers.join(",\n") + "\n  ]\n";
    text += "}\n";
    return text;
}

} // namespace

namespace {

// Walks JSON text far enough to find where a value lies, without building
// anything; any text it does not follow gives up, and the JSON reader then
// reads the text whole and says what is wrong with it.
class JsonSkim {
public:
    explicit JsonSkim(const QByteArray& text) : text_(text) {}

    bool at(char expected)
    {
        skipSpace();
        return position_ < text_.size() && text_[position_] == expected;
    }
    bool take(char expected)
    {
        if (!at(expected))
            return false;
        ++position_;
        return true;
    }
    // A string's content from after its opening quote to before its closing
    // one; `plain` when it holds no escape.
    bool string(qsizetype& begin, qsizetype& end, bool& plain)
    {
        if (!take('"'))
            return false;
        begin = position_;
        plain = true;
        const qsizetype size = text_.size();
        const char* const data = text_.constData();
        while (position_ < size) {
            const char next = data[position_];
            if (next == '"') {
                end = position_++;
                return true;
            }
            if (next == '\\') {
                plain = false;
                ++position_;
            }
            ++position_;
        }
        return false;
    }
    bool key(const char* expected, bool& matches)
    {
        qsizetype begin = 0;
        qsizetype end = 0;
        bool plain = true;
        if (!string(begin, end, plain) || !take(':'))
            return false;
        matches = plain && QByteArrayView(text_.constData() + begin, end - begin) == QByteArrayView(expected);
        return true;
    }
    bool skipValue()
    {
        skipSpace();
        if (position_ >= text_.size())
            return false;
        const char first = text_[position_];
        if (first == '"') {
            qsizetype begin = 0;
            qsizetype end = 0;
            bool plain = true;
            return string(begin, end, plain);
        }
        if (first == '{' || first == '[') {
            // As deep as the JSON reader goes, and no deeper than the stack allows.
            constexpr int kMaxDepth = 1024;
            if (depth_ >= kMaxDepth)
                return false;
            const DepthStep step(depth_);
            const char closing = first == '{' ? '}' : ']';
            ++position_;
            if (take(closing))
                return true;
            for (;;) {
                if (first == '{') {
                    bool ignored = false;
                    if (!key("", ignored))
                        return false;
                }
                if (!skipValue())
                    return false;
                if (take(closing))
                    return true;
                if (!take(','))
                    return false;
            }
        }
        // A number, true, false or null.
        const qsizetype start = position_;
        while (position_ < text_.size() && !QByteArrayView(",}] \t\r\n").contains(text_[position_]))
            ++position_;
        return position_ > start;
    }

private:
    void skipSpace()
    {
        while (position_ < text_.size() &&
               (text_[position_] == ' ' || text_[position_] == '\t' || text_[position_] == '\n' ||
                text_[position_] == '\r'))
            ++position_;
    }

    struct DepthStep {
        explicit DepthStep(int& depth) : depth_(depth) { ++depth_; }
        ~DepthStep() { --depth_; }
        DepthStep(const DepthStep&) = delete;
        DepthStep& operator=(const DepthStep&) = delete;
        int& depth_;
    };

    const QByteArray& text_;
    qsizetype position_ = 0;
    int depth_ = 0;
};

struct TextSpan {
    qsizetype begin = 0;
    qsizetype end = 0;
};

// The content of "data" in the top-level "background" object, when it is
// there once, as a plain string; none when the text is anything else.
std::optional<TextSpan> embeddedPictureSpan(const QByteArray& text)
{
    JsonSkim skim(text);
    std::optional<TextSpan> found;
    int seen = 0;
    if (!skim.take('{'))
        return {};
    if (skim.take('}'))
        return {};
    for (;;) {
        bool isBackground = false;
        if (!skim.key("background", isBackground))
            return {};
        if (isBackground && skim.take('{') && !skim.take('}')) {
            for (;;) {
                bool isData = false;
                if (!skim.key("data", isData))
                    return {};
                TextSpan span;
                bool plain = false;
                if (isData && skim.at('"')) {
                    if (!skim.string(span.begin, span.end, plain))
                        return {};
                    ++seen;
                    if (plain)
                        found = span;
                } else if (!skim.skipValue()) {
                    return {};
                }
                if (skim.take('}'))
                    break;
                if (!skim.take(','))
                    return {};
            }
        } else if (!isBackground && !skim.skipValue()) {
            return {};
        }
        if (skim.take('}'))
            break;
        if (!skim.take(','))
            return {};
    }
    if (seen != 1)
        return {};
    return found;
}

[[noreturn]] void refuseForMemory(const QString& path)
{
    throw AppError(QStringLiteral("Cannot open the template \"%1\": there is not enough memory to read it")
                       .arg(QDir::toNativeSeparators(path)));
}

TemplateDocument parseTemplateText(QByteArray text, const QString& path)
{
    // A picture takes nearly all of a large template's text. Its base64 is
    // lifted out before the JSON reader builds its tree, which would hold it
    // again (and once more as UTF-16 when read), and is decoded in the
    // text's own buffer.
    LiftedPicture lifted;
    if (const std::optional<TextSpan> span = embeddedPictureSpan(text)) {
        QByteArray rest = text.left(span->begin) + text.sliced(span->end);
        const qsizetype length = span->end - span->begin;
        text.detach();
        std::memmove(text.data(), text.constData() + span->begin, std::size_t(length));
        text.truncate(length);
        lifted = {true, std::move(text)};
        text = std::move(rest);
    }
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(text, &error);
    const ObjectReader root(path, json.object(), QString());
    if (error.error != QJsonParseError::NoError)
        root.fail(QStringLiteral("it is not a Pennolux template (not JSON: %1 at byte %2)")
                      .arg(error.errorString())
                      .arg(error.offset));
    const QJsonValue version = json.object().value(QLatin1String("pennolux-template"));
    if (!json.isObject() || !version.isDouble())
        root.fail(QStringLiteral("it is not a Pennolux template"));
    if (!readsVersion(version.toDouble()))
        root.fail(QStringLiteral("it is a template of version %1; this Pennolux reads versions %2 to %3")
                      .arg(versionText(version.toDouble()))
                      .arg(kFormatVersion)
                      .arg(kFieldsVersion));

    TemplateDocument document;
    const ObjectReader canvas(path, root.object("canvas"), QStringLiteral("\"canvas\""));
    const qint64 width = canvas.integer("width", 1, double(kWorkingImageLimits.maxSide));
    const qint64 height = canvas.integer("height", 1, double(kWorkingImageLimits.maxSide));
    try {
        checkWorkingImageSize(width, height);
    } catch (const AppError& tooLarge) {
        canvas.fail(tooLarge.message());
    }
    document.canvas = QSize(int(width), int(height));
    readLayers(root, document.content, int(version.toDouble()));
    readBackground(root, document.content, std::move(lifted));
    readFields(root, document.content, int(version.toDouble()));
    return document;
}

} // namespace

TemplateDocument parseTemplateFile(const QByteArray& text, const QString& path)
{
    try {
        return parseTemplateText(text, path);
    } catch (const std::bad_alloc&) {
        refuseForMemory(path);
    }
}

namespace {

// Up to `limit` bytes of the file, in a buffer of the file's own size where
// that is known: QIODevice::read(limit) would take the whole limit at once.
// Bounded even when the file grows while it is read.
QByteArray readAtMost(QFile& file, qint64 limit)
{
    QByteArray bytes;
    if (!file.isSequential())
        bytes.reserve(qsizetype(std::min(file.size() + 1, limit)));
    constexpr qint64 kPiece = qint64(1) << 20;
    for (;;) {
        const qsizetype had = bytes.size();
        // Into the room reserved first: a file of the size it had reads to
        // its end without the buffer growing.
        const qint64 room = bytes.capacity() - had;
        const qint64 wanted = std::min(room > 0 ? room : kPiece, limit - had);
        if (wanted <= 0)
            break;
        bytes.resize(had + qsizetype(wanted));
        const qint64 got = file.read(bytes.data() + had, wanted);
        bytes.resize(had + qsizetype(std::max<qint64>(got, 0)));
        if (got <= 0)
            break;
    }
    return bytes;
}

} // namespace

TemplateDocument readTemplateFile(const QString& path)
{
    // A pipe such as <(...) or /dev/stdin is read as a file is; a folder
    // would open and then fail on its first read with a less helpful error.
    const QFileInfo info(path);
    if (!info.exists())
        throw fileOpenError(path, QStringLiteral("There is no such file."));
    if (info.isDir())
        throw fileOpenError(path, QStringLiteral("It is a folder."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileOpenError(path, file.errorString());
    try {
        QByteArray text = readAtMost(file, kMaxTemplateFileBytes + 1);
        if (file.error() != QFileDevice::NoError)
            throw fileOpenError(path, file.errorString());
        if (text.size() > kMaxTemplateFileBytes)
            throw AppError(
                QStringLiteral("Cannot open the template \"%1\": it is larger than any template can be (%2 MB)")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(kMaxTemplateFileBytes >> 20));
        file.close();
        return parseTemplateText(std::move(text), path);
    } catch (const std::bad_alloc&) {
        refuseForMemory(path);
    }
}

void writeTemplateFile(const QString& path, const TemplateDocument& document)
{
    const QByteArray text = checkedFileText(document, path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw fileCreateError(path, file.errorString());
    if (file.write(text) != text.size() || !file.commit())
        throw fileCreateError(path, file.errorString());
}

TemplateDocument documentOf(const TemplateState& state, QSize canvas)
{
    return {state.runCanvas.isValid() ? state.runCanvas : canvas, state.content};
}

// The file keeps the stacking, not the order the layers were made in. A
// number is never given twice within a kind, so its numbers give the order
// within each kind; between the kinds it is lost, and the texts, Text 1
// first, go before the shapes.
std::vector<LayerRef> listedOrderOf(const std::vector<LayerRef>& stacking)
{
    std::vector<LayerRef> order = stacking;
    std::ranges::sort(order, [](LayerRef left, LayerRef right) {
        if (left.kind != right.kind)
            return left.isText();
        return left.number < right.number;
    });
    return order;
}

TemplateState openedState(const TemplateDocument& document)
{
    TemplateState state;
    state.content = document.content;
    state.creationOrder = listedOrderOf(document.content.stacking);
    for (const LayerRef layer : document.content.stacking) {
        qint64& count = layer.isText() ? state.textLayerCount : state.shapeLayerCount;
        count = std::max(count, layer.number);
    }
    if (document.content.holds(LayerRef::text(1)))
        state.current = LayerRef::text(1);
    state.runCanvas = document.canvas;
    return state;
}

} // namespace pennolux
