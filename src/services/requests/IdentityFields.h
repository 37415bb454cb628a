#pragma once

#include <QString>

namespace pennolux {

struct OsFacts;
class Locale;
class MachineIdentity;

// "<name> (Version <major>.<minor>, Build <build>, <32|64>-bit Edition)", with
// " Service Pack <n>" after the name when one is installed.
QString OsDescription(const OsFacts& facts);

// "de-DE"; "xx" when the locale has no such form.
QString LocaleCode(const Locale& locale);

// The application-specific machine GUID; empty when the machine has none.
// Throws AppError when the stored id is unreadable.
QString ReadMachineGuid(const MachineIdentity& identity);

} // namespace pennolux
