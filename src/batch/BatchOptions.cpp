#include "batch/BatchOptions.h"

#include <QRegularExpression>
#include <QColor>
#include <optional>
#include <vector>

#include "platform/AppError.h"
#include "production/writers/ImageSizeLimits.h"

namespace pennolux {

namespace {

constexpr int kMaxMargin = 999'999'999;
constexpr int kMaxPointSize = 1000;

// The options the tool knows, as getopt_long would have them: a long name,
// perhaps a one-letter short one, and whether a value follows.
struct OptionSpec {
    const char* longName;
    char shortName;
    bool takesValue;
};

constexpr OptionSpec kOptions[] = {
    {"dest", 'o', true},      {"format", 'f', true},        {"background", 0, true}, {"color", 0, true},
    {"font", 0, true},        {"size", 0, true},            {"margins", 0, true},    {"bold", 0, false},
    {"italic", 0, false},     {"underline", 0, false},      {"strikeout", 0, false}, {"quiet", 'q', false},
    {"help", 'h', false},     {"version", 0, false},        {"first-number", 0, true}, {"lines", 0, true},
    {"manifest", 0, true},    {"name", 0, true},            {"template", 0, true},   {"canvas", 0, true},
    {"fields", 0, true},      {"header", 0, false},         {"no-header", 0, false},
};

// One option as found on the command line, named by its long form whichever
// way it was written, or one operand.
struct ScannedArgument {
    QString option; // "--dest"; empty for an operand
    QString value;  // the option's value, or the operand
};

// Splits the command line by the conventions scripts expect of getopt_long:
// bundled short options ("-qo DIR"), values attached ("-oDIR", "--dest=DIR")
// or in the next argument, a long name shortened to any unambiguous prefix,
// "-" an operand and "--" the end of the options. Options may follow operands.
class OptionScanner {
public:
    explicit OptionScanner(const QStringList& arguments) : arguments_(arguments) {}

    std::vector<ScannedArgument> scan()
    {
        std::vector<ScannedArgument> found;
        bool optionsEnded = false;
        while (next_ < arguments_.size()) {
            const QString argument = arguments_.at(next_++);
            if (optionsEnded || !argument.startsWith(u'-') || argument == QLatin1String("-"))
                found.push_back({QString(), argument});
            else if (argument == QLatin1String("--"))
                optionsEnded = true;
            else if (argument.startsWith(QLatin1String("--")))
                found.push_back(longOption(argument.mid(2)));
            else
                shortOptions(argument.mid(1), found);
        }
        return found;
    }

private:
    ScannedArgument longOption(const QString& text)
    {
        const qsizetype equals = text.indexOf(u'=');
        const QString name = equals < 0 ? text : text.left(equals);
        const OptionSpec& spec = longSpec(name);
        const QString option = QStringLiteral("--") + QLatin1String(spec.longName);
        if (!spec.takesValue) {
            if (equals >= 0)
                throw BatchUsageError(QStringLiteral("option %1 takes no value").arg(option));
            return {option, QString()};
        }
        if (equals >= 0)
            return {option, text.mid(equals + 1)};
        return {option, nextValue(option)};
    }

    // An exact name wins over the longer names it begins.
    static const OptionSpec& longSpec(const QString& name)
    {
        std::vector<const OptionSpec*> candidates;
        for (const OptionSpec& spec : kOptions) {
            const QLatin1String longName(spec.longName);
            if (name == longName)
                return spec;
            if (!name.isEmpty() && longName.startsWith(name))
                candidates.push_back(&spec);
        }
        if (candidates.size() == 1)
            return *candidates.front();
        if (candidates.empty())
            throw BatchUsageError(QStringLiteral("unknown option --%1").arg(name));
        QStringList names;
        for (const OptionSpec* spec : candidates)
            names << QStringLiteral("--") + QLatin1String(spec->longName);
        throw BatchUsageError(
            QStringLiteral("option --%1 is ambiguous (%2)").arg(name, names.join(QStringLiteral(", "))));
    }

