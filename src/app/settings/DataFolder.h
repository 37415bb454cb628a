#pragma once

#include <QString>

namespace pennolux {

// Creates "chk.tmp" exclusively in folder and removes it again; a stale
// "chk.tmp" therefore makes the probe fail.
bool IsFolderWritable(const QString& folder);

// roamingBase + "/" + company + "/" + product + "/" (no creation).
QString perUserDataFolder(const QString& roamingBase, const QString& company, const QString& product);

// Whether the executable in executableFolder was installed into a prefix:
// the prefix holds the installed data folder share/pennolux beside its bin/
// ("../share/pennolux" from the executable's folder). A build tree or an
// unpacked copy has none.
bool isInstalledProgram(const QString& executableFolder);

// For a portable copy, the executable's folder (with a trailing "/") when it
// is writable; for an installed program, or an unwritable portable copy, the
// per-user folder, created level by level (failures ignored). An installed
// program's own folder is never probed.
QString chooseAppDataFolder(const QString& executableFolder, const QString& roamingBase,
                            const QString& company, const QString& product);

} // namespace pennolux
