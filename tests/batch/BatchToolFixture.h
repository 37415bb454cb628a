#pragma once

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "IsolatedHomeTest.h"

namespace pennolux {

struct ToolRun {
    int exitCode = -1;
    QByteArray outBytes; // standard output as written, such as a manifest on "-"
    QString out;
    QString err;
};

// Runs pennolux-batch as a script would: a separate process in the test's
// scratch folder, with the given standard input closed after it.
class BatchToolFixture : public testing::IsolatedHomeTest {
protected:
    ToolRun runTool(const QStringList& arguments, const QByteArray& input = {},
                    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) const
    {
        QProcess tool;
        tool.setWorkingDirectory(scratch());
        tool.setProcessEnvironment(environment);
        tool.start(PENNOLUX_BATCH_TOOL, arguments);
        EXPECT_TRUE(tool.waitForStarted());
        tool.write(input);
        tool.closeWriteChannel();
        EXPECT_TRUE(tool.waitForFinished(60'000));
        ToolRun run{tool.exitCode(), tool.readAllStandardOutput(), {}, QString::fromUtf8(tool.readAllStandardError())};
        run.out = QString::fromUtf8(run.outBytes);
        return run;
    }

    QString makeFolder(const QString& name) const
    {
        QDir(scratch()).mkpath(name);
        return scratch() + "/" + name;
    }
};

} // namespace pennolux
