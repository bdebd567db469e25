#pragma once

#include <QString>

#include <memory>

class DeviceParams;

// The firmware version text of a register ("2.53.10", or a family pattern
// such as "2.53.*"). What a version means is its family's to say
// (FirmwareFamily); these read the text and ask it.
class FirmwareVersion
{
public:
    // The second dot-separated part as a decimal number; -1 when there is none.
    static int minor(const QString &version);
    static bool isKnownFamily(const QString &version);
    static bool isWritable(const QString &version);
    // "%1.%2.%3", as a register reports itself.
    static QString text(int major, int minor, int build);
    // The parameter set of the version's family with its defaults; null for
    // any other family.
    static std::unique_ptr<DeviceParams> createParams(const QString &version);
};
