#pragma once

#include <QSize>
#include <QString>
#include <functional>

#include "editor/history/TemplateHistory.h"
#include "editor/model/TemplateModel.h"
#include "production/linerun/LineRun.h"

class QPalette;

namespace pennolux {

// The template being edited and its undo history, apart from any window:
// the Advanced page, its canvas and the main window's template commands all
// work on the one session the main window holds. Opening, saving and the
// Advanced run go through here, so each is one undo step and none needs a
// widget. The sizes a window knows (the canvas the template is shown on) are
// passed in.
class TemplateSession {
public:
    // The default picture and no layers; the history is empty.
    TemplateSession();
    ~TemplateSession();
    TemplateSession(const TemplateSession&) = delete;
    TemplateSession& operator=(const TemplateSession&) = delete;

    TemplateModel& model() { return model_; }
    const TemplateModel& model() const { return model_; }
    // Every change to the template, for undo and redo.
    TemplateHistory& history() { return history_; }

    // Replaces the layers, the picture and the size the template is run at
    // with the file's, as one undo step; the file is then the template's and
    // the template unchanged. A file that cannot be used throws AppError and
    // changes nothing.
    void open(const QString& path);
    // Writes the template with `canvas` as the size it is run at; the file
    // is then the template's and the template unchanged. Throws AppError; an
    // earlier file stays as it was then, and so do the file and the changes.
    void save(const QString& path, QSize canvas);
    // The template as at start (the default picture, no layers, the run
    // following the window's canvas) with whatever firstLayers adds to it
    // (the page's Text 1), as one undo step; no file, nothing changed.
    void startNew(const std::function<void()>& firstLayers);

    // The file the template came from or was last saved to; empty for a
    // template never opened nor saved.
    const QString& filePath() const { return filePath_; }
    // Changed since it was opened, saved or started: the history has left
    // the step that was then current (an undo back to it counts as unchanged).
    bool isModified() const;

    // The size of the images a run makes: the opened template's, else the
    // canvas the template is shown on.
    QSize runCanvasSize(QSize shownCanvas) const;
    // Fixes the image size (each side 1 to 65,535, at most 100,000,000
    // pixels in all) as one undo step; a size no image can have throws
    // AppError and changes nothing.
    void setImageSize(QSize size);
    // The image follows the canvas again, as one undo step.
    void followCanvas();
    bool imageFollowsCanvas() const { return !model_.runCanvas().isValid(); }
    // How a run reads each list line into the text layers, as one undo step.
    void setFields(const ListFields& fields);

    // The run's plan: encoders of the template as it is now, its colours
    // resolved through the palette, drawing images of runCanvasSize().
    LineEncoderFactory runEncoders(QSize shownCanvas, ImageFormat format) const;
    // Runs the lines through the encoders (see runLines). The layers a line
    // fills take each line as the run passes it (an empty line empties
    // them), before options.progress hears of the line; what the run leaves
    // in them is one undo step, also when the run fails. With a header line
    // the list's first line makes no image.
    LineRunResult run(const LineSource& lines, const LineEncoderFactory& encoders, LineRunOptions options);

private:
    TemplateModel model_;
    TemplateHistory history_{model_};
    const TemplateState blank_;
    QString filePath_;
};

} // namespace pennolux
