#include "editor/history/TemplateHistory.h"

#include "editor/model/TemplateModel.h"

namespace pennolux {

namespace {

// Each step holds one template, a few kilobytes without its picture.
constexpr int kMostSteps = 1000;

} // namespace

TemplateHistory::TemplateHistory(TemplateModel& model) : model_(model)
{
    stack_.setUndoLimit(kMostSteps);
}

void TemplateHistory::push(const QString& text, TemplateState before, StepKind kind, LayerRef layer)
{
    stack_.push(new TemplateStep(model_, text, std::move(before), kind, layer));
}

void TemplateHistory::record(const QString& text, const std::function<void()>& edit, StepKind kind, LayerRef layer)
{
    if (recording_) {
        edit();
        return;
    }
    endStep();
    TemplateState before = model_.state();
    recording_ = true;
    // Whatever the edit changed before it failed is a step too.
    const auto finish = [&] {
        recording_ = false;
        if (templateChanged(before, model_.state()))
            push(text, std::move(before), kind, layer);
    };
    try {
        edit();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TemplateHistory::beginStep(const QString& text)
{
    endStep();
    openStep_ = model_.state();
    openStepText_ = text;
}

void TemplateHistory::endStep(const std::optional<QString>& text)
{
    if (!openStep_)
        return;
    TemplateState before = std::move(*openStep_);
    openStep_.reset();
    if (templateChanged(before, model_.state()))
        push(text.value_or(openStepText_), std::move(before), StepKind::Single, {});
}

void TemplateHistory::replace(const QString& text, TemplateState state)
{
    endStep();
    TemplateState before = model_.state();
    model_.restore(std::move(state));
    push(text, std::move(before), StepKind::Single, {});
}

void TemplateHistory::undo()
{
    endStep();
    stack_.undo();
}

void TemplateHistory::redo()
{
    endStep();
    stack_.redo();
}

} // namespace pennolux
