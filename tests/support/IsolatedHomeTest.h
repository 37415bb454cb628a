#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pennolux::testing {

// Gives each test its own HOME and XDG_CONFIG_HOME, so nothing a test writes
// reaches the real user's files or another test.
class IsolatedHomeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.isValid());
        savedHome_ = qgetenv("HOME");
        savedConfig_ = qgetenv("XDG_CONFIG_HOME");
        QDir(root_.path()).mkpath("home/.config");
        qputenv("HOME", home().toUtf8());
        qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
    }
    void TearDown() override
    {
        qputenv("HOME", savedHome_);
        if (savedConfig_.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", savedConfig_);
    }

    QString home() const { return root_.path() + "/home"; }
    QString configHome() const { return home() + "/.config"; }
    // A scratch folder beside the home, for files a test makes.
    QString scratch() const
    {
        QDir(root_.path()).mkpath("scratch");
        return root_.path() + "/scratch";
    }

    // Writes bytes to scratch()/name (folders in the name are made) and
    // returns the file's path.
    QString writeScratchFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = scratch() + "/" + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

private:
    QTemporaryDir root_;
    QByteArray savedHome_;
    QByteArray savedConfig_;
};

} // namespace pennolux::testing
