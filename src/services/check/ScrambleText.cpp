#include "ScrambleText.h"

#include <QByteArray>

namespace pennolux {

namespace {

constexpr quint16 kSeed = 0x5A3C;
constexpr quint16 kMultiplier = 0x9E37;
constexpr quint16 kIncrement = 0x7F4A;

quint16 nextKey(quint16 key, quint8 scrambled)
{
    return quint16((quint32(key) + scrambled) * kMultiplier + kIncrement);
}

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

QString ScrambleText(const QString& text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    QString scrambled;
    quint16 key = kSeed;
    for (const char c : text.toUtf8()) {
        const auto scrambledByte = quint8(quint8(c) ^ quint8(key >> 8));
        key = nextKey(key, scrambledByte);
        scrambled += QChar::fromLatin1(kHex[scrambledByte >> 4]);
        scrambled += QChar::fromLatin1(kHex[scrambledByte & 0x0F]);
    }
    return scrambled;
}

QString UnscrambleText(const QString& text)
{
    const QString upper = text.toUpper();
    QByteArray plain;
    quint16 key = kSeed;
    for (qsizetype i = 0; i + 1 < upper.size(); i += 2) {
        const int high = hexDigit(upper.at(i));
        const int low = hexDigit(upper.at(i + 1));
        if (high < 0 || low < 0)
            return {};
        const auto scrambledByte = quint8(high << 4 | low);
        plain += char(scrambledByte ^ quint8(key >> 8));
        key = nextKey(key, scrambledByte);
    }
    return QString::fromUtf8(plain);
}

} // namespace pennolux
