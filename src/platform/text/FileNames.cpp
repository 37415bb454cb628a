#include "platform/text/FileNames.h"

#include <QFileInfo>

namespace pennolux {

QString lowerCaseExtension(const QString& path)
{
    const QString name = QFileInfo(path).fileName().toLower();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

} // namespace pennolux
