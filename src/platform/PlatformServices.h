#pragma once

namespace pennolux {

class MessageBoxes;
class Dialogs;
class Shell;
class Locale;
class SpecialFolders;
class DocumentImport;
class TickCount;
class RandomSource;

// The operating-system services a window needs, made once in main and handed
// in, so tests can pass fakes.
struct PlatformServices {
    MessageBoxes& messageBoxes;
    Dialogs& dialogs;
    Shell& shell;
    Locale& locale;
    SpecialFolders& specialFolders;
    DocumentImport& documents;
    TickCount& tickCount;
    RandomSource& random;
};

} // namespace pennolux
