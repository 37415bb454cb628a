#include "AnswerLines.h"

#include <QRegularExpression>

namespace pennolux {

QStringList answerLines(const QString& answer)
{
    if (answer.isEmpty())
        return {};
    static const QRegularExpression kBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = answer.split(kBreak);
    if (lines.size() > 1 && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QString TaggedValue(const QString& line, const QString& tagName)
{
    if (line.isEmpty() || tagName.isEmpty())
        return {};
    const QString tag = tagName.toLower();
    const QString opening = u'<' + tag + u'>';
    const QString closing = QStringLiteral("</") + tag + u'>';
    if (line.size() < opening.size() + closing.size() || !line.startsWith(opening, Qt::CaseSensitive) ||
        !line.endsWith(closing, Qt::CaseSensitive))
        return {};
    return line.mid(opening.size(), line.size() - opening.size() - closing.size());
}

} // namespace pennolux
