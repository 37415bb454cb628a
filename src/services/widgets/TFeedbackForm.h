#pragma once

#include <QDialog>

#include "platform/HandlerGuard.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pennolux {

class Beeper;
class ChoicePanel;
class MessageBoxes;
class Translator;

struct FeedbackSetup {
    QString appProductName;
    QString appTitle;
    QString appVersion;
    QString serviceBase;  // host[:port]
    QString caBundleFile; // empty: the system's authorities
    int timeoutMs = 3000;
};

// The feedback window: like or dislike, a message and an optional e-mail
// address, sent to the web service in one form post when Send is pressed.
// Made anew for every opening; deletes itself when closed.
class TFeedbackForm final : public QDialog {
    Q_OBJECT
public:
    TFeedbackForm(const Translator& translator, MessageBoxes& messageBoxes, Beeper& beeper, FeedbackSetup setup,
                  QWidget* parent = nullptr);

    void Image1Click();
    void Image2Click();
    void BitBtn1Click();

    QWidget* Panel3 = nullptr;
    ChoicePanel* Panel4 = nullptr;
    ChoicePanel* Panel5 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QWidget* Panel2 = nullptr;
    QPushButton* BitBtn1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void buildControls();
    void limitMemoLength(int position, int added);

    const Translator& translator_;
    MessageBoxes& messageBoxes_;
    Beeper& beeper_;
    FeedbackSetup setup_;
    HandlerGuard guard_;
};

} // namespace pennolux
