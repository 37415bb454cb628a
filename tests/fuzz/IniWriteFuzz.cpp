// The update check's store written back over whatever "update.ini" holds:
// the input is the file's bytes, then a NUL and the value to store. Whatever
// the file held, the store writes only what its reader takes again, and a
// value it says it stored reads back as it was.
#include <QFile>

#include "FuzzSupport.h"
#include "app/settings/IniDocument.h"
#include "platform/AppError.h"
#include "services/check/UpdateStore.h"

using namespace pennolux;

namespace {

const QString kName = QStringLiteral("LastVersion");

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ensureApplication();
    const QByteArray input = fuzz::bytesOf(data, size);
    const qsizetype split = input.indexOf('\0');
    const QByteArray before = split < 0 ? input : input.left(split);
    const QString value = split < 0 ? QStringLiteral("1.0") : QString::fromUtf8(input.mid(split + 1));
    const QString path = fuzz::scratchFile(before, QStringLiteral("update.ini"));

    const bool stored = UpdateStore(path).write(kName, value);
    const QByteArray after = fileBytes(path);
    fuzz::require(after.size() <= IniDocument::kMaxFileBytes);
    // A line break would become lines of their own: such a value is refused.
    const bool breaksLines = value.contains(u'\n') || value.contains(u'\r');
    fuzz::require(!(stored && breaksLines));
    if (!stored) {
        // A file that is not read, or a value refused, leaves the file as it was.
        fuzz::require(after == before || after.isEmpty());
        return 0;
    }
    try {
        const IniDocument written = IniDocument::open(path);
        fuzz::require(written.readString(QStringLiteral("Settings"), kName) == value);
        // Read and written again, the file stays as it is.
        fuzz::require(written.serialize() == after);
    } catch (const AppError&) {
        fuzz::require(false);
    }
    return 0;
}
