#pragma once

#include "platform/desktop/SpecialFolders.h"

namespace pennolux::testing {

class FakeSpecialFolders final : public SpecialFolders {
public:
    QString desktop() const override { return desktopFolder; }
    QString roamingAppData() const override { return roamingFolder; }

    QString desktopFolder;
    QString roamingFolder;
};

} // namespace pennolux::testing
