#include "Startup.h"

#include <QFileInfo>
#include <exception>

#include "platform/AppError.h"
#include "ApplicationState.h"
#include "app/settings/DataFolder.h"
#include "app/version/VersionInfo.h"
#include "localisation/Translator.h"
#include "platform/desktop/SpecialFolders.h"

namespace pennolux {

namespace {

// The values the shipped executable carries, for a copy that lost them.
const QString kBuiltInCompany = QStringLiteral("Zantoph");
const QString kBuiltInProduct = QStringLiteral("Pennolux");

QString textOf(const std::exception& error)
{
    return QString::fromUtf8(error.what());
}

void readVersionValues(ApplicationState& state, const QString& executablePath, QStringList& failures)
{
    try {
        const TEXEVersionData data = GetEXEVersionData(executablePath);
        state.AppCompanyName = data.CompanyName;
        state.AppProductName = data.ProductName;
    } catch (const std::exception& error) {
        failures << textOf(error);
        state.AppCompanyName = kBuiltInCompany;
        state.AppProductName = kBuiltInProduct;
    }
    state.AppVersion = formatAppVersion(readFileVersionMs(executablePath));
    state.AppTitle = state.AppCompanyName + QStringLiteral(" - ") + state.AppProductName;
}

void openSettings(ApplicationState& state, QStringList& failures)
{
    const QString path = state.AppDataFolder + QStringLiteral("settings.ini");
    try {
        state.SettingsIni = IniDocument::openOrReset(path);
    } catch (const std::exception& error) {
        // Later font choices still need a document; saving it reports its own error.
        failures << textOf(error);
        state.SettingsIni = IniDocument(path);
    }
}

void loadLanguage(Translator& translator, QStringList& failures)
{
    try {
        translator.LoadLanguage(QString());
    } catch (const std::exception& error) {
        failures << textOf(error);
    }
}

} // namespace

QStringList initializeApplicationState(ApplicationState& state, const StartupInputs& inputs)
{
    QStringList failures;
    readVersionValues(state, inputs.executablePath, failures);
    state.AppDataFolder = chooseAppDataFolder(QFileInfo(inputs.executablePath).absolutePath(),
                                              inputs.folders.roamingAppData(), state.AppCompanyName,
                                              state.AppProductName);
    openSettings(state, failures);
    loadLanguage(inputs.translator, failures);
    state.BrowseFolder = inputs.folders.desktop();
    return failures;
}

} // namespace pennolux
