#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace pennolux {

class MessageBoxes;

// The one way every handler of every window runs: an error that leaves the
// handler is shown in the standard error box (error icon, title "Pennolux")
// and the application goes on, with the normal pointer restored.
class HandlerGuard {
public:
    HandlerGuard(MessageBoxes& messageBoxes, QWidget* owner);

    void run(const std::function<void()>& handler) const;
    void showError(const QString& message) const;

    // A slot for QObject::connect that runs handler through this guard.
    template <typename Window>
    auto slot(Window* window, void (Window::*handler)()) const
    {
        return [this, window, handler] { run([window, handler] { (window->*handler)(); }); };
    }

private:
    MessageBoxes& messageBoxes_;
    QWidget* owner_;
};

} // namespace pennolux
