#pragma once

#include <QString>
#include <QStringList>

namespace pennolux {

// Hands things to the desktop; every outcome is ignored by callers.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void openUrl(const QString& address) = 0;
    virtual void openFile(const QString& path) = 0;
    virtual void startDetached(const QString& program, const QStringList& arguments) = 0;
};

class DesktopShell final : public Shell {
public:
    void openUrl(const QString& address) override;
    void openFile(const QString& path) override;
    void startDetached(const QString& program, const QStringList& arguments) override;
};

} // namespace pennolux
