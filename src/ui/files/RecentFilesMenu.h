#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace pennolux {

class HandlerGuard;
class IniDocument;

// File › Open Recent: the lists and templates last opened, most recent
// first, kept per user in the settings file. An entry whose file has gone
// is removed when chosen, with a message saying so; Clear Menu empties it.
class RecentFilesMenu final : public QObject {
public:
    using Opener = std::function<void(const QString& path)>;

    RecentFilesMenu(QMenu& fileMenu, IniDocument& settings, const HandlerGuard& guard, Opener open);

    // Puts the file first and saves the settings file.
    void remember(const QString& path);
    // The entry's handler; throws AppError for a file that has gone.
    void openEntry(const QString& path);
    void clear();

    QMenu* menu() const { return menu_; }
    QAction* clearItem() const { return clearItem_; }

private:
    void rebuild();
    void store(const QStringList& paths);

    IniDocument& settings_;
    const HandlerGuard& guard_;
    Opener open_;
    QMenu* menu_ = nullptr;
    QAction* clearItem_ = nullptr;
};

} // namespace pennolux
