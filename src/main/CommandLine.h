#pragma once

#include <QString>
#include <QStringList>

namespace pennolux {

// pennolux [FILE...] --help --version. Help and version are answered
// before any display is opened, so they work over SSH and in scripts.
enum class EarlyAnswer { None, Help, Version };
// From the raw arguments (without the program's name): --help or -h, or
// --version, anywhere before "--".
EarlyAnswer earlyAnswerOf(const QStringList& arguments);

QString windowHelpText();
// "pennolux 2.1" and the copyright line, from the executable's version block.
QString windowVersionText(const QString& executablePath);

struct WindowFiles {
    QStringList files;    // absolute paths, in the order given
    QString unknownOption;  // the first option not known, or empty
};
// The arguments Qt's own options (-style, -platform, ...) were taken from:
// every argument is a file, those after "--" even when they start with "-".
WindowFiles windowFilesOf(const QStringList& arguments);

} // namespace pennolux
