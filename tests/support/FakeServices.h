#pragma once

#include "FakeDialogs.h"
#include "FakeDocumentImport.h"
#include "FakeLocale.h"
#include "FakeMessageBoxes.h"
#include "FakeRandomSource.h"
#include "FakeShell.h"
#include "FakeSpecialFolders.h"
#include "FakeTickCount.h"
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

    PlatformServices services()
    {
        return {messageBoxes, dialogs, shell, locale, specialFolders, documents, tickCount, random};
    }
};

} // namespace pennolux::testing
