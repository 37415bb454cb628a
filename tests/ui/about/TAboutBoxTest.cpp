#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "AboutBoxFixture.h"
#include "ui/about/LinkLabel.h"

using namespace pennolux;
using namespace pennolux::testing;

namespace {

const QString kServiceBase = QStringLiteral(PENNOLUX_SERVICE_BASE);

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

bool isBlack(QRgb pixel)
{
    return (pixel & 0xFFFFFF) == 0;
}

// The colours found in a rectangle of an image, in device pixels of ratio 1.
QSet<QRgb> colorsIn(const QImage& image, const QRect& area)
{
    QSet<QRgb> colors;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            colors.insert(image.pixel(x, y) | 0xFF000000);
    return colors;
}

QRect cellRect(int column, int row)
{
    return {column * MatrixRain::kCharWidth, row * MatrixRain::kCharHeight, MatrixRain::kCharWidth,
            MatrixRain::kCharHeight};
}

} // namespace

using AboutBoxTest = AboutBoxFixture;

TEST_F(AboutBoxTest, ControlsSitWhereDesigned)
{
    TAboutBox& about = open();
    EXPECT_EQ(about.size(), QSize(446, 374));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_EQ(about.palette().color(QPalette::Window), Qt::black);
    EXPECT_EQ(about.font().family(), "Tahoma");
    EXPECT_EQ(about.font().pointSize(), 8);

    const struct {
        QWidget* control;
        QRect geometry;
    } placements[] = {
        {about.Panel1, {48, 42, 350, 291}},  {about.Image2, {3, 4, 344, 105}},
        {about.Bevel1, {9, 122, 34, 34}},    {about.Image1, {10, 123, 32, 32}},
        {about.Label2, {49, 122, 290, 40}},  {about.BitBtn1, {49, 224, 122, 33}},
        {about.BitBtn2, {177, 224, 122, 33}},
    };
    for (const auto& [control, geometry] : placements)
        EXPECT_EQ(control->geometry(), geometry) << control->objectName().toStdString();
    EXPECT_EQ(about.Panel1->frameShadow(), QFrame::Raised);
    EXPECT_EQ(about.Bevel1->frameShadow(), QFrame::Sunken);

    // The link lies along the panel's bottom edge, inside its bevel, full width.
    const QRect link = about.Label5->geometry();
    EXPECT_EQ(link.left(), 1);
    EXPECT_EQ(link.width(), 348);
    EXPECT_EQ(link.bottom(), 291 - 2);
    EXPECT_TRUE(about.Label5->alignment() & Qt::AlignHCenter);

    // The pictures at their shown sizes, for the screen's pixel ratio.
    EXPECT_EQ(about.Image2->pixmap().deviceIndependentSize().toSize(), QSize(344, 105));
    EXPECT_EQ(about.Image1->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
    auto* arrow = about.BitBtn2->findChild<QLabel*>("BitBtn2Arrow");
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->pixmap().deviceIndependentSize().toSize(), QSize(16, 16));
    EXPECT_GT(arrow->x(), about.BitBtn2->width() / 2);
    EXPECT_FALSE(about.Image2->pixmap().toImage().isNull());
}