    void shortOptions(const QString& letters, std::vector<ScannedArgument>& found)
    {
        for (qsizetype i = 0; i < letters.size(); ++i) {
            const QString written = QStringLiteral("-") + letters.at(i);
            const OptionSpec* spec = nullptr;
            for (const OptionSpec& candidate : kOptions)
                if (candidate.shortName != 0 && QChar(QLatin1Char(candidate.shortName)) == letters.at(i))
                    spec = &candidate;
            if (!spec)
                throw BatchUsageError(QStringLiteral("unknown option %1").arg(written));
            const QString option = QStringLiteral("--") + QLatin1String(spec->longName);
            if (!spec->takesValue) {
                found.push_back({option, QString()});
                continue;
            }
            // The rest of the bundle is the value, else the next argument.
            const QString attached = letters.mid(i + 1);
            found.push_back({option, attached.isEmpty() ? nextValue(written) : attached});
            return;
        }
    }

    QString nextValue(const QString& option)
    {
        if (next_ >= arguments_.size())
            throw BatchUsageError(QStringLiteral("option %1 needs a value").arg(option));
        return arguments_.at(next_++);
    }

    const QStringList& arguments_;
    qsizetype next_ = 0;
};

ImageFormat parseFormat(const QString& text)
{
    if (const auto format = imageFormatFromName(text))
        return *format;
    throw BatchUsageError(
        QStringLiteral("unknown format \"%1\" (png, webp, jpeg, tiff, gif or bmp)").arg(text));
}

// The design's names and forms first, then the CSS and SVG names a Linux
// user expects ("white", "skyblue"); only names, since QColor's other forms
// would make "#ABC" a colour the design's reader refuses, and no image
// is transparent.
ColorValue parseColor(const QString& option, const QString& text)
{
    if (const auto color = ColorValue::fromString(text))
        return *color;
    const QString name = text.trimmed();
    static const QRegularExpression kName(QStringLiteral("^[A-Za-z]+$"));
    if (kName.match(name).hasMatch() && name.compare(QLatin1String("transparent"), Qt::CaseInsensitive) != 0 &&
        QColor::isValidColorName(name))
        return ColorValue::fromRgb(QColor::fromString(name));
    throw BatchUsageError(
        QStringLiteral("%1: \"%2\" is no colour (#RRGGBB or a name such as clSkyBlue)").arg(option, text));
}

int parseWholeNumber(const QString& option, const QString& text, int minimum, int maximum)
{
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok || number < minimum || number > maximum) {
        throw BatchUsageError(QStringLiteral("%1: \"%2\" is not a whole number from %3 to %4")
                                  .arg(option, text)
                                  .arg(minimum)
                                  .arg(maximum));
    }
    return int(number);
}

void parseMargins(const QString& text, BatchOptions& options)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        throw BatchUsageError(QStringLiteral("--margins: \"%1\" is not L,R,T,B").arg(text));
    const QString option = QStringLiteral("--margins");
    options.left = parseWholeNumber(option, parts[0], 0, kMaxMargin);
    options.right = parseWholeNumber(option, parts[1], 0, kMaxMargin);
    options.top = parseWholeNumber(option, parts[2], 0, kMaxMargin);
    options.bottom = parseWholeNumber(option, parts[3], 0, kMaxMargin);
}

// option is the long name, however it was written.
bool* flagFor(const QString& option, BatchOptions& options)
{
    if (option == QLatin1String("--bold"))
        return &options.bold;
    if (option == QLatin1String("--italic"))
        return &options.italic;
    if (option == QLatin1String("--underline"))
        return &options.underline;
    if (option == QLatin1String("--strikeout"))
        return &options.strikeOut;
    if (option == QLatin1String("--quiet"))
        return &options.quiet;
    if (option == QLatin1String("--help"))
        return &options.showHelp;
    if (option == QLatin1String("--version"))
        return &options.showVersion;
    return nullptr;
}

