#include "DesignFont.h"

#include <QFile>
#include <QFontDatabase>
#include <initializer_list>

namespace pennolux {

namespace {

const QString kDesignFamily = QStringLiteral("Tahoma");

bool familyKnown(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// fonts-wine puts its metric-compatible faces outside fontconfig's search path.
void registerWhenMissing(const QString& family, std::initializer_list<const char*> faces)
{
    if (familyKnown(family))
        return;
    for (const char* face : faces) {
        const QString path = QString::fromLatin1(face);
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
}

} // namespace

bool ensureDesignFontAvailable()
{
    registerWhenMissing(kDesignFamily, {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"});
    // The About window's link is designed in MS Sans Serif.
    registerWhenMissing(QStringLiteral("MS Sans Serif"), {"/usr/share/wine/fonts/ms_sans_serif.ttf"});
    return familyKnown(kDesignFamily);
}

QFont designFont(int pointSize)
{
    return QFont(kDesignFamily, pointSize);
}

} // namespace pennolux
