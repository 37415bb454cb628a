#pragma once

#include <QString>
#include <QStringList>

namespace pennolux {

struct ApplicationState;
class SpecialFolders;
class Translator;

struct StartupInputs {
    QString executablePath;
    const SpecialFolders& folders;
    Translator& translator;
};

// The creation steps of the main window that need no window: version values,
// data folder, settings file, language and BrowseFolder. A failing step is
// reported in the returned list and replaced by a built-in value, so every
// value exists afterwards.
QStringList initializeApplicationState(ApplicationState& state, const StartupInputs& inputs);

} // namespace pennolux