// Returns false for an option this tool does not know.
bool applyValueOption(const QString& option, const QString& value, BatchOptions& options)
{
    if (option == QLatin1String("--dest")) {
        // Silently taking the last of two would write where the script did not look.
        if (!options.destination.isNull())
            throw BatchUsageError(QStringLiteral("the destination may be given only once"));
        options.destination = value;
    }
    else if (option == QLatin1String("--format"))
        options.format = parseFormat(value);
    else if (option == QLatin1String("--background"))
        options.background = parseColor(option, value);
    else if (option == QLatin1String("--color"))
        options.textColor = parseColor(option, value);
    else if (option == QLatin1String("--font"))
        options.fontFamily = value;
    else if (option == QLatin1String("--size"))
        options.pointSize = parseWholeNumber(option, value, 1, kMaxPointSize);
    else if (option == QLatin1String("--margins"))
        parseMargins(value, options);
    else
        return false;
    return true;
}

int parseLineNumber(const QString& option, const QString& text)
{
    return parseWholeNumber(option, text, 1, LineRange::kLastPossible);
}

// "A-B", "A-" (to the end) or "A" (that line alone).
LineRange parseLineRange(const QString& text)
{
    const QString option = QStringLiteral("--lines");
    const qsizetype dash = text.indexOf(u'-');
    LineRange range;
    if (dash < 0) {
        range.first = range.last = parseLineNumber(option, text);
        return range;
    }
    range.first = parseLineNumber(option, text.left(dash));
    const QString last = text.mid(dash + 1);
    if (!last.trimmed().isEmpty())
        range.last = parseLineNumber(option, last);
    if (range.last < range.first)
        throw BatchUsageError(QStringLiteral("--lines: \"%1\" ends before it starts").arg(text));
    return range;
}

// The options that cut a list into pieces and say what was written; they
// combine with whatever draws the images. Each may be given once, since taking
// the last of two would run or record another piece than the script meant.
// Returns false for an option that is not one of them.
bool applyPieceOption(const QString& option, const QString& value, BatchOptions& options,
                      QStringList& piecesGiven)
{
    const bool known = option == QLatin1String("--first-number") || option == QLatin1String("--lines") ||
                       option == QLatin1String("--manifest");
    if (!known)
        return false;
    if (piecesGiven.contains(option))
        throw BatchUsageError(QStringLiteral("%1 may be given only once").arg(option));
    piecesGiven.append(option);
    if (option == QLatin1String("--first-number"))
        options.firstNumber = parseLineNumber(option, value);
    else if (option == QLatin1String("--lines"))
        options.lines = parseLineRange(value);
    else if (value.isEmpty())
        throw BatchUsageError(QStringLiteral("--manifest needs a file name or \"-\""));
    else
        options.manifestPath = value;
    return true;
}

// The Advanced mode's options: false for any other.
bool applyTemplateOption(const QString& option, const QString& value, BatchOptions& options)
{
    if (option == QLatin1String("--template")) {
        if (!options.templatePath.isNull())
            throw BatchUsageError(QStringLiteral("the template may be given only once"));
        options.templatePath = value;
        if (options.templatePath.isEmpty())
            throw BatchUsageError(QStringLiteral("--template needs a file name"));
        return true;
    }
    if (option == QLatin1String("--canvas")) {
        const QString& text = value;
        static const QRegularExpression kSize(QStringLiteral("^\\s*(\\d{1,9})\\s*[xX×]\\s*(\\d{1,9})\\s*$"));
        const QRegularExpressionMatch size = kSize.match(text);
        if (!size.hasMatch())
            throw BatchUsageError(
                QStringLiteral("--canvas: \"%1\" is not WIDTHxHEIGHT in pixels, such as 491x215").arg(text));
        const qint64 width = size.captured(1).toLongLong();
        const qint64 height = size.captured(2).toLongLong();
        if (width < 1 || height < 1)
            throw BatchUsageError(QStringLiteral("--canvas: \"%1\" has no pixels").arg(text));
        try {
            checkWorkingImageSize(width, height);
        } catch (const AppError& error) {
            throw BatchUsageError(QStringLiteral("--canvas: ") + error.message());
        }
        options.canvas = QSize(int(width), int(height));
        return true;
    }
    return false;
}

