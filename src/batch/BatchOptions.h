#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

#include "production/fields/FileNamePattern.h"
#include "production/fields/ListFields.h"

#include "production/textlist/LineRangeSource.h"
#include "production/writers/ImageFormat.h"
#include "platform/text/ColorValue.h"

namespace pennolux {

// What pennolux-batch was asked to do; the defaults are the window's design values.
struct BatchOptions {
    QString listPath;                  // empty or "-": standard input
    QString destination;               // null: the current folder
    ImageFormat format = ImageFormat::PNG;
    ColorValue background = colors::clSkyBlue;
    QString fontFamily = QStringLiteral("Tahoma");
    int pointSize = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    ColorValue textColor = colors::clWindowText;
    int left = 1;
    int right = 1;
    int top = 1;
    int bottom = 1;
    // Which lines run and how they are numbered, whatever makes their images.
    int firstNumber = 1;               // the number of the list's first line
    LineRange lines;                   // the line numbers to run
    QString manifestPath;              // null: none; "-": standard output
    // The files' names without their extension, in both modes.
    FileNamePattern namePattern;
    bool quiet = false;
    bool showHelp = false;
    bool showVersion = false;
    // The Advanced mode: a template file, and the canvas it runs at
    // (invalid: the template's own).
    QString templatePath;              // null: the Simple mode
    QSize canvas;
    // How a line is read into the template's layers; unset: as the template
    // was saved.
    std::optional<FieldFormat> fieldFormat;
    std::optional<bool> headerLine;
    QStringList simpleOnlyOptions;     // as given, for the complaint about them
    QStringList templateOnlyOptions;   // as given, for the complaint about them

    bool readsStandardInput() const { return listPath.isEmpty() || listPath == QLatin1String("-"); }
    bool writesManifest() const { return !manifestPath.isNull(); }
    bool manifestToStandardOutput() const { return manifestPath == QLatin1String("-"); }
    bool runsTemplate() const { return !templatePath.isNull(); }
    // The template's saved way of reading its list, with what the command
    // line says instead.
    ListFields fieldsOver(ListFields saved) const
    {
        saved.format = fieldFormat.value_or(saved.format);
        saved.headerLine = headerLine.value_or(saved.headerLine);
        return saved;
    }
};

// A command line the tool cannot follow; its text says what is wrong.
class BatchUsageError : public std::runtime_error {
public:
    explicit BatchUsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// arguments without the program name. Throws BatchUsageError.
BatchOptions parseBatchOptions(const QStringList& arguments);

// The text of --help.
QString batchUsageText();

} // namespace pennolux
