#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pennolux {

// The identifier of this machine as the program may show it to others: never
// the raw machine id (machine-id(5) forbids that), but a value derived from it
// for this application alone.
class MachineIdentity {
public:
    virtual ~MachineIdentity() = default;
    // Lower-case GUID text ("xxxxxxxx-xxxx-4xxx-yxxx-xxxxxxxxxxxx"); empty when
    // the machine has no id. Throws AppError when an id file exists but does
    // not hold an id.
    virtual QString machineGuid() const = 0;
};

// HMAC-SHA256 keyed by the 16-byte machine id over the 16-byte application id,
// cut to 16 bytes, with the UUID version 4 and variant bits set: the value
// `systemd-id128 machine-id --app-specific=APP` prints.
QByteArray appSpecificId(const QByteArray& machineId, const QByteArray& applicationId);

// 16 bytes as "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx", lower case.
QString guidText(const QByteArray& id);

// Reads the first of the id files that exists (/etc/machine-id, then
// /var/lib/dbus/machine-id): 32 hexadecimal digits and a line break.
class MachineIdFile final : public MachineIdentity {
public:
    MachineIdFile();
    explicit MachineIdFile(QStringList candidates);
    QString machineGuid() const override;

private:
    QStringList candidates_;
};

} // namespace pennolux
