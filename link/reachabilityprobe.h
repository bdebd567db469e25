#pragma once

#include <QString>

#include <functional>
#include <memory>

// Asks whether a register answers at all before an exchange is started.
// Windows get their probe from create(); tests install a factory that makes
// doubles (see FixedProbe).
class ReachabilityProbe
{
public:
    virtual ~ReachabilityProbe();
    // 0 when the address answered within `timeout` ms; anything else means
    // unreachable (-1: not a dotted-decimal IPv4 address).
    virtual int ping(const QString &address, int timeout) = 0;
    // Milliseconds of the last successful ping; -1 after a failed one.
    virtual int roundTripTime() const = 0;

    // An IcmpProbe unless a factory is set; an empty function restores that.
    static std::unique_ptr<ReachabilityProbe> create();
    static void setFactory(std::function<std::unique_ptr<ReachabilityProbe>()> factory);
};
