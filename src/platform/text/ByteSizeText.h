#pragma once

#include <QString>

namespace pennolux {

// A byte count as a limit is stated to the user: "64 MiB" when it is a whole
// number of mebibytes, else "1500 bytes".
QString byteSizeText(qint64 bytes);

} // namespace pennolux
