#pragma once

namespace pennolux {

class MessageBoxes;
class Dialogs;
class Shell;
class Locale;
class SpecialFolders;

// The operating-system services a window needs, made once in main and handed
// in, so tests can pass fakes.
struct PlatformServices {
    MessageBoxes& messageBoxes;
    Dialogs& dialogs;
    Shell& shell;
    Locale& locale;
    SpecialFolders& specialFolders;
};

} // namespace pennolux
