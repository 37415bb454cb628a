#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "FakeBeeper.h"
#include "FakeLocale.h"
#include "FakeMessageBoxes.h"
#include "LocalService.h"
#include "localisation/Translator.h"
#include "services/feedback/FeedbackMessage.h"
#include "services/widgets/ChoicePanel.h"
#include "services/widgets/TFeedbackForm.h"

namespace pennolux {
namespace {

using testing::LocalService;
using testing::reply;

class TFeedbackFormTest : public ::testing::Test {
protected:
    void TearDown() override { delete form.data(); }

    // The product's values and the local service in place of the web service.
    FeedbackSetup setupFor(int timeoutMs = 3000) const
    {
        FeedbackSetup setup;
        setup.appProductName = "Pennolux";
        setup.appTitle = "Zantoph - Pennolux";
        setup.appVersion = "2.1";
        setup.serviceBase = service.address();
        setup.caBundleFile = LocalService::caFile();
        setup.timeoutMs = timeoutMs;
        return setup;
    }
    TFeedbackForm* open(int timeoutMs = 3000)
    {
        form = new TFeedbackForm(translator, boxes, beeper, setupFor(timeoutMs));
        return form;
    }
    void answer(const std::string& body) { service.answer("/php/feedback.php", reply(200, body)); }
    std::string sentBody() const
    {
        const auto requests = service.requests();
        return requests.empty() ? std::string() : requests.back().body;
    }
    static void deleteClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    LocalService service;
    testing::FakeMessageBoxes boxes;
    testing::FakeBeeper beeper;
    testing::FakeLocale locale;
    Translator translator{"/nonexistent", locale};
    QPointer<TFeedbackForm> form;
};

TEST_F(TFeedbackFormTest, LayoutKeyboardOrderAndNames)
{
    TFeedbackForm* window = open();
    window->show();
    QApplication::setActiveWindow(window);
    QTest::qWait(20);
    EXPECT_EQ(window->size(), QSize(525, 326));
    EXPECT_EQ(window->windowTitle(), "Pennolux feedback");
    EXPECT_EQ(window->Label1->text(), "We would really appreciate your feedback.");
    EXPECT_EQ(window->Label2->text(), "What did you like or dislike?");
    EXPECT_EQ(window->Label3->text(), "Include my e-mail:");
    EXPECT_EQ(window->BitBtn1->text(), "Send");
    EXPECT_EQ(window->Panel4->text(), "I like it!");
    EXPECT_EQ(window->Panel5->text(), "I dislike it!");
    EXPECT_TRUE(window->BitBtn1->isDefault());
    EXPECT_EQ(window->BitBtn1->size(), QSize(180, 34));
    EXPECT_EQ(window->Edit1->maxLength(), 100);
    EXPECT_EQ(window->Label3->buddy(), window->Edit1);
    EXPECT_EQ(window->focusWidget(), window->Memo1);

    const QWidget* expected[] = {window->Edit1, window->BitBtn1, window->Panel4, window->Panel5, window->Memo1};
    QWidget* at = window->Memo1;
    for (const QWidget* next : expected) {
        at = at->nextInFocusChain();
        while (!(at->focusPolicy() & Qt::TabFocus) || !at->isVisible())
            at = at->nextInFocusChain();
        EXPECT_EQ(at, next) << at->objectName().toStdString();
    }
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->focusPolicy() & Qt::TabFocus) {
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    }

