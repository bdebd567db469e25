#pragma once

#include <QtGlobal>

// The fixed values of every conversation with a register. They sit at the
// bottom of the layers because the link itself waits for replies and the
// probe's TCP fallback knocks on the register's port; everything above takes
// them from here.
namespace RegisterDefaults {

constexpr quint16 TcpPort = 8080;        // every exchange
constexpr quint16 DiscoveryPort = 8090;  // the LAN search, sent and bound
constexpr int ProbeTimeout = 1000;       // ms for the echo before an exchange
constexpr int ReplyTimeout = 1000;       // ms for each reply of the link
// A register that answers the probe but never completes the connection (its
// listen queue full, say) would otherwise keep the exchange waiting for as
// long as the operating system retries.
constexpr int ConnectTimeout = 5000;     // ms for the TCP connection to come up
constexpr int SearchWait = 1000;         // ms for each wait of the LAN search
// The goods capacity of a register that does not report one.
constexpr int GoodsCapacity = 2000;

}
