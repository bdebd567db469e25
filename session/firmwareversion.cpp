#include "session/firmwareversion.h"

#include "params/deviceparams.h"
#include "session/firmwarefamily.h"

#include <QStringList>

int FirmwareVersion::minor(const QString &version)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    if (parts.size() < 2)
        return -1;
    bool ok = false;
    const int value = parts.at(1).toInt(&ok, 10);
    return ok ? value : -1;
}

bool FirmwareVersion::isKnownFamily(const QString &version)
{
    return FirmwareFamily::forVersion(version) != nullptr;
}

bool FirmwareVersion::isWritable(const QString &version)
{
    const FirmwareFamily *family = FirmwareFamily::forVersion(version);
    return family && family->paramsWritable();
}

QString FirmwareVersion::text(int major, int minor, int build)
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(build);
}

std::unique_ptr<DeviceParams> FirmwareVersion::createParams(const QString &version)
{
    const FirmwareFamily *family = FirmwareFamily::forVersion(version);
    return family ? family->createParams() : nullptr;
}
