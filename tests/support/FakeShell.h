#pragma once

#include <QStringList>

#include "platform/desktop/Shell.h"

namespace pennolux::testing {

class FakeShell final : public Shell {
public:
    void openUrl(const QString& address) override { openedUrls << address; }
    void openFile(const QString& path) override { openedFiles << path; }
    void startDetached(const QString& program, const QStringList& arguments) override
    {
        startedPrograms << program;
        startedArguments = arguments;
    }

    QStringList openedUrls;
    QStringList openedFiles;
    QStringList startedPrograms;
    QStringList startedArguments;
};

} // namespace pennolux::testing
