#pragma once

#include <QString>

// One register that answered the LAN search.
struct FoundDevice
{
    QString serial;
    QString ip;
    QString mac;

    bool operator==(const FoundDevice &o) const
    {
        return serial == o.serial && ip == o.ip && mac == o.mac;
    }
};
