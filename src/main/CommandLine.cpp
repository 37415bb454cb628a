#include "CommandLine.h"

#include <QFileInfo>

#include "app/version/VersionInfo.h"

namespace pennolux {

EarlyAnswer earlyAnswerOf(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument == u"--")
            break;
        if (argument == u"--help" || argument == u"-h")
            return EarlyAnswer::Help;
        if (argument == u"--version")
            return EarlyAnswer::Version;
    }
    return EarlyAnswer::None;
}

QString windowHelpText()
{
    return QStringLiteral(
        "Usage: pennolux [OPTION]... [FILE]...\n"
        "Turn a list of short texts into image files, in a window.\n"
        "\n"
        "Each FILE is a list (.txt, .tsv, .csv, .docx, .doc, .odt), which replaces\n"
        "the sample list, or a template (.pnxt), which opens on the Advanced page.\n"
        "Of several files the first list and the first template are opened.\n"
        "\n"
        "  -h, --help     show this help and exit\n"
        "      --version  show the version and exit\n"
        "      --         every argument after it is a file\n"
        "\n"
        "Qt's own options (-style, -platform, ...) are understood as well.\n"
        "For images without a window, see pennolux-batch(1).\n");
}

QString windowVersionText(const QString& executablePath)
{
    return QStringLiteral("pennolux %1\nCopyright (c) 2026 Zantoph, MIT licence\n")
        .arg(formatAppVersion(readFileVersionMs(executablePath)));
}

WindowFiles windowFilesOf(const QStringList& arguments)
{
    WindowFiles result;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
            continue;
        }
        // A lone "-" is no option, and no file either: the window reads no standard input.
        if (!optionsEnded && argument.startsWith(u'-')) {
            if (result.unknownOption.isEmpty())
                result.unknownOption = argument;
            continue;
        }
        result.files << QFileInfo(argument).absoluteFilePath();
    }
    return result;
}

} // namespace pennolux
