#include "HandlerGuard.h"

#include <QGuiApplication>
#include <exception>

#include "AppError.h"
#include "MessageBoxes.h"

namespace pennolux {

HandlerGuard::HandlerGuard(MessageBoxes& messageBoxes, QWidget* owner)
    : messageBoxes_(messageBoxes), owner_(owner)
{
}

void HandlerGuard::run(const std::function<void()>& handler) const
{
    QString failure;
    try {
        handler();
        return;
    } catch (const std::bad_alloc&) {
        failure = QStringLiteral("Out of memory");
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    } catch (...) {
        failure = QStringLiteral("Unexpected error");
    }
    // A guard inside the handler has already unwound; this catches a pointer
    // set by code that forgot one, so the user is never left with an hourglass.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    showError(failure);
}

void HandlerGuard::showError(const QString& message) const
{
    messageBoxes_.show(owner_, QGuiApplication::applicationDisplayName(), standardErrorText(message),
                       MessageIcon::Error);
}

} // namespace pennolux
