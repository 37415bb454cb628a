#pragma once

#include <QString>
#include <QStringList>

namespace pennolux {

// Where the program's own files (the Languages folder, license.txt, the
// sample list) are looked for, in order: beside the executable, so a build
// folder or an unpacked copy works as it is, then the installed data folder
// share/pennolux found from the executable's own place, so an installed tree
// works wherever its prefix is.
class DataFiles {
public:
    explicit DataFiles(QStringList folders);

    // The folders for an executable in executableFolder.
    static DataFiles besideExecutable(const QString& executableFolder);
    // The folders for the running program.
    static DataFiles forRunningProgram();

    // The path of the first regular file called name; empty when no folder
    // holds one.
    QString findFile(const QString& name) const;
    // The same for a folder.
    QString findFolder(const QString& name) const;

    const QStringList& folders() const { return folders_; }

private:
    QStringList folders_;
};

} // namespace pennolux
