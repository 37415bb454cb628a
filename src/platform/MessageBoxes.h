#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace pennolux {

enum class MessageIcon { None, Information, Warning, Error, Question };

// The answer to "save the changes first?" before a document is set aside.
enum class SaveChoice { Save, Discard, Cancel };

// Message boxes show their text as plain text: file names, error texts and
// translations are data, never markup.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // One "OK" button.
    virtual void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) = 0;
    // "Yes" and "No" with a question icon, centred on the screen; true only for "Yes".
    virtual bool askYesNo(QWidget* parent, const QString& title, const QString& question) = 0;
    // "Save", "Discard" and "Cancel" with a warning icon, Save the default
    // and Escape cancelling; closing the box cancels too.
    virtual SaveChoice askSaveChanges(QWidget* parent, const QString& title, const QString& question) = 0;
    // One "OK" button, without blocking the caller or the other windows;
    // closed runs once, on this thread, when the box goes away.
    virtual void showModeless(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                              std::function<void()> closed)
    {
        show(parent, title, text, icon);
        closed();
    }
};

} // namespace pennolux
