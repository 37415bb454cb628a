#pragma once

#include <QString>

namespace pennolux {

// Creates "chk.tmp" exclusively in folder and removes it again; a stale
// "chk.tmp" therefore makes the probe fail.
bool IsFolderWritable(const QString& folder);

// roamingBase + "/" + company + "/" + product + "/" (no creation).
QString perUserDataFolder(const QString& roamingBase, const QString& company, const QString& product);

// The executable's folder (with a trailing "/") when it is writable, else the
// per-user folder, created level by level (failures ignored).
QString chooseAppDataFolder(const QString& executableFolder, const QString& roamingBase,
                            const QString& company, const QString& product);

} // namespace pennolux
