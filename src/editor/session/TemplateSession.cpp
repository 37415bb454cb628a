#include "editor/session/TemplateSession.h"

#include <QPalette>

#include "editor/background/BackgroundPicture.h"
#include "editor/file/TemplateFile.h"
#include "editor/run/TemplateLineEncoder.h"
#include "editor/run/TemplateRunPlan.h"
#include "production/writers/ImageSizeLimits.h"

namespace pennolux {

TemplateSession::TemplateSession() : model_(defaultBackground()), blank_(model_.state()) {}

TemplateSession::~TemplateSession()
{
    // The stack clears itself as it goes and would tell whoever listens
    // (the window's Edit menu) of a history that is going away.
    history_.stack().disconnect();
}

void TemplateSession::open(const QString& path)
{
    const TemplateDocument document = readTemplateFile(path);
    history_.replace(QStringLiteral("Open Template"), openedState(document));
    filePath_ = path;
    history_.stack().setClean();
}

void TemplateSession::save(const QString& path, QSize canvas)
{
    writeTemplateFile(path, documentOf(model_.state(), canvas));
    filePath_ = path;
    history_.stack().setClean();
}

void TemplateSession::startNew(const std::function<void()>& firstLayers)
{
    history_.record(QStringLiteral("New Template"), [this, &firstLayers] {
        model_.restore(blank_);
        if (firstLayers)
            firstLayers();
    });
    filePath_.clear();
    history_.stack().setClean();
}

bool TemplateSession::isModified() const
{
    return !history_.stack().isClean();
}

QSize TemplateSession::runCanvasSize(QSize shownCanvas) const
{
    return model_.runCanvas().isValid() ? model_.runCanvas() : shownCanvas;
}

void TemplateSession::setImageSize(QSize size)
{
    // Checked here too: an invalid size would mean following the canvas.
    checkWorkingImageSize(size.width(), size.height());
    history_.record(QStringLiteral("Image Size"), [this, size] { model_.setRunCanvas(size); });
}

void TemplateSession::followCanvas()
{
    history_.record(QStringLiteral("Follow the Window"), [this] { model_.setRunCanvas(QSize()); });
}

void TemplateSession::setFields(const ListFields& fields)
{
    if (fields != model_.content().fields)
        history_.record(QStringLiteral("Fields"), [this, fields] { model_.setFields(fields); });
}

LineEncoderFactory TemplateSession::runEncoders(QSize shownCanvas, ImageFormat format) const
{
    return templateLineEncoders(model_.content(), runCanvasSize(shownCanvas), format);
}

LineRunResult TemplateSession::run(const LineSource& lines, const LineEncoderFactory& encoders,
                                   LineRunOptions options)
{
    StoredLine lastStored;
    options.stored = [&lastStored, stored = std::move(options.stored)](const StoredLine& line) {
        lastStored = line;
        if (stored)
            stored(line);
    };
    const int firstNumber = options.firstNumber;
    options.progress = [this, &lastStored, firstNumber, progress = std::move(options.progress)](int linesSeen,
                                                                                               int lineCount) {
        // Only lines that made an image were stored; the others are empty.
        const bool stored = lastStored.number == firstNumber + linesSeen - 1;
        const Template& content = model_.content();
        const QStringList fields = stored ? splitFields(lastStored.text, content.fields.format) : QStringList();
        for (const qint64 number : fieldLayerNumbers(content))
            model_.setText(number, number <= fields.size() ? fields[number - 1] : QString());
        return progress ? progress(linesSeen, lineCount) : true;
    };
    history_.beginStep(QStringLiteral("Run"));
    struct EndStep {
        TemplateHistory& history;
        ~EndStep() { history.endStep(); }
    } endStep{history_};
    if (model_.content().fields.headerLine)
        return runLines(LinesAfterHeader(lines), encoders, options);
    return runLines(lines, encoders, options);
}

} // namespace pennolux
