#pragma once

#include <QDir>
#include <memory>

#include "FakeServices.h"
#include "IsolatedHomeTest.h"
#include "app/ApplicationState.h"
#include "app/DataFiles.h"
#include "localisation/Translator.h"
#include "ui/about/TAboutBox.h"

namespace pennolux::testing {

// An About window on fake services. Its data files are looked for in two
// scratch folders standing for the executable's folder and the installed
// data folder, both empty at first.
class AboutBoxFixture : public IsolatedHomeTest {
protected:
    void SetUp() override
    {
        IsolatedHomeTest::SetUp();
        besideExecutable = scratch() + "/bin";
        installedData = scratch() + "/share/pennolux";
        QDir().mkpath(besideExecutable);
        QDir().mkpath(installedData);
        state.AppCompanyName = "Zantoph";
        state.AppProductName = "Pennolux";
        state.AppTitle = "Zantoph - Pennolux";
        state.AppVersion = "2.1";
        translator = std::make_unique<Translator>(scratch() + "/no-languages", fakes.locale);
    }
    void TearDown() override
    {
        box.reset();
        IsolatedHomeTest::TearDown();
    }

    TAboutBox& open()
    {
        box = std::make_unique<TAboutBox>(state, *translator, fakes.services(),
                                          DataFiles({besideExecutable, installedData}));
        return *box;
    }

    FakeServices fakes;
    ApplicationState state;
    std::unique_ptr<Translator> translator;
    QString besideExecutable;
    QString installedData;
    std::unique_ptr<TAboutBox> box;
};

} // namespace pennolux::testing
