#include "IdentityFields.h"

#include "platform/desktop/Locale.h"
#include "platform/system/MachineIdentity.h"
#include "platform/system/SystemInfo.h"

namespace pennolux {

QString OsDescription(const OsFacts& facts)
{
    const QString edition = facts.is64Bit ? QStringLiteral("64-bit Edition") : QStringLiteral("32-bit Edition");
    const QString version = QStringLiteral("(Version %1.%2, Build %3, %4)")
                                .arg(facts.majorVersion)
                                .arg(facts.minorVersion)
                                .arg(facts.build)
                                .arg(edition);
    if (facts.servicePack > 0)
        return QStringLiteral("%1 Service Pack %2 %3")
            .arg(facts.productName, QString::number(facts.servicePack), version);
    return facts.productName + u' ' + version;
}

QString LocaleCode(const Locale& locale)
{
    const QString code = locale.isoLocaleName();
    return code.isEmpty() ? QStringLiteral("xx") : code;
}

QString ReadMachineGuid(const MachineIdentity& identity)
{
    return identity.machineGuid();
}

} // namespace pennolux
