#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "FileBytes.h"
#include "MainWindowFixture.h"
#include "SamePixels.h"
#include "editor/render/TemplateRenderer.h"
#include "editor/session/TemplateSession.h"
#include "platform/fonts/DesignFont.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"
#include "production/simplerun/SimpleRun.h"
#include "production/simplerun/TextMetrics.h"
#include "ui/PreviewPanel.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

// A dark desktop theme: light text on dark fields and buttons, so any system
// colour read from it shows in an image.
QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    return dark;
}

// The Simple page's designed look, its text in the standard scheme's black.
SimpleLook designedLookInBlack()
{
    SimpleLook look;
    look.background = colors::clSkyBlue.resolveForImage();
    look.font = designFont(8);
    look.textColor = Qt::black;
    return look;
}

// The main window born on a dark desktop.
class ThemeColoursTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        lightPalette_ = QApplication::palette();
        QApplication::setPalette(darkPalette());
        MainWindowFixture::SetUp();
        useScratchDestination(window->ComboBoxDestination1);
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        QApplication::setPalette(lightPalette_);
    }
    int runBatchTool(const QStringList& arguments) const
    {
        QProcess tool;
        tool.setWorkingDirectory(scratch());
        tool.start(PENNOLUX_BATCH_TOOL, arguments);
        EXPECT_TRUE(tool.waitForFinished(60'000));
        EXPECT_EQ(tool.readAllStandardError(), QByteArray());
        return tool.exitCode();
    }

private:
    QPalette lightPalette_;
};

TEST_F(ThemeColoursTest, StartWritesTheBatchToolsBytesWithTheDesignedColours)
{
    const QString list = "Hello@example.com\r\nSecond line\r\n";
    writeScratchFile("list.txt", list.toUtf8());
    window->MemoList->setPlainText(list);
    window->Button4->click();
    ASSERT_EQ(outputFiles(), QStringList({"Output1.png", "Output2.png"}));

    const QString fromTool = scratch() + "/tool";
    QDir().mkpath(fromTool);
    ASSERT_EQ(runBatchTool({"-q", "-o", fromTool, scratch() + "/list.txt"}), 0);
    EXPECT_EQ(QDir(fromTool).entryList(QDir::Files, QDir::Name), outputFiles());
    for (const QString& file : outputFiles())
        EXPECT_TRUE(fileBytes(destination + "/" + file) == fileBytes(fromTool + "/" + file)) << file.toStdString();

    // The text is black on the sky blue, not the theme's light grey.
    const SimpleLook black = designedLookInBlack();
    EXPECT_TRUE(samePixels(QImage(destination + "/Output1.png"),
                           renderSimpleImage("Hello@example.com", black, RenderFont(black.font))));
}

TEST_F(ThemeColoursTest, ThePreviewAndTheCanvasDrawTheDesignedColours)
{
    window->MemoList->setPlainText("Hello@example.com");
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
    const SimpleLook black = designedLookInBlack();
    EXPECT_TRUE(samePixels(window->preview->image(),
                           renderSimpleImage("Hello@example.com", black, RenderFont(black.font))));

    showAdvancedPage();
    TemplatePage* page = window->templatePage;
    TemplateModel& model = window->templateSession().model();
    page->BitBtn7Click();
    model.setColor(LayerRef::shape(1), ColorValue::system(15)); // clBtnFace
    model.setBox(LayerRef::shape(1), LayerBox{200, 10, 40, 30});
    ASSERT_EQ(model.content().textLayer(1)->font.color, colors::clWindowText);

    // The same template with the design platform's standard colours written out.
    Template expected = model.content();
    expected.TextLayers[0]->font.color = colors::clBlack;
    expected.ShapeLayers[0]->fill = ColorValue::fromRgb(QColor(0xF0, 0xF0, 0xF0));
    if (expected.canvasColor.isSystemColor())
        expected.canvasColor = ColorValue::fromRgb(expected.canvasColor.resolveForImage());
    TemplateRenderer renderer;
    const QImage picture = page->Panel9->picture();
    EXPECT_TRUE(samePixels(picture, renderer.render(expected, picture.size())));
    EXPECT_EQ(QColor(picture.pixel(220, 25)), QColor(0xF0, 0xF0, 0xF0));
}

} // namespace
