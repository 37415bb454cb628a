#pragma once

#include <QString>
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

    std::vector<ShownMessage> shown;
    bool answerYes = false;
};

} // namespace pennolux::testing
