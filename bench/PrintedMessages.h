#pragma once

#include <QString>
#include <cstdio>

#include "platform/MessageBoxes.h"

namespace pennolux {

// A benchmark's windows never wait on a box: what one would show is printed.
class PrintedMessages final : public MessageBoxes {
public:
    void show(QWidget*, const QString& title, const QString& text, MessageIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    SaveChoice askSaveChanges(QWidget*, const QString&, const QString&) override { return SaveChoice::Discard; }
};

} // namespace pennolux
