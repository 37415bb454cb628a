// pennolux-batch: the Simple run, or the Advanced run of a saved template,
// without a window, for scripts and servers.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <malloc.h>
#include <QPalette>
#include <QThread>
#include <QFontDatabase>
#include <QFontInfo>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

#include "platform/AppError.h"
#include "app/DataFiles.h"
#include "platform/fonts/DesignFont.h"
#include "app/version/VersionInfo.h"
#include "editor/file/TemplateFile.h"
#include "editor/run/TemplateLineEncoder.h"
#include "platform/documents/DocumentImport.h"
#include "platform/desktop/Locale.h"
#include "batch/BatchOptions.h"
#include "batch/BatchReport.h"
#include "production/textlist/ListLines.h"
#include "batch/ProgressBar.h"
#include "batch/VersionReport.h"
#include "production/fields/FileNamePattern.h"
#include "production/fields/ListFields.h"
#include "production/linerun/LineRun.h"
#include "production/linerun/MessageQuote.h"
#include "production/simplerun/SimpleRun.h"
#include "production/textlist/LineRangeSource.h"
#include "production/textlist/StreamedListSource.h"
#include "production/textlist/TextListFile.h"

using namespace pennolux;

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

std::unique_ptr<LineSource> readStandardInput()
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot read standard input. ") + input.errorString());
    return std::make_unique<StreamedListSource>(input, SystemLocale().legacyCodePage());
}

// A text list is streamed, so memory does not grow with the list; a document's
// text is bounded by its reader and comes whole.
std::unique_ptr<LineSource> readList(const BatchOptions& options)
{
    if (options.readsStandardInput())
        return readStandardInput();
    return openTextList(options.listPath, DocumentReaders(), SystemLocale().legacyCodePage());
}

// The lines --first-number and --lines select, numbered as in the whole list.
LineRangeSource pieceOf(const LineSource& lines, const BatchOptions& options)
{
    const qint64 lastNumber = qint64(options.firstNumber) + lines.lineCount() - 1;
    if (options.lines.last == LineRange::kLastPossible && lastNumber > LineRange::kLastPossible) {
        throw AppError(QStringLiteral("Numbered from %1, the list's %2 lines would pass line number %3")
                           .arg(options.firstNumber)
                           .arg(lines.lineCount())
                           .arg(LineRange::kLastPossible));
    }
    return LineRangeSource(lines, options.firstNumber, options.lines);
}

// The report's own failure after a run's error is told too, but the run's
// error stays the one the tool ends with.
void finishAfterError(BatchReport& report)
{
    try {
        report.finish();
    } catch (const std::exception& error) {
        print(stderr, standardErrorText(QString::fromUtf8(error.what())) + u'\n');
    }
}

QFont fontOf(const BatchOptions& options)
{
    QFont font(options.fontFamily);
    font.setPointSize(options.pointSize);
    font.setBold(options.bold);
    font.setItalic(options.italic);
    font.setUnderline(options.underline);
    font.setStrikeOut(options.strikeOut);
    return font;
}

SimpleLook lookOf(const BatchOptions& options)
{
    SimpleLook look;
    look.background = options.background.resolveForImage();
    look.font = fontOf(options);
    look.textColor = options.textColor.resolveForImage();
    look.left = options.left;
    look.right = options.right;
    look.top = options.top;
    look.bottom = options.bottom;
    return look;
}

// A family of the template that the system lacks is drawn in a similar one,
// as in the window; a script hears of it.
void warnAboutMissingFamilies(const Template& content)
{
    QStringList warned;
    for (const auto& layer : content.TextLayers) {
        const QString family = layer ? layer->font.font.family() : QString();
        if (layer && !warned.contains(family) && !QFontDatabase::hasFamily(family)) {
            warned << family;
            print(stderr, QStringLiteral("pennolux-batch: warning: there is no font family \"%1\" for the template; "
                                         "drawing in \"%2\" instead\n")
                              .arg(escapedForMessage(family), escapedForMessage(QFontInfo(layer->font.font).family())));
        }
    }
}

