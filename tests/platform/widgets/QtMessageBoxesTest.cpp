#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <memory>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "AnswerDialog.h"
#include "platform/widgets/QtMessageBoxes.h"

namespace pennolux {
namespace {

using testing::answerNextDialog;

struct IconCase {
    MessageIcon icon;
    QMessageBox::Icon shown;
};

class QtMessageBoxesIconTest : public ::testing::TestWithParam<IconCase> {};

TEST_P(QtMessageBoxesIconTest, ShowsItsTextLiterallyWithOneOkButton)
{
    const QString markup = "Cannot create C:/<b>x</b>&amp;.png";
    bool answered = false;
    answerNextDialog<QMessageBox>([&](QMessageBox* box) {
        answered = true;
        EXPECT_EQ(box->windowTitle(), "Pennolux");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), markup);
        EXPECT_EQ(box->icon(), GetParam().shown);
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    QtMessageBoxes().show(nullptr, "Pennolux", markup, GetParam().icon);
    EXPECT_TRUE(answered);
}

INSTANTIATE_TEST_SUITE_P(Icons, QtMessageBoxesIconTest,
                         ::testing::Values(IconCase{MessageIcon::None, QMessageBox::NoIcon},
                                           IconCase{MessageIcon::Information, QMessageBox::Information},
                                           IconCase{MessageIcon::Warning, QMessageBox::Warning},
                                           IconCase{MessageIcon::Error, QMessageBox::Critical},
                                           IconCase{MessageIcon::Question, QMessageBox::Question}));

class QtMessageBoxesQuestionTest : public ::testing::TestWithParam<bool> {};

TEST_P(QtMessageBoxesQuestionTest, AnswersTrueOnlyForYesAndSitsInTheScreenCentre)
{
    const bool sayYes = GetParam();
    // A small parent in a corner: Qt alone would centre the box over it.
    QWidget parent;
    parent.setGeometry(0, 0, 120, 80);
    parent.show();

    answerNextDialog<QMessageBox>([&](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Reset");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), "Reset <i>all</i>?");
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        const QPoint screenCentre = parent.screen()->availableGeometry().center();
        EXPECT_LE((box->frameGeometry().center() - screenCentre).manhattanLength(), 1);
        box->button(sayYes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    EXPECT_EQ(QtMessageBoxes().askYesNo(&parent, "Reset", "Reset <i>all</i>?"), sayYes);
}

INSTANTIATE_TEST_SUITE_P(Answers, QtMessageBoxesQuestionTest, ::testing::Bool());

struct SaveCase {
    QMessageBox::StandardButton pressed;  // NoButton: Escape
    SaveChoice choice;
};

class QtMessageBoxesSaveTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(QtMessageBoxesSaveTest, OffersSaveDiscardAndCancelAndEscapeCancels)
{
    QWidget parent;
    parent.show();
    answerNextDialog<QMessageBox>([&](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Pennolux");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), "Save the changes to <b>.pnxt?");
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Save));
        if (GetParam().pressed == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(GetParam().pressed)->click();
    });
    EXPECT_EQ(QtMessageBoxes().askSaveChanges(&parent, "Pennolux", "Save the changes to <b>.pnxt?"),
              GetParam().choice);
}

INSTANTIATE_TEST_SUITE_P(Answers, QtMessageBoxesSaveTest,
                         ::testing::Values(SaveCase{QMessageBox::Save, SaveChoice::Save},
                                           SaveCase{QMessageBox::Discard, SaveChoice::Discard},
                                           SaveCase{QMessageBox::Cancel, SaveChoice::Cancel},
                                           SaveCase{QMessageBox::NoButton, SaveChoice::Cancel}));

} // namespace
} // namespace pennolux

namespace pennolux {
namespace {

TEST(QtMessageBoxesModeless, LeavesOtherWindowsUsableAndReportsItsClosingOnce)
{
    auto parent = std::make_unique<QWidget>();
    parent->show();
    int closings = 0;
    QtMessageBoxes().showModeless(parent.get(), "IMPORTANT", "<b>not markup</b>", MessageIcon::Warning,
                                  [&] { ++closings; });
    const auto shown = parent->findChildren<QMessageBox*>();
    ASSERT_EQ(shown.size(), 1);
    QMessageBox* box = shown.front();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(box->windowTitle(), "IMPORTANT");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    box->button(QMessageBox::Ok)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(closings, 1);
    EXPECT_TRUE(parent->findChildren<QMessageBox*>().isEmpty());

    QtMessageBoxes().showModeless(parent.get(), "IMPORTANT", "again", MessageIcon::Warning, [&] { ++closings; });
    parent.reset();
    EXPECT_EQ(closings, 2);
}

} // namespace
} // namespace pennolux

namespace pennolux {
namespace {

// However long the text, the box and its OK button stay inside the screen,
// and showing it takes no noticeable time.
TEST(QtMessageBoxesOnScreen, LongTextIsCutToWhatTheScreenHolds)
{
    struct Case {
        const char* what;
        QString text;
    };
    const Case cases[] = {
        {"one long paragraph", QString(1000000, u'w')},
        {"words", QString("word ").repeated(200000)},
        {"many short lines", QString("line\n").repeated(100000)},
    };
    QWidget parent;
    parent.show();
    const QRect screen = parent.screen()->availableGeometry();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QElapsedTimer clock;
        clock.start();
        QtMessageBoxes().showModeless(&parent, "IMPORTANT", c.text, MessageIcon::Warning, [] {});
        const auto shown = parent.findChildren<QMessageBox*>();
        ASSERT_EQ(shown.size(), 1);
        QMessageBox* box = shown.front();
        EXPECT_LT(clock.elapsed(), 1500);
        EXPECT_TRUE(screen.contains(box->frameGeometry()));
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        EXPECT_TRUE(screen.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size())));
        EXPECT_TRUE(box->text().endsWith(QChar(0x2026)));
        EXPECT_TRUE(c.text.startsWith(box->text().chopped(1)));
        delete box;
    }

    // A text that fits is shown whole.
    QtMessageBoxes().showModeless(&parent, "IMPORTANT", "Mind the gap", MessageIcon::Warning, [] {});
    const auto shown = parent.findChildren<QMessageBox*>();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.front()->text(), "Mind the gap");
}

} // namespace
} // namespace pennolux
