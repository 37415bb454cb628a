#include "TChecker.h"

#include <QDir>
#include <typeinfo>

#include "ImportantNotice.h"
#include "ScrambleText.h"
#include "UpdateCheckState.h"
#include "UpdateRules.h"
#include "platform/AppError.h"
#include "platform/system/Clock.h"
#include "platform/system/SystemInfo.h"
#include "platform/text/TextCut.h"
#include "services/TextTrim.h"
#include "services/requests/AnswerLines.h"
#include "services/requests/CancelSignal.h"
#include "services/requests/ExchangeWithService.h"
#include "services/requests/IdentityFields.h"
#include "services/requests/ServiceRequest.h"

namespace pennolux {

namespace {

QString errorKind(const std::exception& error)
{
    if (dynamic_cast<const AppError*>(&error))
        return QStringLiteral("AppError");
    return QString::fromLatin1(typeid(error).name());
}

// The answer's offered version and download address, the values the store keeps.
bool answerFitsTheStore(const QStringList& lines)
{
    const QString version = lines.isEmpty() ? QString() : TaggedValue(lines.at(0), QStringLiteral("version"));
    const QString link = lines.size() < 2 ? QString() : TaggedValue(lines.at(1), QStringLiteral("url"));
    return answerValuesFit(version, link);
}

} // namespace

QString openUpdateStoreFile(const QString& storeFolder)
{
    if (storeFolder.isEmpty())
        throw AppError(QStringLiteral("There is no per-user folder"));
    if (!QDir().mkpath(storeFolder))
        return {};
    return QDir(storeFolder).filePath(QStringLiteral("update.ini"));
}

TChecker::TChecker(UpdateCheckInputs inputs, UpdateCheckPlatform platform, std::shared_ptr<UpdateCheckState> state)
    : inputs_(std::move(inputs)), platform_(platform), state_(std::move(state)),
      cancel_(std::make_shared<CancelSignal>())
{
}

TChecker::~TChecker()
{
    abandon();
    wait();
}

void TChecker::abandon()
{
    cancel_->cancel();
}

void TChecker::run()
{
    Execute();
}

void TChecker::Execute()
{
    try {
        check();
    } catch (const TransferCancelled&) {
        return; // the program is ending: nobody reads the results
    }
    state_->CheckFinished.store(true, std::memory_order_release);
}

void TChecker::check()
{
    UpdateCheckState& state = *state_;
    ServiceErrorLog& log = state.errorLog;
    state.CheckFinished.store(false, std::memory_order_relaxed);
    ClearServiceErrors(log);

    QString guid;
    try {
        guid = ReadMachineGuid(platform_.machineIdentity);
    } catch (const std::exception&) {
        AddServiceError(log, QStringLiteral("Error: GUID generate problem!"));
    }

    try {
        state.store = UpdateStore(openUpdateStoreFile(inputs_.storeFolder));
    } catch (const std::exception&) {
        AddServiceError(log, QStringLiteral("Error: Registry open problem!"));
        state.store = UpdateStore();
    }
    const UpdateStore& store = state.store;
    const QString lastCheck = store.readText(QStringLiteral("LastUpdateCheck"));
    const int lastCount = store.readNumber(QStringLiteral("LastUpdateCheckCount"), 0);
    store.write(QStringLiteral("InstalledVersion"), inputs_.appVersion);
    const QString rememberedLink = store.readText(QStringLiteral("CurrentURL"));
    if (!rememberedLink.isEmpty())
        state.DownloadLink = UnscrambleText(rememberedLink);
    state.showUpdateSetting = store.readNumber(QStringLiteral("ShowUpdate"), 1);
    if (state.showUpdateSetting == 0)
        return;

    const QString today = platform_.clock.localShortDate();
    if (dailyLimitReached(lastCheck, lastCount, today))
        return;

    try {
        ServiceRequest request(QStringLiteral("check"));
        request.add(QStringLiteral("appname="), inputs_.appTitle);
        request.add(QStringLiteral("version="), inputs_.appVersion);
        request.add(QStringLiteral("os="), OsDescription(platform_.systemInfo.osFacts()));
        request.add(QStringLiteral("local="), LocaleCode(platform_.locale));
        request.add(QStringLiteral("guid="), guid);

        PostOptions options;
        options.caBundleFile = inputs_.caBundleFile;
        options.cancel = cancel_;
        const QStringList lines = ExchangeWithService(inputs_.serviceBase + QStringLiteral("/php/check2.php"),
                                                      request, inputs_.timeoutMs, options, &log);
        if (lines.join(QStringLiteral("\r\n")).startsWith(QLatin1String("ERROR")) || !answerFitsTheStore(lines))
            AddServiceError(log, QStringLiteral("INVALIDSERVERRESPONSE"));
        if (!log.HasServiceErrors)
            takeAnswer(lines, lastCheck, lastCount, today);
    } catch (const TransferCancelled&) {
        throw;
    } catch (const std::exception& error) {
        const QString message = dynamic_cast<const AppError*>(&error)
                                    ? static_cast<const AppError&>(error).message()
                                    : QString::fromLocal8Bit(error.what());
        AddServiceError(log, errorKind(error) + QStringLiteral(" Error:\r") + message);
    }
}

void TChecker::takeAnswer(const QStringList& lines, const QString& lastCheck, int lastCount, const QString& today)
{
    UpdateCheckState& state = *state_;
    const UpdateStore& store = state.store;

    // Store failures are ignored: each step stands on its own.
    const int count = nextDailyCount(lastCheck, lastCount, today);
    store.write(QStringLiteral("LastUpdateCheck"), today);
    store.write(QStringLiteral("LastUpdateCheckCount"), QString::number(count));

    if (!lines.isEmpty()) {
        state.ServerVersion = TaggedValue(lines.at(0), QStringLiteral("version"));
        store.write(QStringLiteral("CurrentVersion"), state.ServerVersion);
    }
    if (lines.size() >= 2) {
        state.DownloadLink = TaggedValue(lines.at(1), QStringLiteral("url"));
        store.write(QStringLiteral("CurrentURL"), ScrambleText(state.DownloadLink));
    }
    if (lines.size() >= 6) {
        const QString message = TaggedValue(lines.at(5), QStringLiteral("important"));
        if (!trimSpacesAndControls(message).isEmpty())
            platform_.notice.showAndWait(inputs_.importantTitle, cutOnWholeCharacters(message, kLongestNoticeShown),
                                         *cancel_);
    }

    UpdateOffer offer;
    offer.serverVersion = state.ServerVersion;
    offer.appVersion = inputs_.appVersion;
    offer.showUpdate = state.showUpdateSetting;
    offer.lastCheck = lastCheck;
    offer.today = today;
    offer.count = count;
    if (shouldShowUpdateWindow(offer))
        state.ShowUpdateWindow = true;
}

} // namespace pennolux
