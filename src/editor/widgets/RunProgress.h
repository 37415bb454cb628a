#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStatusBar>
#include <QWidget>
#include <vector>

namespace pennolux {

// What a run shows and hears while it works on the user-interface thread:
// "Line i of n" in the status bar (numbers grouped as the locale groups
// them), the window kept responsive between lines, and Esc (or closing the
// window) to stop after the current line. The
// widgets handed in are disabled for the run, so the template and the run's
// settings cannot change under it.
class RunProgress final : public QObject {
    Q_OBJECT
public:
    RunProgress(QStatusBar& statusBar, std::vector<QWidget*> lockedDuringRun);
    ~RunProgress() override;
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    // After each line; false once the user asked to stop.
    bool lineDone(int linesSeen, int lineCount);
    bool stopRequested() const { return stopRequested_; }
    void requestStop() { stopRequested_ = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QStatusBar> statusBar_;
    QPointer<QWidget> window_;
    std::vector<QPointer<QWidget>> locked_;
    QElapsedTimer sinceEvents_;
    bool stopRequested_ = false;
};

} // namespace pennolux
