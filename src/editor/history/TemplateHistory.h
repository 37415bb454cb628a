#pragma once

#include <QString>
#include <QUndoStack>
#include <functional>
#include <optional>

#include "editor/history/TemplateStep.h"
#include "editor/model/TemplateState.h"

namespace pennolux {

class TemplateModel;

// Undo and redo over every change to the template: each edit runs through
// here and, when it changed the template, becomes one step of the stack.
// A drag is one step from the press to the release.
class TemplateHistory {
public:
    explicit TemplateHistory(TemplateModel& model);
    TemplateHistory(const TemplateHistory&) = delete;
    TemplateHistory& operator=(const TemplateHistory&) = delete;

    QUndoStack& stack() { return stack_; }
    const QUndoStack& stack() const { return stack_; }

    // Runs the edit and records it under the name when it changed the
    // template, also when it then threw. Edits of one kind other than Single on one layer that
    // follow one another become one step. An edit recorded while another
    // runs (a field reacting to the editors of a new layer) is part of it.
    void record(const QString& text, const std::function<void()>& edit, StepKind kind = StepKind::Single,
                LayerRef layer = {});

    // A step made of many edits (a drag, a run): everything between begin
    // and end becomes one step, named at the end or, when something else
    // comes first and closes it, by `text`.
    void beginStep(const QString& text);
    void endStep(const std::optional<QString>& text = std::nullopt);

    // Puts the state in place as one step (opening a template).
    void replace(const QString& text, TemplateState state);

    void undo();
    void redo();

private:
    void push(const QString& text, TemplateState before, StepKind kind, LayerRef layer);

    TemplateModel& model_;
    QUndoStack stack_;
    std::optional<TemplateState> openStep_;
    QString openStepText_;
    bool recording_ = false;
};

} // namespace pennolux
