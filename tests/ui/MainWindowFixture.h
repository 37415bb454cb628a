#pragma once

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "FakeServices.h"
#include "IsolatedHomeTest.h"
#include "app/ApplicationState.h"
#include "localisation/Translator.h"
#include "ui/TAppForm.h"

namespace pennolux::testing {

// A locale set for one test, the one before it set back after.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(saved_); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    QLocale saved_;
};

// The window's client area as designed, menu bar aside.
inline const QSize kDesignClientSize(817, 440);

// A main window on fake services, with its data folder and Desktop in the
// test's own scratch folder.
class MainWindowFixture : public IsolatedHomeTest {
protected:
    void SetUp() override
    {
        IsolatedHomeTest::SetUp();
        fakes.specialFolders.desktopFolder = scratch() + "/Desktop";
        fakes.specialFolders.roamingFolder = configHome();
        QDir().mkpath(fakes.specialFolders.desktopFolder);
        QDir().mkpath(scratch() + "/beside-executable");

        state.AppCompanyName = "Zantoph";
        state.AppProductName = "Pennolux";
        state.AppTitle = "Zantoph - Pennolux";
        state.AppVersion = "2.1";
        state.AppDataFolder = scratch() + "/beside-executable/";
        state.SettingsIni = IniDocument(state.AppDataFolder + "settings.ini");
        state.BrowseFolder = fakes.specialFolders.desktopFolder;
        // No test of the window reaches the real web service: its update check
        // stays off unless a test switches it on and points it at 127.0.0.1.
        QDir().mkpath(configHome() + "/Zantoph/Pennolux");
        QFile updateStore(configHome() + "/Zantoph/Pennolux/update.ini");
        if (updateStore.open(QIODevice::WriteOnly))
            updateStore.write("[Settings]\r\nShowUpdate=0\r\n");
        updateStore.close();
        translator = std::make_unique<Translator>(scratch() + "/no-languages", fakes.locale);
        window = std::make_unique<TAppForm>(state, *translator, fakes.services());
        // The offscreen screen is 800 pixels wide, narrower than the design,
        // so the window opened within it: the tests use the design size.
        window->resize(kDesignClientSize + QSize(0, window->menuBar()->sizeHint().height()));
    }
    void TearDown() override
    {
        window.reset();
        IsolatedHomeTest::TearDown();
    }

    QString settingsPath() const { return state.AppDataFolder + "settings.ini"; }

    // The window shown with the Advanced page open, its runs writing into an
    // empty folder.
    void showAdvancedPage()
    {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->PageControl1->setCurrentWidget(window->TabSheet2);
        QApplication::processEvents();
        useScratchDestination(window->ComboBoxDestination2);
    }

    // An empty folder for a run's files, typed into a page's destination box.
    void useScratchDestination(QComboBox* box)
    {
        destination = scratch() + "/out";
        QDir().mkpath(destination);
        box->setEditText(destination);
    }
    QStringList outputFiles() const { return QDir(destination).entryList(QDir::Files, QDir::Name); }

    // Presses Esc the moment the status bar shows the line, as a user would
    // while the run works: the key reaches the window at once, so the run
    // stops after that very line. Keeps what the bar showed, and whether the
    // pages were locked then.
    struct EscapeAtLine {
        QStringList shown;
        bool pagesLocked = false;
    };
    QMetaObject::Connection pressEscapeAt(const QString& progress, EscapeAtLine& seen)
    {
        return QObject::connect(window->StatusBar1, &QStatusBar::messageChanged, window.get(),
                                [this, progress, &seen](const QString& shown) {
                                    if (shown.isEmpty())
                                        return;
                                    seen.shown << shown;
                                    if (shown != progress)
                                        return;
                                    seen.pagesLocked = !window->PageControl1->isEnabled();
                                    QTest::keyClick(window->MemoList, Qt::Key_Escape);
                                });
    }

    FakeServices fakes;
    ApplicationState state;
    std::unique_ptr<Translator> translator;
    std::unique_ptr<TAppForm> window;
    QString destination;
};

} // namespace pennolux::testing
