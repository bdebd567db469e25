#include "session/firmwareversion.h"

#include "params/deviceparams52.h"
#include "params/deviceparams53.h"

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
    const int value = minor(version);
    return value == Family252 || value == Family253;
}

QString FirmwareVersion::text(int major, int minor, int build)
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(build);
}

std::unique_ptr<DeviceParams> FirmwareVersion::createParams(const QString &version)
{
    switch (minor(version)) {
    case Family252:
        return std::make_unique<DeviceParams52>();
    case Family253:
        return std::make_unique<DeviceParams53>();
    default:
        return nullptr;
    }
}
