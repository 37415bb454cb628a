#include "UiThreadNotice.h"

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/MessageBoxes.h"
#include "services/requests/CancelSignal.h"
#include "services/requests/PostServiceRequest.h"

namespace pennolux {

namespace {

// Shared with the box's closing callback, which may outlive the wait.
struct NoticeWait {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;

    void wake(bool boxClosed)
    {
        std::lock_guard lock(mutex);
        closed = closed || boxClosed;
        changed.notify_all();
    }
};

} // namespace

UiThreadNotice::UiThreadNotice(MessageBoxes& messageBoxes, QWidget* parent)
    : messageBoxes_(messageBoxes), parent_(parent)
{
}

void UiThreadNotice::showAndWait(const QString& title, const QString& text, CancelSignal& cancel)
{
    auto wait = std::make_shared<NoticeWait>();
    if (!cancel.setWaker([wait] { wait->wake(false); }))
        throw TransferCancelled();
    const WakerRegistration registration(&cancel);

    // Queued to this object: dropped unread if the window goes first.
    QMetaObject::invokeMethod(
        this,
        [this, title, text, wait] {
            messageBoxes_.showModeless(parent_, title, text, MessageIcon::Warning,
                                       [wait] { wait->wake(true); });
        },
        Qt::QueuedConnection);

    std::unique_lock lock(wait->mutex);
    wait->changed.wait(lock, [&] { return wait->closed || cancel.isCancelled(); });
    if (!wait->closed)
        throw TransferCancelled();
}

} // namespace pennolux