// How a line is read and its file named. Each may be given once, as the
// pieces' options; --header and --no-header count as one. Returns false for
// an option that is not one of them.
bool applyFieldOption(const QString& option, const QString& value, BatchOptions& options, QStringList& given)
{
    const bool header = option == QLatin1String("--header") || option == QLatin1String("--no-header");
    if (!header && option != QLatin1String("--fields") && option != QLatin1String("--name"))
        return false;
    const QString once = header ? QStringLiteral("--header") : option;
    if (given.contains(once)) {
        throw BatchUsageError(header ? QStringLiteral("--header or --no-header may be given only once")
                                     : QStringLiteral("%1 may be given only once").arg(option));
    }
    given.append(once);
    if (header) {
        options.headerLine = option == QLatin1String("--header");
        options.templateOnlyOptions << option;
    } else if (option == QLatin1String("--fields")) {
        const QString& key = value;
        options.fieldFormat = fieldFormatFromKey(key);
        if (!options.fieldFormat)
            throw BatchUsageError(QStringLiteral("--fields: \"%1\" is not line, tab or csv").arg(key));
        options.templateOnlyOptions << option;
    } else {
        try {
            options.namePattern = FileNamePattern(value);
        } catch (const AppError& error) {
            throw BatchUsageError(QStringLiteral("--name: ") + error.message());
        }
    }
    return true;
}

// The options that shape the Simple mode's images; a template brings its own.
void noteSimpleOnlyOption(const QString& option, BatchOptions& options)
{
    static const QStringList kSimpleOnly{"--background", "--font",      "--size",  "--bold",   "--italic",
                                         "--underline",  "--strikeout", "--color", "--margins"};
    if (kSimpleOnly.contains(option) && !options.simpleOnlyOptions.contains(option))
        options.simpleOnlyOptions << option;
}

void checkTemplateOptions(const BatchOptions& options)
{
    if (!options.runsTemplate()) {
        if (options.canvas.isValid())
            throw BatchUsageError(
                QStringLiteral("--canvas needs --template (the Simple mode sizes every image to its line)"));
        if (!options.templateOnlyOptions.isEmpty()) {
            throw BatchUsageError(QStringLiteral("%1 %2 --template: the Simple mode makes one image of each whole "
                                                 "line, and fields go into a template's text layers")
                                      .arg(options.templateOnlyOptions.join(QStringLiteral(", ")),
                                           options.templateOnlyOptions.size() == 1 ? QStringLiteral("needs")
                                                                                   : QStringLiteral("need")));
        }
        return;
    }
    if (!options.simpleOnlyOptions.isEmpty()) {
        throw BatchUsageError(QStringLiteral("%1 cannot be used with --template: %2 the Simple mode's, and a template "
                                             "brings its own picture, layers, fonts and colours")
                                  .arg(options.simpleOnlyOptions.join(QStringLiteral(", ")),
                                       options.simpleOnlyOptions.size() == 1 ? QStringLiteral("it is")
                                                                             : QStringLiteral("they are")));
    }
}

void setList(const QString& path, BatchOptions& options, bool& listGiven)
{
    if (listGiven)
        throw BatchUsageError(QStringLiteral("only one LIST may be given"));
    options.listPath = path;
    listGiven = true;
}

} // namespace

