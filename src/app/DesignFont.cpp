#include "DesignFont.h"

#include <QFile>
#include <QFontDatabase>

namespace pennolux {

namespace {

const QString kDesignFamily = QStringLiteral("Tahoma");

bool designFamilyKnown()
{
    return QFontDatabase::families().contains(kDesignFamily, Qt::CaseInsensitive);
}

} // namespace

bool ensureDesignFontAvailable()
{
    if (designFamilyKnown())
        return true;
    // fonts-wine puts its metric-compatible faces outside fontconfig's search path.
    for (const char* face : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        const QString path = QString::fromLatin1(face);
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    return designFamilyKnown();
}

QFont designFont(int pointSize)
{
    return QFont(kDesignFamily, pointSize);
}

} // namespace pennolux
