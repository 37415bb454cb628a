// pennolux-batch: the Simple run without a window, for scripts and servers.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <malloc.h>
#include <QPalette>
#include <QThread>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "platform/AppError.h"
#include "app/DesignFont.h"
#include "app/VersionInfo.h"
#include "platform/DocumentImport.h"
#include "platform/Locale.h"
#include "production/batch/BatchOptions.h"
#include "production/textlist/ListLines.h"
#include "production/batch/ProgressBar.h"
#include "production/linerun/LineRun.h"
#include "production/simplerun/SimpleRun.h"
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

bool isWordDocument(const QString& path, const DocumentImport& documents)
{
    const QString name = QFileInfo(path).fileName().toLower();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    return (extension == QLatin1String(".doc") || extension == QLatin1String(".docx")) &&
           documents.WordInstalled(extension);
}

// A text list is streamed, so memory does not grow with the list; a document's
// text is bounded by its reader and comes whole.
std::unique_ptr<LineSource> readList(const BatchOptions& options)
{
    if (options.readsStandardInput())
        return readStandardInput();
    const DocumentReaders documents;
    const QByteArray legacyCodePage = SystemLocale().legacyCodePage();
    if (isWordDocument(options.listPath, documents))
        return std::make_unique<ListTextLineSource>(loadTextList(options.listPath, documents, legacyCodePage));
    // A pipe or a device ("<(command)", a FIFO) can be read only once, so it is
    // spooled like standard input before the two passes.
    const QFileInfo info(options.listPath);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        QFile stream(options.listPath);
        if (!stream.open(QIODevice::ReadOnly))
            throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(options.listPath, stream.errorString()));
        return std::make_unique<StreamedListSource>(stream, legacyCodePage);
    }
    return std::make_unique<StreamedListSource>(options.listPath, legacyCodePage);
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
    look.background = options.background.resolve();
    look.font = fontOf(options);
    look.textColor = options.textColor.resolve();
    look.left = options.left;
    look.right = options.right;
    look.top = options.top;
    look.bottom = options.bottom;
    return look;
}

QtMessageHandler previousMessageHandler = nullptr;

int showVersion()
{
    const QString executable = QCoreApplication::applicationFilePath();
    GetEXEVersionData(executable);  // throws a clear text when the block is missing
    print(stdout, QStringLiteral("pennolux-batch %1\n").arg(formatAppVersion(readFileVersionMs(executable))));
    return 0;
}

int run(const BatchOptions& options)
{
    ensureDesignFontAvailable();
    const std::unique_ptr<const LineSource> lines = readList(options);
    ProgressBar progressBar(stderr, !options.quiet && ::isatty(STDERR_FILENO));
    LineRunOptions run;
    run.destination = options.destination.isEmpty() ? QDir::currentPath() : options.destination;
    run.format = options.format;
    run.threads = QThread::idealThreadCount();
    run.progress = [&progressBar](int linesSeen, int lineCount) {
        progressBar.update(linesSeen, lineCount);
        return true;
    };
    const LineRunResult result = runLines(*lines, simpleLineEncoders(lookOf(options), options.format), run);
    progressBar.clear();
    print(stdout, QStringLiteral("Saved %1 image file(s)\n").arg(result.made));
    return 0;
}

// What a script reads on standard error is the run's own error; Qt's notes
// about the missing desktop session (no XDG_RUNTIME_DIR, no display) would
// only bury it.
void dropQtNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        previousMessageHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
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
