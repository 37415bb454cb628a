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
class Clock;
class MachineIdentity;
class SystemInfo;
class Beeper;
class TlsTrust;

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
    Clock& clock;
    MachineIdentity& machineIdentity;
    SystemInfo& systemInfo;
    Beeper& beeper;
    TlsTrust& tlsTrust;
};

} // namespace pennolux
