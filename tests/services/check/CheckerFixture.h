#pragma once

#include <QDir>
#include <memory>
#include <utility>
#include <vector>

#include "FakeClock.h"
#include "FakeLocale.h"
#include "FakeMachineIdentity.h"
#include "FakeSystemInfo.h"
#include "IsolatedHomeTest.h"
#include "LocalService.h"
#include "services/check/ImportantNotice.h"
#include "services/check/TChecker.h"
#include "services/check/UpdateCheckState.h"
#include "services/check/UpdateStore.h"

namespace pennolux::testing {

class RecordingNotice final : public ImportantNotice {
public:
    void showAndWait(const QString& title, const QString& text, CancelSignal&) override
    {
        shown.emplace_back(title, text);
    }
    std::vector<std::pair<QString, QString>> shown;
};

// An update check against the local service, with its store in the test's
// own per-user folder.
class CheckerFixture : public IsolatedHomeTest {
protected:
    UpdateCheckInputs inputs() const
    {
        UpdateCheckInputs inputs;
        inputs.appTitle = "Zantoph - Pennolux";
        inputs.appVersion = "2.1";
        inputs.serviceBase = service.address();
        inputs.storeFolder = configHome() + "/Zantoph/Pennolux/";
        inputs.importantTitle = "IMPORTANT";
        inputs.caBundleFile = LocalService::caFile();
        inputs.timeoutMs = timeoutMs;
        return inputs;
    }
    UpdateCheckPlatform platform(ImportantNotice& shownBy) { return {machine, system, locale, clock, shownBy}; }

    // One check, run to its end on this thread.
    std::shared_ptr<UpdateCheckState> runCheck(const UpdateCheckInputs& with)
    {
        auto state = std::make_shared<UpdateCheckState>();
        TChecker checker(with, platform(notice), state);
        checker.Execute();
        return state;
    }
    std::shared_ptr<UpdateCheckState> runCheck() { return runCheck(inputs()); }

    // The per-user store, its folder made so that a test can write before the first check.
    UpdateStore store() const
    {
        QDir().mkpath(configHome() + "/Zantoph/Pennolux");
        return UpdateStore(configHome() + "/Zantoph/Pennolux/update.ini");
    }
    void answerCheck(const std::string& body) { service.answer("/php/check2.php", reply(200, body)); }
    int checkRequests() const { return int(service.requests().size()); }

    LocalService service;
    FakeClock clock;
    FakeMachineIdentity machine;
    FakeSystemInfo system;
    FakeLocale locale;
    RecordingNotice notice;
    int timeoutMs = 2000;
};

} // namespace pennolux::testing
