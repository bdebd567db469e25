#pragma once

#include "sim/registersimulator.h"

#include <QString>

#include <memory>

// Simulated registers for tests that reach one over the network. Tests send
// only to 127.0.0.0/8, and the windows always use one port, so each register
// a test starts for a window listens on a loopback address of its own.
namespace Simulators {

// The port the utility's windows reach every register on.
constexpr quint16 WindowPort = 8080;

// A simulator listening on `address` (0: any free port), or nullptr with the
// reason in the log.
std::unique_ptr<RegisterSimulator> start(const SimConfig &config, const QString &address, quint16 port = 0);

// Requests that wrote pages of any area: a read-only exchange sends none.
int writesSeen(const RegisterSimulator &sim);

} // namespace Simulators