    window->Memo1->setPlainText(QString(9990, u'x'));
    window->Memo1->moveCursor(QTextCursor::End);
    window->Memo1->insertPlainText(QString(20, u'y'));
    EXPECT_EQ(window->Memo1->toPlainText().size(), 10000);
}

TEST_F(TFeedbackFormTest, AChoiceMovesButIsNeverWithdrawn)
{
    TFeedbackForm* window = open();
    window->show();
    QTest::mouseClick(window->Panel4, Qt::LeftButton);
    EXPECT_TRUE(window->Panel4->isSelected());
    QTest::mouseClick(window->Panel4, Qt::LeftButton);
    EXPECT_TRUE(window->Panel4->isSelected());
    QTest::mouseClick(window->Image2, Qt::LeftButton); // the picture passes the click to its panel
    EXPECT_TRUE(window->Panel5->isSelected());
    EXPECT_FALSE(window->Panel4->isSelected());
    window->Panel4->setFocus();
    QTest::keyClick(window->Panel4, Qt::Key_Space);
    EXPECT_TRUE(window->Panel4->isSelected());
    EXPECT_FALSE(window->Panel5->isSelected());
}

TEST_F(TFeedbackFormTest, NothingToSendOnlyBeeps)
{
    TFeedbackForm* window = open();
    window->Memo1->setPlainText("  \n\n \t ");
    window->Edit1->setText("not an address");
    window->BitBtn1Click();
    EXPECT_EQ(beeper.beeps, 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(TFeedbackFormTest, SendsTheDesignedFieldsAndThanks)
{
    answer("OK\r\n");
    TFeedbackForm* window = open();
    window->Image1Click();
    window->Image2Click();
    window->Memo1->setPlainText("\n\n  Line one\nLine two & more  \n\n");
    window->Edit1->setText("  first.last+tag@mail-1.example.org  ");
    window->BitBtn1Click();
    EXPECT_EQ(sentBody(), "cmd=feedback&appname=Zantoph+-+Pennolux&version=2.1"
                          "&feedback=I+dislike+it%21%0DLine+one%0D%0ALine+two+%26+more"
                          "&email=first.last%2Btag%40mail-1.example.org");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown.front().title, "Success");
    EXPECT_EQ(boxes.shown.front().text, "Your feedback is received.\r\rThank you!");
    EXPECT_EQ(boxes.shown.front().icon, MessageIcon::Information);
    deleteClosed();
    EXPECT_TRUE(form.isNull());
}

TEST_F(TFeedbackFormTest, ChoiceAloneWithoutAddressSendsThePhraseAndACarriageReturn)
{
    answer("OK");
    TFeedbackForm* window = open();
    window->Image1Click();
    window->Edit1->setText("   ");
    window->BitBtn1Click();
    EXPECT_EQ(sentBody(), "cmd=feedback&appname=Zantoph+-+Pennolux&version=2.1&feedback=I+like+it%21%0D");
}

TEST_F(TFeedbackFormTest, EmailRule)
{
    for (const char* valid : {"a@b.c", "first.last+tag@sub-domain.mail.example.org", "x_y-z@a-b.co", "A9@B.C9"})
        EXPECT_TRUE(isValidFeedbackEmail(valid)) << valid;
    for (const char* invalid : {"a@b", "a@b.", "a@b.c-", "a@b.c.", "a@@b.c", "a@b@c.d", "o'neil@x.org",
                                "j\xC3\xB6rg@x.de", "a b@c.d", "@b.c", "a@.c", "a@b.c\n", ""})
        EXPECT_FALSE(isValidFeedbackEmail(QString::fromUtf8(invalid))) << invalid;

    TFeedbackForm* window = open();
    window->Memo1->setPlainText("Nice");
    window->Edit1->setText("someone@example");
    window->BitBtn1Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown.front().title, "Failure");
    EXPECT_EQ(boxes.shown.front().text, "Invalid e-mail address!");
    EXPECT_EQ(boxes.shown.front().icon, MessageIcon::Error);
    EXPECT_TRUE(service.requests().empty());
    deleteClosed();
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(window->Memo1->toPlainText(), "Nice");
    EXPECT_EQ(window->Edit1->text(), "someone@example");
}

TEST_F(TFeedbackFormTest, TranslatedCaptionTravelsInBracketsAfterTheEnglishPhrase)
{
    locale.languageId = 1031;
    Translator german(QCoreApplication::applicationDirPath() + "/Languages", locale);
    german.LoadLanguage("");
    answer("OK");
    form = new TFeedbackForm(german, boxes, beeper, setupFor());
    EXPECT_EQ(form->windowTitle(), "Pennolux Feedback");
    ASSERT_NE(form->Panel4->text(), "I like it!");
    form->Image1Click();
    form->BitBtn1Click();
    const QString caption = form.isNull() ? QString::fromUtf8("Gefällt mir!") : form->Panel4->text();
    EXPECT_EQ(QByteArray::fromPercentEncoding(QByteArray::fromStdString(sentBody()).replace('+', ' ')),
              ("cmd=feedback&appname=Zantoph - Pennolux&version=2.1&feedback=I like it! (" + caption + ")\r")
                  .toUtf8());
    EXPECT_EQ(choicePhrase("I dislike it!", "I dislike it!"), "I dislike it!");
}

TEST_F(TFeedbackFormTest, DeliveredOnlyOnExactlyOk)
{
    struct Case {
        std::string answer;
        bool delivered;
    };
    const Case cases[] = {{"OK", true}, {"OK\r\n", true}, {" OK \n", true}, {"ok", false},
                          {"OK\r\nmore", false}, {"", false}};
    for (const Case& test : cases) {
        boxes.shown.clear();
        answer(test.answer);
        TFeedbackForm* window = open();
        window->Memo1->setPlainText("Hello");
        window->BitBtn1Click();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown.front().title, test.delivered ? "Success" : "Failure") << test.answer;
        if (!test.delivered) {
            EXPECT_EQ(boxes.shown.front().text,
                      "Something went wrong. Your feedback could not be delivered.\r\rPlease try again later.");
            EXPECT_EQ(boxes.shown.front().icon, MessageIcon::Error);
            deleteClosed();
            ASSERT_FALSE(form.isNull());
            EXPECT_EQ(window->Memo1->toPlainText(), "Hello");
        }
        delete form.data();
    }

