#include "production/linerun/MessageQuote.h"

#include "platform/text/TextCut.h"

namespace pennolux {

namespace {

bool escapedAsUnicode(char16_t unit)
{
    return unit == 0x2028 || unit == 0x2029 || unit == 0x061C || unit == 0x200E || unit == 0x200F ||
           (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069);
}

QString hex(unsigned value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString escapedForMessage(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype index = 0; index < text.size(); ++index) {
        const char16_t unit = text.at(index).unicode();
        const bool pairStart = QChar::isHighSurrogate(unit) && index + 1 < text.size() &&
                               QChar::isLowSurrogate(text.at(index + 1).unicode());
        if (pairStart) {
            shown += text.at(index);
            shown += text.at(++index);
        } else if (unit == u'\\') {
            shown += QStringLiteral("\\\\");
        } else if (unit == u'\t') {
            shown += QStringLiteral("\\t");
        } else if (unit == u'\n') {
            shown += QStringLiteral("\\n");
        } else if (unit == u'\r') {
            shown += QStringLiteral("\\r");
        } else if (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F)) {
            shown += QStringLiteral("\\x") + hex(unit, 2);
        } else if (escapedAsUnicode(unit) || QChar::isSurrogate(unit)) {
            shown += QStringLiteral("\\u") + hex(unit, 4);
        } else {
            shown += QChar(unit);
        }
    }
    return shown;
}

QString quotedStartForMessage(const QString& text, int characters)
{
    const qsizetype end = wholeCharacterCutEnd(text, characters, CutMeasure::Characters);
    QString quote = escapedForMessage(text.left(end));
    if (end < text.size())
        quote += u'…';
    return quote;
}

} // namespace pennolux
