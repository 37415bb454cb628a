#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "platform/MessageBoxes.h"

namespace pennolux::testing {

struct ShownMessage {
    QString title;
    QString text;
    MessageIcon icon;
};

// Records every message and answers questions from a preset answer.
class FakeMessageBoxes final : public MessageBoxes {
public:
    void show(QWidget*, const QString& title, const QString& text, MessageIcon icon) override
    {
        shown.push_back({title, text, icon});
    }
    bool askYesNo(QWidget*, const QString& title, const QString& question) override
    {
        shown.push_back({title, question, MessageIcon::Question});
        return answerYes;
    }
    // Kept apart from the other boxes; answered Discard unless the test says
    // otherwise, so a test that never thinks of unsaved changes goes on as
    // though there were none.
    SaveChoice askSaveChanges(QWidget*, const QString& title, const QString& question) override
    {
        saveQuestions.push_back({title, question, MessageIcon::Warning});
        return saveAnswer;
    }

    // Recorded like the others; closed at once unless keepModelessOpen, when
    // the test closes it through openModeless.
    void showModeless(QWidget*, const QString& title, const QString& text, MessageIcon icon,
                      std::function<void()> closed) override
    {
        shown.push_back({title, text, icon});
        if (keepModelessOpen)
            openModeless.push_back(std::move(closed));
        else
            closed();
    }

    std::vector<ShownMessage> shown;
    bool answerYes = false;
    SaveChoice saveAnswer = SaveChoice::Discard;
    std::vector<ShownMessage> saveQuestions;
    bool keepModelessOpen = false;
    std::vector<std::function<void()>> openModeless;
};

} // namespace pennolux::testing
