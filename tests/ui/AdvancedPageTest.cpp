#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include "FileBytes.h"
#include "MainWindowFixture.h"
#include "SamePixels.h"
#include "platform/widgets/ColorSwatch.h"
#include "editor/session/TemplateSession.h"
#include "editor/widgets/LayerList.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

} // namespace

// The main window shown at its design size with the Advanced page open.
class AdvancedPageTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        page = window->templatePage;
        ASSERT_NO_FATAL_FAILURE(showAdvancedPage());
    }
    TemplateModel& model() { return window->templateSession().model(); }
    // The canvas as the images hold it: with no layer current it wears no frame.
    QImage canvasWithoutFrame()
    {
        model().makeCurrent({});
        return page->Panel9->grab().toImage();
    }

    TemplatePage* page = nullptr;
};

TEST_F(AdvancedPageTest, TheFirstShowingCreatesTextOneCentredOnTheDesignCanvas)
{
    EXPECT_EQ(page->Panel9->size(), QSize(491, 215));
    ASSERT_EQ(page->ListBox1->count(), 1);
    EXPECT_EQ(page->ListBox1->item(0)->text(), "Text 1");
    const TextLayer& text = *model().content().textLayer(1);
    EXPECT_EQ(text.text, "Text");
    EXPECT_EQ(text.font.font.pointSize(), 24);
    EXPECT_EQ(text.font.font.family(), "Tahoma");
    EXPECT_EQ(text.font.color, colors::clWindowText);
    EXPECT_EQ(text.box.left, (491 - text.box.width) / 2);
    EXPECT_EQ(text.box.top, (215 - text.box.height) / 2);
    EXPECT_EQ(model().currentLayer(), LayerRef::text(1));
    EXPECT_EQ(page->Memo1->toPlainText(), "Text");
    // Showing the window again creates nothing more.
    window->hide();
    window->show();
    EXPECT_EQ(page->ListBox1->count(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown.empty());
}

TEST_F(AdvancedPageTest, StartWritesTheCanvasWithEachLineAndReports)
{
    window->MemoList->setPlainText("first@example.com\n\nthird@example.com\n");
    QTest::mouseClick(page->Button6, Qt::LeftButton);

    EXPECT_EQ(outputFiles(), (QStringList{"Output1.png", "Output3.png"}));
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "SUCCESS");
    // Then how many lines run off the image, when some do.
    EXPECT_EQ(fakes.messageBoxes.shown[0].text.section('\n', 0, 0), "Saved 2 image file(s)");
    EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(QImage(destination + "/Output1.png").size(), QSize(491, 215));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // Text 1 holds the last line, and its editors show it.
    const TextLayer& textOne = *model().content().textLayer(1);
    EXPECT_EQ(textOne.text, "third@example.com");
    EXPECT_EQ(page->Memo1->toPlainText(), "third@example.com");
    EXPECT_EQ(page->SpinEdit3->value(), textOne.box.width);
    EXPECT_EQ(page->SpinEdit4->value(), textOne.box.height);
    EXPECT_TRUE(window->PageControl1->isEnabled());
    EXPECT_TRUE(window->StatusBar1->currentMessage().isEmpty());
    // What the canvas shows now is the last image.
    EXPECT_TRUE(samePixels(canvasWithoutFrame(), QImage(destination + "/Output3.png")));
}

TEST_F(AdvancedPageTest, TheCanvasOnScreenIsTheWrittenImage)
{
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixelColor(x, y, QColor(x * 4, 255 - y * 5, (x * y) % 256));
    const QString picturePath = scratch() + "/picture.png";
    ASSERT_TRUE(picture.save(picturePath));
    fakes.dialogs.openResult = picturePath;
    page->Button8->click();
    page->BitBtn7->click();
    model().moveTo(LayerRef::shape(1), QPoint(-25, 170));
    page->BitBtn6->click();
    model().moveTo(LayerRef::text(2), QPoint(440, -12));
    model().moveTo(LayerRef::text(1), QPoint(380, 100));
    window->MemoList->setPlainText("line that runs off the canvas's right edge");
    window->Button6Click();
    ASSERT_EQ(outputFiles(), QStringList{"Output1.png"});
    EXPECT_TRUE(samePixels(canvasWithoutFrame(), QImage(destination + "/Output1.png")));
}

TEST_F(AdvancedPageTest, WithTextOneDeletedEveryImageIsTheUnchangedCanvas)
{
    page->BitBtn6->click();
    page->ListBox1->setCurrentRow(0);
    page->Delete1->trigger();
    const QImage canvas = page->Panel9->grab().toImage();
    window->MemoList->setPlainText("one\ntwo");
    window->Button6Click();
    EXPECT_TRUE(samePixels(QImage(destination + "/Output1.png"), canvas));
    EXPECT_TRUE(samePixels(QImage(destination + "/Output2.png"), canvas));
    EXPECT_EQ(model().content().textLayer(2)->text, "Text");
}

TEST_F(AdvancedPageTest, EmptyListsAndFailingWritesReportAsDesigned)
{
    window->MemoList->clear();
    window->Button6Click();
    EXPECT_TRUE(outputFiles().isEmpty());
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "The list holds no lines: no image file was written");

    window->MemoList->setPlainText("\n\n");
    window->Button6Click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 2u);
    EXPECT_EQ(fakes.messageBoxes.shown[1].text, "Saved 0 image file(s)");
    // Text 1 holds the last line, an empty one included.
    EXPECT_EQ(model().content().textLayer(1)->text, "");

    window->MemoList->setPlainText("x@example.com\ny@example.com");
    window->ComboBoxDestination2->setEditText(destination + "/missing");
    page->Button6->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 3u);
    EXPECT_EQ(fakes.messageBoxes.shown[2].title, "Pennolux");
    EXPECT_EQ(fakes.messageBoxes.shown[2].icon, MessageIcon::Error);
    EXPECT_TRUE(fakes.messageBoxes.shown[2].text.startsWith(
        "Cannot create file \"" + destination + "/missing/Output1.png\". "));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(window->PageControl1->isEnabled());
}

