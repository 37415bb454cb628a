#pragma once

#include <QString>
#include <QtGlobal>

#include <chrono>

namespace pennolux {

struct AntiwordRun {
    QString program;
    std::chrono::milliseconds timeout;
    qint64 maxOutputBytes;
};

// The text of a Word 97-2003 .doc as antiword prints it, one line per
// paragraph, its characters beyond the BMP made whole again and the empty
// lines above the first paragraph left out. The OLE2 signature is checked
// before antiword sees the file.
// Throws AppError when the file is no
// such document, antiword fails, runs past the time-out or prints more than
// the cap; antiword is killed in the last two cases.
QString readAntiwordText(const QString& path, const AntiwordRun& run);

} // namespace pennolux
