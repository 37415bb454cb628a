#include "editor/history/TemplateStep.h"

#include "editor/background/BackgroundPicture.h"
#include "editor/model/TemplateModel.h"

namespace pennolux {

TemplateStep::TemplateStep(TemplateModel& model, const QString& text, TemplateState before, StepKind kind,
                           LayerRef layer)
    : QUndoCommand(text), model_(model), other_(std::move(before)), kind_(kind), layer_(layer)
{
    dropPictureNotShown();
}

void TemplateStep::undo()
{
    if (applied_)
        swapWithModel();
}

void TemplateStep::redo()
{
    // QUndoStack redoes a step as it is pushed; the model already shows it.
    if (!applied_)
        swapWithModel();
}

void TemplateStep::swapWithModel()
{
    TemplateState incoming = other_;
    Template& content = incoming.content;
    // Decoded before anything changes: a failure leaves the model and the
    // step as they were.
    if (content.background.isNull() && !content.backgroundBytes.isEmpty())
        content.background = decodeBackgroundBytes(content.backgroundSource, content.backgroundBytes);
    other_ = model_.state();
    model_.restore(std::move(incoming));
    applied_ = !applied_;
    dropPictureNotShown();
}

void TemplateStep::dropPictureNotShown()
{
    Template& content = other_.content;
    if (!content.backgroundBytes.isEmpty() && content.background.cacheKey() != model_.content().background.cacheKey())
        content.background = QImage();
}

bool TemplateStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const TemplateStep*>(other);
    // The earlier step keeps its state before, which is all a merged step needs.
    return next->kind_ == kind_ && next->layer_ == layer_;
}

} // namespace pennolux
