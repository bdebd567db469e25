#pragma once

#include <QString>

#include <memory>

class DeviceParams;

// The firmware version text of a register ("2.53.10", or a family pattern
// such as "2.53.*") and the family it selects: only the minor number counts.
class FirmwareVersion
{
public:
    static constexpr int Family252 = 52;
    static constexpr int Family253 = 53;

    // The second dot-separated part as a decimal number; -1 when there is none.
    static int minor(const QString &version);
    static bool isKnownFamily(const QString &version);
    // Parameters are written to registers of the 2.53 family only.
    static bool isWritable(const QString &version) { return minor(version) > Family252; }
    // "%1.%2.%3", as a register reports itself.
    static QString text(int major, int minor, int build);
    // The parameter set of the version's family with its defaults; null for
    // any other family.
    static std::unique_ptr<DeviceParams> createParams(const QString &version);
};
