#pragma once

#include "FakeBeeper.h"
#include "FakeClock.h"
#include "FakeDialogs.h"
#include "FakeDocumentImport.h"
#include "FakeLocale.h"
#include "FakeMachineIdentity.h"
#include "FakeMessageBoxes.h"
#include "FakeRandomSource.h"
#include "FakeShell.h"
#include "FakeSpecialFolders.h"
#include "FakeSystemInfo.h"
#include "FakeTickCount.h"
#include "FakeTlsTrust.h"
#include "platform/PlatformServices.h"

namespace pennolux::testing {

// One set of fakes and the services struct that hands them out.
struct FakeServices {
    FakeMessageBoxes messageBoxes;
    FakeDialogs dialogs;
    FakeShell shell;
    FakeLocale locale;
    FakeSpecialFolders specialFolders;
    FakeDocumentImport documents;
    FakeTickCount tickCount;
    FakeRandomSource random;
    FakeClock clock;
    FakeMachineIdentity machineIdentity;
    FakeSystemInfo systemInfo;
    FakeBeeper beeper;
    FakeTlsTrust tlsTrust;

    PlatformServices services()
    {
        return {messageBoxes, dialogs, shell,  locale, specialFolders,  documents, tickCount,
                random,       clock,   machineIdentity, systemInfo, beeper, tlsTrust};
    }
};

} // namespace pennolux::testing
