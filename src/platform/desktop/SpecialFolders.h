#pragma once

#include <QString>

namespace pennolux {

class SpecialFolders {
public:
    virtual ~SpecialFolders() = default;
    // The Desktop folder; the home folder when there is none.
    virtual QString desktop() const = 0;
    // $XDG_CONFIG_HOME, else ~/.config; empty when neither can be had.
    virtual QString roamingAppData() const = 0;
};

class XdgSpecialFolders final : public SpecialFolders {
public:
    QString desktop() const override;
    QString roamingAppData() const override;
};

} // namespace pennolux