BatchOptions parseBatchOptions(const QStringList& arguments)
{
    BatchOptions options;
    bool listGiven = false;
    QStringList piecesGiven;
    QStringList fieldOptionsGiven;
    for (const auto& [option, value] : OptionScanner(arguments).scan()) {
        if (option.isEmpty()) {
            setList(value, options, listGiven);
        } else if (bool* flag = flagFor(option, options)) {
            *flag = true;
            noteSimpleOnlyOption(option, options);
        } else if (applyValueOption(option, value, options)) {
            noteSimpleOnlyOption(option, options);
        } else if (!applyPieceOption(option, value, options, piecesGiven) &&
                   !applyTemplateOption(option, value, options) &&
                   !applyFieldOption(option, value, options, fieldOptionsGiven)) {
            // The table and the handlers disagree: a fault here, not on the command line.
            throw BatchUsageError(QStringLiteral("unknown option %1").arg(option));
        }
    }
    if (!options.showHelp && !options.showVersion)
        checkTemplateOptions(options);
    return options;
}

QString batchUsageText()
{
    return QStringLiteral(
        "Usage: pennolux-batch [OPTIONS] [LIST]\n"
        "Turns every non-empty line of LIST into one image file, Output<line number>.<ext>\n"
        "(or as --name says).\n"
        "LIST is a text file, a .docx, an .odt or a .doc; \"-\" or none reads standard input.\n"
        "\n"
        "  -o, --dest DIR        destination folder (default: the current folder)\n"
        "  -f, --format FMT      png | webp | jpeg | tiff | gif | bmp (default png)\n"
        "  --background COLOR    #RRGGBB, a name such as clSkyBlue or a CSS name such as white\n"
        "                        (default clSkyBlue)\n"
        "  --font FAMILY         (default Tahoma)\n"
        "  --size POINTS         (default 8)\n"
        "  --bold --italic --underline --strikeout\n"
        "  --color COLOR         text colour (default clWindowText, black whatever the theme)\n"
        "  --margins L,R,T,B     margins in pixels (default 1,1,1,1)\n"
        "  --first-number N      the list's first line is line N (default 1)\n"
        "  --lines A-B           only the lines numbered A to B (\"A-\": to the end)\n"
        "  --name PATTERN        the files' names: {n} the line number, {1}, {2}, ... its fields\n"
        "                        ({1}: the whole line without --fields), made safe for a file\n"
        "                        name; {{ and }} are braces (default Output{n})\n"
        "  --manifest FILE       a CSV file of line,file,text,width,height for every file\n"
        "                        written (with --fields tab or csv, the fields after text);\n"
        "                        \"-\": on standard output instead of \"Saved ...\"\n"
        "  --template FILE       the Advanced mode: each line goes into Text 1 of the template\n"
        "                        FILE (.pnxt, saved by Pennolux), one image of its canvas a line;\n"
        "                        not with the Simple mode's options above (--background to --margins)\n"
        "  --canvas WxH          with --template: the image size in pixels (default: the template's)\n"
        "  --fields FMT          with --template: line | tab | csv, a line is one field (Text 1's)\n"
        "                        or fields separated by tabs or commas, field k into Text k\n"
        "                        (default: as the template was saved)\n"
        "  --header              with --template: the list's first line names the fields and\n"
        "                        makes no image (default: as the template was saved)\n"
        "  --no-header           with --template: the first line is a line as any\n"
        "  -q, --quiet           no progress bar\n"
        "  -h, --help            show this text\n"
        "  --version             show the version\n"
        "Short options may be bundled (-qo DIR) and take their value attached (-oDIR); a\n"
        "long option may be shortened to any unambiguous beginning of its name; -- ends\n"
        "the options.\n"
        "\n"
        "Pieces of one list run at the same time into one folder write the files of one\n"
        "run over the whole list; their manifests, joined without their header lines,\n"
        "are its manifest (the manual page shows how with GNU parallel):\n"
        "  pennolux-batch -o out --lines 1-5000 --manifest 1.csv list.txt &\n"
        "  pennolux-batch -o out --lines 5001- --manifest 2.csv list.txt\n"
        "  tail -n +5001 list.txt | pennolux-batch -o out --first-number 5001  (the same piece)\n"
        "\n"
        "Exit status: 0 when every line was saved, 1 when a line could not be saved\n"
        "(the files already written stay), 2 for a wrong command line, 130 or 143\n"
        "when stopped by SIGINT or SIGTERM.\n");
}

} // namespace pennolux
