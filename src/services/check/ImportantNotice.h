#pragma once

#include <QString>

namespace pennolux {

class CancelSignal;

// The service's "important" message, which the check shows and waits for.
class ImportantNotice {
public:
    virtual ~ImportantNotice() = default;
    // Returns once the user has closed the message; throws TransferCancelled
    // when cancel fires first.
    virtual void showAndWait(const QString& title, const QString& text, CancelSignal& cancel) = 0;
};

} // namespace pennolux
