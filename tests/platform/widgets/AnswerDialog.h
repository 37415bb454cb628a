#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

namespace pennolux::testing {

// Answers the next modal dialog of type Dialog from inside its exec(): the
// answer runs once that dialog is the active modal widget. A different dialog,
// none at all, or one the answer leaves open fails the test and is closed, so
// that no exec() hangs.
template <typename Dialog, typename Answer>
void answerNextDialog(Answer answer, int triesLeft = 200)
{
    QTimer::singleShot(10, [answer, triesLeft] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<Dialog*>(modal)) {
            QTimer::singleShot(3000, dialog, [dialog] {
                ADD_FAILURE() << "the dialog was left open";
                dialog->reject();
            });
            answer(dialog);
            return;
        }
        if (triesLeft > 0 && !modal) {
            answerNextDialog<Dialog>(answer, triesLeft - 1);
            return;
        }
        ADD_FAILURE() << "the expected dialog was not shown";
        if (auto* other = qobject_cast<QDialog*>(modal))
            other->reject();
    });
}

} // namespace pennolux::testing