// What draws a run's images and how its lines are read.
struct RunSetup {
    LineEncoderFactory encoders;
    ListFields fields;     // the Simple mode's: one field per line
    int fieldsTaken = 1;   // fields of a line that have a layer to go into
};

// The Advanced mode's encoders: the template read and checked before any
// line is, its way of reading lines as the command line says, then drawn
// at its canvas or the one asked for.
RunSetup templateSetup(const BatchOptions& options)
{
    TemplateDocument document = readTemplateFile(options.templatePath);
    document.content.fields = options.fieldsOver(document.content.fields);
    warnAboutMissingFamilies(document.content);
    const QSize canvas = options.canvas.isValid() ? options.canvas : document.canvas;
    return {templateLineEncoders(document.content, canvas, options.format),
            document.content.fields, fieldsTaken(document.content)};
}

RunSetup runSetupFor(const BatchOptions& options)
{
    if (options.runsTemplate())
        return templateSetup(options);
    return {simpleLineEncoders(lookOf(options), options.format), {}, 1};
}

// The manifest's columns for the fields: the header's names (an unnamed
// field by its place) or field1, field2, ... for each field a layer takes;
// none when a line is one field.
ManifestFields manifestFieldsFor(const RunSetup& setup, const QStringList& header)
{
    ManifestFields columns{setup.fields.format, {}};
    if (setup.fields.format == FieldFormat::OneField)
        return columns;
    const qsizetype count = header.isEmpty() ? setup.fieldsTaken : header.size();
    for (qsizetype k = 0; k < count; ++k) {
        const QString name = k < header.size() ? header[k] : QString();
        columns.names << (name.isEmpty() ? QStringLiteral("field%1").arg(k + 1) : name);
    }
    return columns;
}

QtMessageHandler previousMessageHandler = nullptr;

int showVersion()
{
    const QString executable = QCoreApplication::applicationFilePath();
    GetEXEVersionData(executable);  // throws a clear text when the block is missing
    print(stdout, batchVersionReport(formatAppVersion(readFileVersionMs(executable)), DataFiles::forRunningProgram()));
    return 0;
}

// The signal that asked the run to stop, or 0. Set by the handler only.
volatile std::sig_atomic_t stopSignal = 0;

void requestStop(int signal)
{
    stopSignal = signal;
}

