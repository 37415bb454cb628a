#include "SystemInfo.h"

#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

#include <sys/utsname.h>

namespace pennolux {

namespace {

// os-release(5): shell-style assignments, values optionally quoted.
QString osReleaseValue(const QByteArray& text, const QByteArray& key)
{
    for (const QByteArray& line : text.split('\n')) {
        if (!line.startsWith(key + '='))
            continue;
        QByteArray value = line.mid(key.size() + 1).trimmed();
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return QString::fromUtf8(value);
    }
    return {};
}

QString productName()
{
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile file(QString::fromLatin1(path));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = file.read(64 * 1024);
        const QString name = osReleaseValue(text, "NAME");
        const QString version = osReleaseValue(text, "VERSION_ID");
        if (!name.isEmpty())
            return version.isEmpty() ? name : name + u' ' + version;
    }
    return QSysInfo::kernelType() == QLatin1String("linux") ? QStringLiteral("Linux") : QSysInfo::kernelType();
}

} // namespace

void parseKernelRelease(const QString& release, OsFacts& facts)
{
    static const QRegularExpression kNumbers(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = kNumbers.match(release);
    facts.majorVersion = match.captured(1).toInt();
    facts.minorVersion = match.captured(2).toInt();
    facts.build = match.captured(3).toInt();
}

bool isSixtyFourBitMachine(const QString& machine)
{
    return machine.contains(QLatin1String("64")) || machine == QLatin1String("s390x");
}

OsFacts HostSystemInfo::osFacts() const
{
    OsFacts facts;
    facts.productName = productName();
    utsname names{};
    if (uname(&names) == 0) {
        parseKernelRelease(QString::fromUtf8(names.release), facts);
        facts.is64Bit = isSixtyFourBitMachine(QString::fromUtf8(names.machine));
    }
    return facts;
}

} // namespace pennolux
