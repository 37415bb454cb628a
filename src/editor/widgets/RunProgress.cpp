#include "editor/widgets/RunProgress.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QWidget>

namespace pennolux {

namespace {

// Pending events are handled at least this often: the window answers at
// once, and a fast run does not spend its time repainting.
constexpr qint64 kEventIntervalMs = 30;

} // namespace

RunProgress::RunProgress(QStatusBar& statusBar, std::vector<QWidget*> lockedDuringRun)
    : statusBar_(&statusBar), window_(statusBar.window())
{
    for (QWidget* widget : lockedDuringRun) {
        if (widget && widget->isEnabled()) {
            widget->setEnabled(false);
            locked_.emplace_back(widget);
        }
    }
    QCoreApplication::instance()->installEventFilter(this);
    sinceEvents_.start();
}

RunProgress::~RunProgress()
{
    QCoreApplication::instance()->removeEventFilter(this);
    for (const QPointer<QWidget>& widget : locked_)
        if (widget)
            widget->setEnabled(true);
    if (statusBar_)
        statusBar_->clearMessage();
}

bool RunProgress::lineDone(int linesSeen, int lineCount)
{
    if (statusBar_)
        statusBar_->showMessage(
            QStringLiteral("Line %1 of %2").arg(QLocale().toString(linesSeen), QLocale().toString(lineCount)));
    if (sinceEvents_.elapsed() >= kEventIntervalMs || linesSeen >= lineCount) {
        QCoreApplication::processEvents();
        sinceEvents_.restart();
    }
    return !stopRequested_;
}

bool RunProgress::eventFilter(QObject* watched, QEvent* event)
{
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window_)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        stopRequested_ = true;
        return true;
    }
    if (event->type() == QEvent::Close && watched == window_)
        stopRequested_ = true;
    return QObject::eventFilter(watched, event);
}

} // namespace pennolux