// SIGINT and SIGTERM stop the run after the file in hand, which is stored
// whole or not at all, so the summary counts exactly the files on disk.
void stopOnInterrupt()
{
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

// A font the system does not have is replaced by a similar one; a script
// should hear of it rather than find different letters in its images.
void warnAboutMissingFont(const BatchOptions& options)
{
    const QFont font = fontOf(options);
    const QString used = QFontInfo(font).family();
    if (!QFontDatabase::hasFamily(options.fontFamily)) {
        print(stderr, QStringLiteral("pennolux-batch: warning: there is no font family \"%1\"; drawing in \"%2\" instead\n")
                          .arg(escapedForMessage(options.fontFamily), escapedForMessage(used)));
    }
}

// A script hears which lines' images lack part of their text, which no
// exit status would tell.
void warnAboutCutLines(const LineRunResult& result)
{
    if (result.cutLines > 0)
        print(stderr, QStringLiteral("pennolux-batch: warning: %1\n").arg(cutLinesListing(result)));
}

// Lines whose fields do not match the layers still make images; a script
// hears how many, as the window's summary tells.
void warnAboutFieldCounts(const LineRunResult& result)
{
    const QString sentence = fieldCountSentence(result);
    if (!sentence.isEmpty())
        print(stderr, QStringLiteral("pennolux-batch: warning: %1\n").arg(sentence));
}

int run(const BatchOptions& options)
{
    ensureDesignFontAvailable();
    warnAboutMissingFont(options);
    const RunSetup setup = runSetupFor(options);
    const std::unique_ptr<const LineSource> list = readList(options);
    // The header is the list's first line whatever its number; the records
    // keep theirs, so the pieces of a list still add up to one run.
    std::optional<LinesAfterHeader> afterHeader;
    QStringList header;
    if (setup.fields.headerLine) {
        header = headerNames(*list, setup.fields.format, options.firstNumber);
        afterHeader.emplace(*list);
    }
    const LineRangeSource lines = pieceOf(afterHeader ? *afterHeader : *list, options);
    BatchReport report(options, manifestFieldsFor(setup, header));
    ProgressBar progressBar(stderr, !options.quiet && ::isatty(STDERR_FILENO));
    LineRunOptions run;
    run.destination = options.destination.isEmpty() ? QDir::currentPath() : options.destination;
    run.format = options.format;
    run.threads = QThread::idealThreadCount();
    run.firstNumber = lines.firstNumber();
    run.baseName = fileBaseNames(options.namePattern, setup.fields.format);
    run.progress = [&progressBar](int linesSeen, int lineCount) {
        progressBar.update(linesSeen, lineCount);
        return stopSignal == 0;
    };
    run.stored = [&report](const StoredLine& line) { report.add(line); };
    stopOnInterrupt();
    LineRunResult result;
    try {
        result = runLines(lines, setup.encoders, run);
    } catch (...) {
        progressBar.clear();
        print(stdout, report.summary());
        finishAfterError(report);
        throw;
    }
    progressBar.clear();
    print(stdout, report.summary());
    warnAboutCutLines(result);
    warnAboutFieldCounts(result);
    report.finish();
    return stopSignal == 0 ? 0 : 128 + stopSignal;
}

// What a script reads on standard error is the run's own error; Qt's notes
// about the missing desktop session (no XDG_RUNTIME_DIR, no display) would
// only bury it.
void dropQtNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        previousMessageHandler(type, context, message);
}

// A desktop's theme plugin (QT_QPA_PLATFORMTHEME=gtk3 over SSH from a themed
// session) wants the display the offscreen tool does without, and ends the
// process when it finds none; the images take no colour from a theme anyway.
void ignoreDesktopThemeOffscreen()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform != "offscreen" && platform != "minimal")
        return;
    // Only the variable picks a theme plugin here: the offscreen platform's
    // own choice is its plain theme, and the tool has no widgets to style.
    qunsetenv("QT_QPA_PLATFORMTHEME");
}

} // namespace

int main(int argc, char** argv)
{
    // Beyond the file-size limit a write fails with EFBIG and is reported,
    // instead of the signal ending the process in the middle of a file.
    std::signal(SIGXFSZ, SIG_IGN);
    // Every image's zlib state is a few hundred KiB; above glibc's default
    // thresholds each one would be mapped and unmapped again, page faults and
    // TLB flushes included. Keeping such blocks in the heap roughly halves the
    // cost of a small PNG.
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024);
    previousMessageHandler = qInstallMessageHandler(dropQtNotes);
    // Fonts are needed, a display is not.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ignoreDesktopThemeOffscreen();
    // Qt sees only the program name, so none of our arguments is taken as one of its own.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    QCoreApplication::setApplicationName(QStringLiteral("pennolux-batch"));
    QCoreApplication::setOrganizationName(QStringLiteral("Zantoph"));

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    try {
        const BatchOptions options = parseBatchOptions(arguments);
        if (options.showHelp) {
            print(stdout, batchUsageText());
            return 0;
        }
        if (options.showVersion)
            return showVersion();
        return run(options);
    } catch (const BatchUsageError& error) {
        print(stderr, QStringLiteral("pennolux-batch: %1\nTry \"pennolux-batch --help\".\n")
                          .arg(QString::fromUtf8(error.what())));
        return kExitUsage;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        print(stderr, standardErrorText(QString::fromUtf8(error.what())) + u'\n');
        return kExitFailed;
    }
}
