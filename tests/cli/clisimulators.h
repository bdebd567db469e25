#pragma once

// Simulated registers for the korvane-cli tests and the arguments that point
// the program at them.

#include "tests/support/core/simulators.h"

#include <QStringList>

// ADDRESS, the arguments, then --port of the simulator.
inline QStringList at(const RegisterSimulator &sim, const QStringList &arguments)
{
    return QStringList{sim.address().toString()} + arguments
           + QStringList{QStringLiteral("--port"), QString::number(sim.port())};
}

inline bool wroteAnything(const RegisterSimulator &sim)
{
    return Simulators::writesSeen(sim) > 0;
}
