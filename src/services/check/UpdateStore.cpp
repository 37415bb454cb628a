#include "UpdateStore.h"

#include <QFileInfo>
#include <limits>

#include "app/settings/IniDocument.h"

namespace pennolux {

namespace {

const QString kGroup = QStringLiteral("Settings");

// A file past the reader's limit could never be read again, so the user's
// switch would be lost for good: it is replaced by a fresh store. Any other
// file that cannot be read is the user's to mend and is left as it is.
IniDocument openForWriting(const QString& filePath)
{
    const QFileInfo file(filePath);
    if (file.isFile() && file.size() > IniDocument::kMaxFileBytes)
        return IniDocument(filePath);
    return IniDocument::open(filePath);
}

} // namespace

UpdateStore::UpdateStore(QString filePath) : filePath_(std::move(filePath)) {}

QString UpdateStore::readText(const QString& name, const QString& fallback) const
{
    if (!hasFile())
        return fallback;
    try {
        return IniDocument::open(filePath_).readString(kGroup, name, fallback);
    } catch (const std::exception&) {
        return fallback;
    }
}

int UpdateStore::readNumber(const QString& name, int fallback) const
{
    int number = 0;
    return parseWholeNumber(readText(name), number) ? number : fallback;
}

bool UpdateStore::write(const QString& name, const QString& value) const
{
    if (!hasFile())
        return false;
    try {
        IniDocument document = openForWriting(filePath_);
        document.writeString(kGroup, name, value);
        document.save();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool parseWholeNumber(const QString& text, int& number)
{
    qsizetype at = 0;
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        at = 1;
    if (at == text.size())
        return false;
    qint64 value = 0;
    for (; at < text.size(); ++at) {
        const QChar c = text.at(at);
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return false;
    number = int(value);
    return true;
}

} // namespace pennolux
