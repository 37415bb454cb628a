#pragma once

#include <QUndoCommand>

#include "editor/model/Layers.h"
#include "editor/model/TemplateState.h"

namespace pennolux {

class TemplateModel;

// Edits that follow one another and make one step: typing into a layer's
// text, typing into one of the four fields, moving a layer with the keys.
enum class StepKind { Single = -1, Text = 1, Left, Top, Width, Height, Nudge };

// One undo step: the state of the template on the other side of the step.
// Undo and redo each swap it with the model's state, so a step holds one
// state whichever way it was last taken. A picture that can be decoded again
// from its bytes is not kept in a step while the canvas shows another one:
// a history of large photographs costs their files' size, not their pixels.
class TemplateStep final : public QUndoCommand {
public:
    // The model already shows the state after the step; `before` is the one
    // undo puts back.
    TemplateStep(TemplateModel& model, const QString& text, TemplateState before, StepKind kind, LayerRef layer);

    void undo() override;
    void redo() override;
    int id() const override { return int(kind_); }
    bool mergeWith(const QUndoCommand* other) override;

private:
    void swapWithModel();
    void dropPictureNotShown();

    TemplateModel& model_;
    TemplateState other_;
    StepKind kind_;
    LayerRef layer_;
    bool applied_ = true;  // the model shows the state after the step
};

} // namespace pennolux
