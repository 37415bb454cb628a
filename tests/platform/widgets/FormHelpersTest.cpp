#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/widgets/FormHelpers.h"

using namespace pennolux;

namespace {

// The field's text as typed, before it loses the focus and fixes itself up.
void typeInto(QSpinBox& field, const QString& text)
{
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClicks(&field, text);
}

TEST(FormHelpersTest, AFieldCountsAsTheWholeNumberItShowsElseZero)
{
    struct Case {
        const char* typed;
        int expected;
    };
    const Case cases[] = {
        {"", 0},      // emptied
        {"42", 42},   // typed, not yet taken by value()
        {"0", 0},
        {"007", 7},
    };
    for (const Case& c : cases) {
        QSpinBox field;
        field.setRange(0, 999999);
        field.setValue(5);
        field.setSuffix(" px");
        typeInto(field, c.typed);
        EXPECT_EQ(wholeNumberOrZero(field), c.expected) << "typed \"" << c.typed << "\"";
    }
}

TEST(FormHelpersTest, ACaptionNamesEditableAndFixedBoxesAlike)
{
    QWidget page;
    auto* editable = new QComboBox(&page);
    editable->setEditable(true);
    auto* fixed = new QComboBox(&page);  // has no text editor of its own
    QLabel* editableCaption = addFieldLabel(&page, "Destination:", editable);
    QLabel* fixedCaption = addFieldLabel(&page, "Kind:", fixed);

    EXPECT_EQ(editableCaption->buddy(), editable);
    EXPECT_EQ(editable->lineEdit()->accessibleName(), "Destination:");
    EXPECT_EQ(editable->view()->accessibleName(), "Destination:");
    EXPECT_EQ(fixedCaption->buddy(), fixed);
    EXPECT_EQ(fixed->view()->accessibleName(), "Kind:");
    EXPECT_EQ(addFieldLabel(&page, "<b>x</b>")->textFormat(), Qt::PlainText);
}

TEST(FormHelpersTest, AWindowIsCentredOnItsParentsScreenWhetherShownOrNot)
{
    QWidget parent;
    parent.show();
    QDialog dialog(&parent);
    dialog.resize(300, 200);
    const QPoint centre = parent.screen()->availableGeometry().center();

    centreOnScreen(dialog);
    EXPECT_LE((dialog.frameGeometry().center() - centre).manhattanLength(), 1);

    dialog.show();
    dialog.move(0, 0);
    centreOnScreen(dialog);
    EXPECT_LE((dialog.frameGeometry().center() - centre).manhattanLength(), 1);
}

// Two screens side by side, which the offscreen platform makes from a file:
// the test runs itself again in a process of its own that has them.
TEST(FormHelpersTest, AWindowOpensOnItsParentsScreenElseOnTheOneUnderThePointer)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2) {
        ASSERT_TRUE(qEnvironmentVariableIsEmpty("PENNOLUX_TWO_SCREENS")) << "the platform made one screen";
        QTemporaryDir folder;
        QFile config(folder.filePath("screens.json"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(R"({"screens": [{"name": "left", "x": 0, "y": 0, "width": 800, "height": 600},
                                     {"name": "right", "x": 800, "y": 0, "width": 1024, "height": 768}]})");
        config.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName());
        environment.insert("PENNOLUX_TWO_SCREENS", "1");
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        child.start(QCoreApplication::applicationFilePath(),
                    {QString("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
        ASSERT_TRUE(child.waitForFinished(60000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
        return;
    }
    QScreen* left = screens[0];
    QScreen* right = screens[1];

    QWidget lone;
    lone.resize(200, 100);
    QCursor::setPos(right->geometry().center());
    EXPECT_EQ(screenForWindow(lone), right);
    QCursor::setPos(left->geometry().center());
    EXPECT_EQ(screenForWindow(lone), left);

    QWidget parent;
    parent.setGeometry(QRect(right->geometry().topLeft() + QPoint(40, 40), QSize(300, 200)));
    parent.show();
    ASSERT_EQ(parent.screen(), right);
    QDialog dialog(&parent);
    dialog.resize(300, 200);
    centreOnScreen(dialog);
    EXPECT_EQ(dialog.frameGeometry().center(), right->availableGeometry().center());
}

} // namespace