TEST_F(AboutBoxTest, ShowsTheProductTheLinkAndTheMenu)
{
    TAboutBox& about = open();
    EXPECT_EQ(about.windowTitle(), "About Pennolux");
    EXPECT_EQ(about.Label2->text(), "Pennolux 2.1");
    EXPECT_EQ(about.Label2->textFormat(), Qt::PlainText);
    EXPECT_TRUE(about.Label2->wordWrap());
    EXPECT_EQ(about.Label2->font().family(), "Tahoma");
    EXPECT_EQ(about.Label2->font().pointSize(), 12);
    EXPECT_EQ(about.Label2->palette().color(QPalette::WindowText), Qt::white);
    EXPECT_EQ(about.BitBtn1->text(), "OK");
    EXPECT_EQ(about.BitBtn2->text(), "Info");
    for (QPushButton* button : {about.BitBtn1, about.BitBtn2})
        EXPECT_EQ(button->font().pointSize(), 12);

    const QString host = kServiceBase.section(u':', 0, 0);
    EXPECT_EQ(about.Label5->text(), host);
    EXPECT_EQ(about.Label5->textFormat(), Qt::PlainText);
    EXPECT_EQ(about.Label5->toolTip(), "http://" + kServiceBase + "/");
    EXPECT_EQ(about.Label5->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_TRUE(about.Label5->font().underline());
    EXPECT_EQ(QFontInfo(about.Label5->font()).family(), "MS Sans Serif");
    EXPECT_EQ(about.Label5->font().pointSize(), 8);
    EXPECT_EQ(about.Label5->cursor().shape(), Qt::PointingHandCursor);

    QStringList items;
    for (QAction* item : about.PopupMenu1->actions())
        items << item->text();
    EXPECT_EQ(items, QStringList({"Acknowledgements...", "How to uninstall...", "License..."}));

    EXPECT_TRUE(about.tmTimer->isActive());
    EXPECT_EQ(about.tmTimer->interval(), 50);
}

TEST_F(AboutBoxTest, TextsFollowTheLanguageFile)
{
    const QString languages = scratch() + "/Languages";
    QDir().mkpath(languages);
    writeFile(languages + "/LanguageCodes.csv", "1031,delang.txt\r\n");
    QFile::copy(QCoreApplication::applicationDirPath() + "/Languages/delang.txt", languages + "/delang.txt");
    fakes.locale.languageId = 1031;
    translator = std::make_unique<Translator>(languages, fakes.locale);
    translator->LoadLanguage(QString());

    TAboutBox& about = open();
    EXPECT_EQ(about.windowTitle(), QString::fromUtf8("Über Pennolux"));
    EXPECT_EQ(about.BitBtn1->text(), "OK");
    EXPECT_EQ(about.BitBtn2->text(), "Info");
    EXPECT_EQ(about.Credits1->text(), "Danksagungen...");
    EXPECT_EQ(about.Howtouninstall1->text(), "Hinweise zur Deinstallation...");
    EXPECT_EQ(about.LicensePrivacyPolicy1->text(), "Lizenz...");
    // Names and versions are not translated.
    EXPECT_EQ(about.Label2->text(), "Pennolux 2.1");
}

// The translated title is a template whose "%s" takes the product name.
TEST_F(AboutBoxTest, TitleTemplateTakesTheProductNameOnce)
{
    const struct {
        const char* translation;
        const char* title;
    } cases[] = {
        {"Om %s", "Om Pennolux"},
        {"%s \xE2\x80\x93 100%% frei", "Pennolux \xE2\x80\x93 100% frei"},
        {"%s und %s", "Pennolux und %s"},
        {"Info %d", "Info %d"},
        {"Nur Text", "Nur Text"},
        {"Ende %", "Ende %"},
    };
    const QString languages = scratch() + "/Languages";
    QDir().mkpath(languages);
    for (const auto& [translation, title] : cases) {
        writeFile(languages + "/xxlang.txt", QByteArray("{About %s}") + translation + "\r\n");
        translator = std::make_unique<Translator>(languages, fakes.locale);
        translator->LoadLanguage("xxlang.txt");
        EXPECT_EQ(open().windowTitle(), QString::fromUtf8(title)) << translation;
    }
}

TEST_F(AboutBoxTest, EveryControlHasANameAndTheTabOrderIsOkInfoLink)
{
    TAboutBox& about = open();
    about.show();
    about.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
    for (QWidget* widget : about.findChildren<QWidget*>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << widget->objectName().toStdString();
    }
    for (QWidget* picture : {static_cast<QWidget*>(about.Image1), static_cast<QWidget*>(about.Image2)})
        EXPECT_FALSE(picture->accessibleName().isEmpty()) << picture->objectName().toStdString();

    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(about.Label5);
    EXPECT_EQ(link->role(), QAccessible::Link);
    EXPECT_EQ(link->text(QAccessible::Name), about.Label5->text());
    EXPECT_EQ(link->text(QAccessible::Description), "http://" + kServiceBase + "/");

    EXPECT_EQ(QApplication::focusWidget(), about.BitBtn1);
    QWidget* const order[] = {about.BitBtn2, about.Label5, about.BitBtn1};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST_F(AboutBoxTest, OkAndEscapeOnEitherButtonClose)
{
    {
        TAboutBox& about = open();
        about.show();
        QTest::mouseClick(about.BitBtn1, Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
    }
    for (int which = 0; which < 2; ++which) {
        TAboutBox& about = open();
        about.show();
        about.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
        QPushButton* button = which == 0 ? about.BitBtn1 : about.BitBtn2;
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Escape);
        EXPECT_FALSE(about.isVisible()) << which;
    }
}

TEST_F(AboutBoxTest, DraggedByItsBodyWithAnyButtonButTheRight)
{
    TAboutBox& about = open();
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    const QPoint start = about.pos();

    // A press on the label reaches the window; the right button starts nothing.
    QTest::mousePress(about.Label2, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(about.isDragging());
    QTest::mouseRelease(about.Label2, Qt::RightButton, {}, QPoint(5, 5));

    for (Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
        for (QWidget* body : {static_cast<QWidget*>(&about), static_cast<QWidget*>(about.Panel1),
                              static_cast<QWidget*>(about.Image1), static_cast<QWidget*>(about.Label2),
                              static_cast<QWidget*>(about.Image2)}) {
            QTest::mousePress(body, button, {}, QPoint(5, 5));
            EXPECT_TRUE(about.isDragging()) << body->objectName().toStdString();
            QTest::mouseRelease(body, button, {}, QPoint(5, 5));
            EXPECT_FALSE(about.isDragging());
        }
    }

    // Each move shifts the window by the pointer's way since the last one.
    about.FormMouseDown(Qt::LeftButton, QPoint(500, 400));
    about.FormMouseMove(QPoint(530, 390));
    EXPECT_EQ(about.pos(), start + QPoint(30, -10));
    about.FormMouseMove(QPoint(520, 420));
    EXPECT_EQ(about.pos(), start + QPoint(20, 20));
    EXPECT_EQ(about.size(), QSize(446, 374));
    about.FormMouseUp();
    about.FormMouseMove(QPoint(700, 700));
    EXPECT_EQ(about.pos(), start + QPoint(20, 20));

    // Through the events: pressed on the logo, moved, released.
    QTest::mousePress(about.Image2, Qt::LeftButton, {}, QPoint(10, 10));
    const QPoint from = about.Image2->mapToGlobal(QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(15, 18), QPointF(from + QPoint(5, 8)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(about.Image2, &move);
    EXPECT_EQ(about.pos(), start + QPoint(25, 28));
    QTest::mouseRelease(about.Image2, Qt::LeftButton, {}, QPoint(15, 18));
    EXPECT_FALSE(about.isDragging());
}

TEST_F(AboutBoxTest, InfoDropsTheMenuBelowItselfUnlessItsClickClosedTheMenu)
{
    TAboutBox& about = open();
    int opened = 0;
    QPoint openedAt;
    const QMenu* openedMenu = nullptr;
    about.setMenuPresenter([&](QMenu& menu, const QPoint& at) {
        ++opened;
        openedAt = at;
        openedMenu = &menu;
        fakes.tickCount.now += 700;  // the menu stays open a while
    });
    fakes.tickCount.now = 5000;
    QTest::mouseClick(about.BitBtn2, Qt::LeftButton);
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(openedMenu, about.PopupMenu1);
    EXPECT_EQ(openedAt, about.BitBtn2->mapToGlobal(QPoint(0, about.BitBtn2->height())));

    // The press that closed the menu comes back as a click on "Info".
    fakes.tickCount.now += 30;
    about.BitBtn2Click();
    EXPECT_EQ(opened, 1);
    // That click was used up: the next one opens the menu, however soon.
    fakes.tickCount.now += 5;
    about.BitBtn2Click();
    EXPECT_EQ(opened, 2);

    const struct {
        std::uint32_t after;
        bool opens;
    } delays[] = {{0, false}, {99, false}, {100, true}, {1000, true}};
    for (const auto& [after, opens] : delays) {
        fakes.tickCount.now += 1000;
        about.BitBtn2Click();  // a menu that has just closed
        const int before = opened;
        fakes.tickCount.now += after;
        about.BitBtn2Click();
        EXPECT_EQ(opened - before, opens ? 1 : 0) << after << " ms";
    }
}

TEST_F(AboutBoxTest, MenuRuleSurvivesTheTickCountersWrap)
{
    TAboutBox& about = open();
    int opened = 0;
    about.setMenuPresenter([&](QMenu&, const QPoint&) {
        ++opened;
        fakes.tickCount.now = 0xFFFFFFF0u;  // closes 16 ms before the counter wraps
    });
    fakes.tickCount.now = 0xFFFFF000u;
    about.BitBtn2Click();
    fakes.tickCount.now = 0x00000020u;  // 48 ms later
    about.BitBtn2Click();
    EXPECT_EQ(opened, 1);
}

TEST_F(AboutBoxTest, LinksOpenOnlyTheMakersWebPages)
{
    TAboutBox& about = open();
    about.show();
    QTest::mouseClick(about.Label5, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(about.Label5, Qt::RightButton, {}, QPoint(3, 3));
    about.Label5->setFocus();
    QTest::keyClick(about.Label5, Qt::Key_Return);
    QTest::keyClick(about.Label5, Qt::Key_Space);
    QAccessible::queryAccessibleInterface(about.Label5)
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    about.Credits1->trigger();
    about.Howtouninstall1->trigger();

    const QString site = "http://" + kServiceBase + "/";
    EXPECT_EQ(fakes.shell.openedUrls,
              QStringList({site, site, site, site, "https://" + kServiceBase + "/blog/credits-and-acknowledgements/",
                           "http://" + kServiceBase + "/blog/how-to-uninstall-zantoph-software/"}));
    EXPECT_TRUE(fakes.shell.startedPrograms.isEmpty());
    EXPECT_TRUE(fakes.shell.openedFiles.isEmpty());
}

TEST_F(AboutBoxTest, LicenseOpensTheTextFileBesideTheExecutableOrInstalled)
{
    const struct {
        bool beside;
        bool installed;
        const char* expected;  // "beside", "installed" or nullptr for the message
    } cases[] = {{true, true, "beside"}, {false, true, "installed"}, {true, false, "beside"}, {false, false, nullptr}};
    for (const auto& [beside, installed, expected] : cases) {
        SCOPED_TRACE(::testing::Message() << "beside " << beside << ", installed " << installed);
        QFile::remove(besideExecutable + "/license.txt");
        QFile::remove(installedData + "/license.txt");
        if (beside)
            writeFile(besideExecutable + "/license.txt", "MIT License\n");
        if (installed)
            writeFile(installedData + "/license.txt", "MIT License\n");
        fakes.shell.openedFiles.clear();
        fakes.messageBoxes.shown.clear();

        TAboutBox& about = open();
        about.show();
        about.LicensePrivacyPolicy1->trigger();
        EXPECT_TRUE(fakes.shell.startedPrograms.isEmpty());
        if (expected) {
            const QString folder = QString(expected) == "beside" ? besideExecutable : installedData;
            EXPECT_EQ(fakes.shell.openedFiles, QStringList(folder + "/license.txt"));
            EXPECT_TRUE(fakes.messageBoxes.shown.empty());
        } else {
            EXPECT_TRUE(fakes.shell.openedFiles.isEmpty());
            ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
            EXPECT_EQ(fakes.messageBoxes.shown[0].title, "License");
            EXPECT_EQ(fakes.messageBoxes.shown[0].text, "File not found!");
            EXPECT_EQ(fakes.messageBoxes.shown[0].icon, MessageIcon::Error);
            EXPECT_TRUE(about.isVisible());
        }
    }
}

TEST_F(AboutBoxTest, AFolderNamedLicenseTxtIsNoLicense)
{
    QDir().mkpath(besideExecutable + "/license.txt");
    open().LicensePrivacyPolicy1Click();
    EXPECT_TRUE(fakes.shell.openedFiles.isEmpty());
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "File not found!");
}

TEST_F(AboutBoxTest, MissingLicenseMessageIsTranslated)
{
    const QString languages = scratch() + "/Languages";
    QDir().mkpath(languages);
    writeFile(languages + "/xxlang.txt", "{License}Lizenz\r\n{File not found!}Datei nicht gefunden!\r\n");
    translator = std::make_unique<Translator>(languages, fakes.locale);
    translator->LoadLanguage("xxlang.txt");
    open().LicensePrivacyPolicy1Click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.shown[0].title, "Lizenz");
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, "Datei nicht gefunden!");
}

// Every drop of the first tick is scripted: one head in the panel's blank
// area (column 31, row 17) and all others in the margin's first columns.
TEST_F(AboutBoxTest, RainIsPaintedInTheShadesAndShowsOnlyAroundThePanel)
{
    constexpr int kColumns = 446 / 8;
    constexpr int kPanelColumn = 31;
    constexpr int kPanelRow = 17;
    for (int i = 0; i < 2 * kColumns; ++i) {
        const int row = i == kPanelColumn ? kPanelRow : (i < kColumns ? 5 : 20);
        fakes.random.scripted.insert(fakes.random.scripted.end(), {row, 0 /* speed 1 */, 99});
    }
    TAboutBox& about = open();
    EXPECT_EQ(colorsIn(about.outCanvas(), about.outCanvas().rect()), QSet<QRgb>({0xFF000000}));

    fakes.random.scripted.assign(2 * kColumns, 0);  // every character "z"
    about.tmTimerTimer();
    const QImage canvas = about.outCanvas();
    const QRgb head = MatrixRain::shade(252) | 0xFF000000;
    const QRgb trail = MatrixRain::shade(84) | 0xFF000000;

    // Column 0: heads at rows 5 and 20, trails above them, erase rows
    // 5 - 40 + 32 + 32 = 29 and 20 - 40 + 32 = 12 (matrixHeight + 1 = 32).
    EXPECT_EQ(colorsIn(canvas, cellRect(0, 5)), QSet<QRgb>({0xFF000000, head}));
    EXPECT_EQ(colorsIn(canvas, cellRect(0, 4)), QSet<QRgb>({0xFF000000, trail}));
    EXPECT_EQ(colorsIn(canvas, cellRect(0, 20)), QSet<QRgb>({0xFF000000, head}));
    EXPECT_EQ(colorsIn(canvas, cellRect(0, 29)), QSet<QRgb>({0xFF000000}));
    EXPECT_EQ(colorsIn(canvas, cellRect(0, 12)), QSet<QRgb>({0xFF000000}));
    EXPECT_EQ(colorsIn(canvas, cellRect(kPanelColumn, kPanelRow)), QSet<QRgb>({0xFF000000, head}));

    // On screen the panel covers the head painted beneath it. The rain holds
    // still meanwhile: on a busy machine a tick could come before the grab.
    about.tmTimer->stop();
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    const QImage screen = about.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(colorsIn(screen, cellRect(0, 5)).contains(head));
    for (QRgb pixel : colorsIn(screen, cellRect(kPanelColumn, kPanelRow)))
        EXPECT_TRUE(isBlack(pixel)) << std::hex << pixel;
}

TEST_F(AboutBoxTest, EveryOpeningSeedsAFreshRainOnBlack)
{
    TAboutBox& first = open();
    first.tmTimerTimer();
    first.tmTimerTimer();
    const std::vector<RainDrop> firstDrops = first.rain().drops();
    const std::size_t askedAfterFirst = fakes.random.askedBounds.size();

    TAboutBox& second = open();
    EXPECT_EQ(second.rain().tickCounter(), 0u);
    EXPECT_EQ(second.rain().drops().size(), 2u * 55u);
    EXPECT_EQ(fakes.random.askedBounds.size(), askedAfterFirst + 3 * 110u);
    EXPECT_EQ(colorsIn(second.outCanvas(), second.outCanvas().rect()), QSet<QRgb>({0xFF000000}));
    bool differs = false;
    for (std::size_t i = 0; i < firstDrops.size(); ++i)
        differs = differs || firstDrops[i].row != second.rain().drops()[i].row;
    EXPECT_TRUE(differs);
}
