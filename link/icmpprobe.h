#pragma once

#include "link/reachabilityprobe.h"

#include <array>

// One ICMP echo with a 32-byte payload of 0xAD, answered within the timeout.
// On Windows through the IP Helper echo; elsewhere over an ICMP datagram
// socket where the host allows unprivileged ping, else a raw ICMP socket, and
// where neither can be opened, a TCP connection attempt to the register port
// (an answer of either kind, accepted or refused, means the host is up).
class IcmpProbe : public ReachabilityProbe
{
public:
    // Which means a ping may use; Automatic tries them in the order above.
    // The others exist so that each means can be checked on its own; they
    // answer -2 where that means is not available. Windows ignores it and
    // always uses the IP Helper echo.
    enum class Facility { Automatic, IcmpDatagram, IcmpRaw, TcpConnect, IpHelperEcho };

    static constexpr int PayloadSize = 32;

    explicit IcmpProbe(Facility facility = Facility::Automatic);
    ~IcmpProbe() override;
    IcmpProbe(const IcmpProbe &) = delete;
    IcmpProbe &operator=(const IcmpProbe &) = delete;

    // 0 reachable; -1 not a dotted-decimal IPv4 address (255.255.255.255
    // included); -2 no means of probing; otherwise the platform's error code
    // (a timeout included).
    int ping(const QString &address, int timeout) override;
    int roundTripTime() const override { return m_roundTripTime; }

    // The means the last ping used (Automatic before the first one).
    Facility usedFacility() const { return m_used; }

private:
    bool m_socketsReady = false;
    std::array<unsigned char, PayloadSize> m_payload;
    int m_roundTripTime = 0;
    Facility m_facility;
    Facility m_used = Facility::Automatic;
};
