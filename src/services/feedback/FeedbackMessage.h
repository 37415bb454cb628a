#pragma once

#include <QString>
#include <QStringList>

#include "services/requests/ServiceRequest.h"

namespace pennolux {

// What the feedback window holds when Send is pressed.
struct FeedbackInput {
    bool likeSelected = false;
    bool dislikeSelected = false;
    QString likeCaption;    // as shown: translated or English
    QString dislikeCaption;
    QString message;        // lines joined by "\n"
};

// The English phrase, with the shown caption in brackets when it differs.
QString choicePhrase(const QString& english, const QString& caption);

// The chosen phrase and a CR, then the message with CR LF line breaks,
// trimmed of spaces and control characters; empty when there is nothing to send.
QString feedbackText(const FeedbackInput& input);

// The address rule, matched against the whole (already trimmed) address.
bool isValidFeedbackEmail(const QString& address);

// "cmd=feedback", "appname=", "version=", "feedback=", and "email=" only
// when the address is not empty.
ServiceRequest feedbackRequest(const QString& appTitle, const QString& appVersion, const QString& feedback,
                               const QString& email);

// Delivered only when the answer, lines joined by CR LF and trimmed, is exactly "OK".
bool isDeliveredAnswer(const QStringList& lines);

} // namespace pennolux
