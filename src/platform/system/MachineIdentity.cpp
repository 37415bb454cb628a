#include "MachineIdentity.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMessageAuthenticationCode>

#include "platform/AppError.h"

namespace pennolux {

namespace {

// Fixed for Pennolux: every installation derives its identifier with it, so the
// same machine always sends the same value, and no other program's value
// can be matched with it.
const QByteArray kApplicationId = QByteArray::fromHex("5b0e3a6c9d4f47a1b2c8e7f6a1d3c5e9");

constexpr qsizetype kIdBytes = 16;
constexpr qint64 kLongestIdFile = 256;

bool isHexId(const QByteArray& text)
{
    if (text.size() != 2 * kIdBytes)
        return false;
    for (const char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex)
            return false;
    }
    return true;
}

} // namespace

QByteArray appSpecificId(const QByteArray& machineId, const QByteArray& applicationId)
{
    QByteArray id = QMessageAuthenticationCode::hash(applicationId, machineId, QCryptographicHash::Sha256)
                        .left(kIdBytes);
    id[6] = char((quint8(id[6]) & 0x0F) | 0x40);
    id[8] = char((quint8(id[8]) & 0x3F) | 0x80);
    return id;
}

QString guidText(const QByteArray& id)
{
    const QByteArray hex = id.toHex();
    return QString::fromLatin1(hex.mid(0, 8) + '-' + hex.mid(8, 4) + '-' + hex.mid(12, 4) + '-' + hex.mid(16, 4) +
                               '-' + hex.mid(20));
}

MachineIdFile::MachineIdFile()
    : MachineIdFile(QStringList{"/etc/machine-id", "/var/lib/dbus/machine-id"})
{
}

MachineIdFile::MachineIdFile(QStringList candidates) : candidates_(std::move(candidates)) {}

QString MachineIdFile::machineGuid() const
{
    for (const QString& path : candidates_) {
        QFile file(path);
        if (!file.exists())
            continue;
        if (!file.open(QIODevice::ReadOnly))
            throw fileOpenError(path, file.errorString());
        const QByteArray text = file.read(kLongestIdFile).trimmed();
        // An empty file is how an image leaves the id to be made at first boot.
        if (text.isEmpty() || text == "uninitialized")
            return {};
        if (!isHexId(text))
            throw AppError(QStringLiteral("\"%1\" does not hold a machine id").arg(path));
        return guidText(appSpecificId(QByteArray::fromHex(text), kApplicationId));
    }
    return {};
}

} // namespace pennolux
