#include "RecentFilesMenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <utility>

#include "app/settings/IniDocument.h"
#include "app/settings/RecentFiles.h"
#include "platform/AppError.h"
#include "platform/HandlerGuard.h"

namespace pennolux {

RecentFilesMenu::RecentFilesMenu(QMenu& fileMenu, IniDocument& settings, const HandlerGuard& guard, Opener open)
    : QObject(&fileMenu), settings_(settings), guard_(guard), open_(std::move(open))
{
    menu_ = fileMenu.addMenu(QStringLiteral("Open &Recent"));
    menu_->setObjectName("openRecentMenu");
    menu_->setAccessibleName(QStringLiteral("Open Recent"));
    menu_->menuAction()->setObjectName("openRecentItem");
    rebuild();
}

void RecentFilesMenu::remember(const QString& path)
{
    store(withRecentFile(readRecentFiles(settings_), QFileInfo(path).absoluteFilePath()));
}

void RecentFilesMenu::openEntry(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        QStringList paths = readRecentFiles(settings_);
        paths.removeAll(path);
        store(paths);
        throw AppError(QStringLiteral("\"%1\" no longer exists; it has been removed from Open Recent.")
                           .arg(QDir::toNativeSeparators(path)));
    }
    open_(path);
}

void RecentFilesMenu::clear()
{
    store({});
}

// The menu is rebuilt before the file is saved, so a settings file that
// cannot be written still leaves the menu as the user just made it.
void RecentFilesMenu::store(const QStringList& paths)
{
    writeRecentFiles(settings_, paths);
    rebuild();
    settings_.save();
}

// Each entry is reached by its number's key and says its whole path in the
// status bar and to a screen reader; the menu shows the file's name.
void RecentFilesMenu::rebuild()
{
    // An entry may be rebuilding the menu from its own handler: the old
    // items go once that handler has returned.
    for (QAction* item : menu_->actions()) {
        menu_->removeAction(item);
        item->deleteLater();
    }
    const QStringList paths = readRecentFiles(settings_);
    for (int index = 0; index < paths.size(); ++index) {
        const QString& path = paths[index];
        const QString number = index < 9 ? QStringLiteral("&%1").arg(index + 1) : QStringLiteral("1&0");
        auto* entry = new QAction(this);
        entry->setText(QStringLiteral("%1 %2").arg(number, QFileInfo(path).fileName()));
        menu_->addAction(entry);
        const QString shown = QDir::toNativeSeparators(path);
        entry->setStatusTip(shown);
        entry->setToolTip(shown);
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { guard_.run([this, &path] { openEntry(path); }); });
    }
    menu_->addSeparator();
    clearItem_ = new QAction(QStringLiteral("&Clear Menu"), this);
    menu_->addAction(clearItem_);
    clearItem_->setObjectName("clearRecentItem");
    clearItem_->setEnabled(!paths.isEmpty());
    connect(clearItem_, &QAction::triggered, this, [this] { guard_.run([this] { clear(); }); });
}

} // namespace pennolux
