#include "FeedbackMessage.h"

#include <QRegularExpression>

#include "services/TextTrim.h"

namespace pennolux {

namespace {

const QString kLikePhrase = QStringLiteral("I like it!");
const QString kDislikePhrase = QStringLiteral("I dislike it!");

} // namespace

QString choicePhrase(const QString& english, const QString& caption)
{
    return caption == english ? english : english + QStringLiteral(" (") + caption + u')';
}

QString feedbackText(const FeedbackInput& input)
{
    QString text;
    if (input.likeSelected)
        text = choicePhrase(kLikePhrase, input.likeCaption) + u'\r';
    if (input.dislikeSelected)
        text = choicePhrase(kDislikePhrase, input.dislikeCaption) + u'\r';
    QString message = input.message;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    message.replace(u'\n', QStringLiteral("\r\n"));
    return text + trimSpacesAndControls(message);
}

bool isValidFeedbackEmail(const QString& address)
{
    static const QRegularExpression kAddress(QRegularExpression::anchoredPattern(
        QStringLiteral("^[a-zA-Z0-9_.+-]+@[a-zA-Z0-9-]+\\.[a-zA-Z0-9-.]*[a-zA-Z0-9]+$")));
    return !address.isEmpty() && kAddress.match(address).hasMatch();
}

ServiceRequest feedbackRequest(const QString& appTitle, const QString& appVersion, const QString& feedback,
                               const QString& email)
{
    ServiceRequest request(QStringLiteral("feedback"));
    request.add(QStringLiteral("appname="), appTitle);
    request.add(QStringLiteral("version="), appVersion);
    request.add(QStringLiteral("feedback="), feedback);
    if (!email.isEmpty())
        request.add(QStringLiteral("email="), email);
    return request;
}

bool isDeliveredAnswer(const QStringList& lines)
{
    return trimSpacesAndControls(lines.join(QStringLiteral("\r\n"))) == QLatin1String("OK");
}

} // namespace pennolux