    service.answer("/php/feedback.php", reply(404, "<html><body>Not Found</body></html>", "text/html"));
    open()->Memo1->setPlainText("Hello");
    boxes.shown.clear();
    form->BitBtn1Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown.front().title, "Failure");
}

TEST_F(TFeedbackFormTest, SecureTimeOutIsWaitedOutBeforeThePlainAnswer)
{
    service.receiveSecure(testing::Reception::Silent);
    answer("OK");
    TFeedbackForm* window = open(300);
    window->Memo1->setPlainText("Hello");
    QElapsedTimer elapsed;
    elapsed.start();
    window->BitBtn1Click();
    EXPECT_GE(elapsed.elapsed(), 250);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown.front().title, "Success");
    ASSERT_EQ(service.requests().size(), 1u);
    EXPECT_FALSE(service.requests().front().secure);
}

TEST_F(TFeedbackFormTest, EscClosesEnterSendsExceptInTheMessage)
{
    for (const int field : {0, 1, 2}) {
        TFeedbackForm* window = open();
        window->show();
        QWidget* target = field == 0 ? static_cast<QWidget*>(window->Memo1)
                          : field == 1 ? static_cast<QWidget*>(window->Edit1)
                                       : static_cast<QWidget*>(window->BitBtn1);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        deleteClosed();
        EXPECT_TRUE(form.isNull()) << field;
    }

    TFeedbackForm* window = open();
    window->show();
    QApplication::setActiveWindow(window);
    window->Memo1->setFocus();
    QTest::keyClick(window->Memo1, Qt::Key_Return);
    EXPECT_EQ(window->Memo1->toPlainText(), "\n");
    EXPECT_EQ(beeper.beeps, 0);
    window->Edit1->setFocus();
    QTest::keyClick(window->Edit1, Qt::Key_Return);
    EXPECT_EQ(beeper.beeps, 1); // the default button ran: nothing to send
}

} // namespace
} // namespace pennolux