TEST_F(AdvancedPageTest, AListClearedDuringTheRunIsRunAsItWasAtStart)
{
    QStringList lines;
    for (int i = 1; i <= 40; ++i)
        lines << QStringLiteral("badge%1@example.com").arg(i);
    window->MemoList->setPlainText(lines.join('\n'));
    // The run shows its progress line by line; the list stays open to edits.
    const QMetaObject::Connection clearing =
        QObject::connect(window->StatusBar1, &QStatusBar::messageChanged, window->MemoList, [this](const QString& shown) {
            if (shown.startsWith("Line 3 of"))
                window->MemoList->clear();
        });
    window->Button6Click();
    QObject::disconnect(clearing);

    EXPECT_TRUE(window->MemoList->toPlainText().isEmpty());
    EXPECT_EQ(outputFiles().size(), 40);
    EXPECT_TRUE(outputFiles().contains("Output40.png"));
    EXPECT_EQ(model().content().textLayer(1)->text, "badge40@example.com");
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    // Long addresses from where "Text" was centred run off the image, which a
    // second line of the summary says.
    EXPECT_EQ(fakes.messageBoxes.shown[0].text.section('\n', 0, 0),
              "Saved 40 image file(s) from the list as it was at START; the list was changed during the run.");
}

TEST_F(AdvancedPageTest, AnExistingFileKeepsItsNameAndTheImageTakesTheNextFree)
{
    QFile taken(destination + "/Output1.png");
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    window->MemoList->setPlainText("x@example.com");
    window->Button6Click();
    EXPECT_EQ(outputFiles(), (QStringList{"Output1 (2).png", "Output1.png"}));
}

TEST_F(AdvancedPageTest, EscapeStopsTheRunAfterTheCurrentLineAndSaysSo)
{
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << QStringLiteral("line%1@example.com").arg(i);
    window->MemoList->setPlainText(lines.join('\n'));
    EscapeAtLine seen;
    const QMetaObject::Connection escape = pressEscapeAt("Line 7 of 400", seen);
    window->Button6Click();
    QObject::disconnect(escape);
    EXPECT_TRUE(seen.pagesLocked);
    EXPECT_EQ(outputFiles().size(), 7);
    EXPECT_TRUE(outputFiles().contains("Output7.png"));
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "Pennolux");
    // Long addresses run off the image, which the lines after the first say.
    EXPECT_EQ(fakes.messageBoxes.shown[0].text.section('\n', 0, 0),
              "Stopped after 7 of 400 lines: saved 7 image file(s)");
}

TEST_F(AdvancedPageTest, BrowseSharesTheFolderWithTheSimplePage)
{
    const QString chosen = scratch() + "/chosen";
    fakes.dialogs.folderResult = chosen;
    QTest::mouseClick(page->Button7, Qt::LeftButton);
    EXPECT_EQ(fakes.dialogs.lastFolderTitle, "Select folder:");
    EXPECT_EQ(fakes.dialogs.lastFolderAccept, "Select");
    EXPECT_EQ(state.BrowseFolder, chosen);
    EXPECT_EQ(window->ComboBoxDestination2->currentText(), chosen);
    EXPECT_EQ(window->ComboBoxDestination1->currentText(), fakes.specialFolders.desktopFolder);
    fakes.dialogs.folderResult.reset();
    window->ButtonBrowseClick();
    EXPECT_EQ(fakes.dialogs.lastFolderStart, chosen);
}

TEST_F(AdvancedPageTest, TheFontDialogIsSharedWithTheSimplePage)
{
    // Cancelled: the layer keeps its font, the Simple page takes it.
    QTest::mouseClick(page->ButtonFont, Qt::LeftButton);
    EXPECT_EQ(fakes.dialogs.fontDialogOpened, 1);
    EXPECT_EQ(fakes.dialogs.lastFontInitial.font.pointSize(), 24);
    EXPECT_EQ(window->FontDialog1.font.pointSize(), 24);
    EXPECT_FALSE(QFile::exists(settingsPath()));

    QFont chosen("Tahoma", 12);
    chosen.setStrikeOut(true);
    fakes.dialogs.fontResult = ColoredFont{chosen, ColorValue::fromRgb(QColor(0, 0, 255))};
    page->ButtonFont->click();
    const TextLayer& layer = *model().content().textLayer(1);
    EXPECT_EQ(layer.font.font.pointSize(), 12);
    EXPECT_EQ(layer.box.height, page->SpinEdit4->value());
    EXPECT_EQ(page->Shape1->fillColor(), QColor(0, 0, 255));
    EXPECT_EQ(window->FontDialog1.font.pointSize(), 12);
    const QString expected = QString::fromUtf8("\xEF\xBB\xBF") +
                             "[Settings]\r\nTextcolor=clBlue\r\nFontname=Tahoma\r\n"
                             "Fontsize=12\r\nFontstyle=0\r\n\r\n";
    EXPECT_EQ(fileText(settingsPath()), expected);

    // With a shape current nothing happens.
    page->BitBtn7->click();
    window->ButtonFontClick();
    EXPECT_EQ(fakes.dialogs.fontDialogOpened, 2);
}
