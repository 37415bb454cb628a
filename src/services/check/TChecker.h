#pragma once

#include <QString>
#include <QThread>
#include <memory>

namespace pennolux {

class CancelSignal;
class Clock;
class ImportantNotice;
class Locale;
class MachineIdentity;
class SystemInfo;
struct UpdateCheckState;

// Everything the check reads from the program, copied before it starts.
struct UpdateCheckInputs {
    QString appTitle;
    QString appVersion;
    QString serviceBase;     // host[:port] of the web service
    QString storeFolder;     // the per-user folder of "update.ini"; empty: none to be had
    QString importantTitle;  // the translated title of the service's notice
    QString caBundleFile;    // empty: the system's authorities
    int timeoutMs = 10000;
};

// The platform the check asks; each must outlive the thread.
struct UpdateCheckPlatform {
    const MachineIdentity& machineIdentity;
    const SystemInfo& systemInfo;
    const Locale& locale;
    const Clock& clock;
    ImportantNotice& notice;
};

// The update check on a thread of its own: one exchange with the service,
// its results in the shared state, CheckFinished as the very last step.
// Destroying it abandons a transfer or a notice still waited for and joins
// the thread, which then touches nothing more.
class TChecker final : public QThread {
public:
    TChecker(UpdateCheckInputs inputs, UpdateCheckPlatform platform, std::shared_ptr<UpdateCheckState> state);
    ~TChecker() override;

    void abandon();
    // The check itself; run() calls it on the thread.
    void Execute();

protected:
    void run() override;

private:
    void check();
    void takeAnswer(const QStringList& lines, const QString& lastCheck, int lastCount, const QString& today);

    UpdateCheckInputs inputs_;
    UpdateCheckPlatform platform_;
    std::shared_ptr<UpdateCheckState> state_;
    std::shared_ptr<CancelSignal> cancel_;
};

// "<per-user folder>/update.ini", the folder made when missing; empty when it
// cannot be made. Throws AppError when there is no per-user folder at all.
QString openUpdateStoreFile(const QString& storeFolder);

} // namespace pennolux
