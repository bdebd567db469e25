#pragma once

#include <QString>

struct DeviceRecord
{
    QString serial;
    QString name;
    QString version;
    QString addr;

    // A register is identified by its serial number alone.
    bool operator==(const DeviceRecord &other) const { return serial == other.serial; }
    bool operator!=(const DeviceRecord &other) const { return !(*this == other); }
};
