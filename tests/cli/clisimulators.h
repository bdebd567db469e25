#pragma once

// Simulated registers for the korvane-cli tests and the arguments that point
// the program at them.

#include "sim/registersimulator.h"

#include <QStringList>

#include <memory>

inline std::unique_ptr<RegisterSimulator> startSim(const SimConfig &config, const char *address)
{
    auto sim = std::make_unique<RegisterSimulator>(config);
    if (!sim->start(QHostAddress(QString::fromLatin1(address)), 0)) {
        qWarning("simulator: %s", qPrintable(sim->errorString()));
        return nullptr;
    }
    return sim;
}

// ADDRESS, the arguments, then --port of the simulator.
inline QStringList at(const RegisterSimulator &sim, const QStringList &arguments)
{
    return QStringList{sim.address().toString()} + arguments
           + QStringList{QStringLiteral("--port"), QString::number(sim.port())};
}

inline bool wroteAnything(const RegisterSimulator &sim)
{
    for (const SimRequest &request : sim.requests()) {
        if (request.command == 0xC3 || request.command == 0xC5)
            return true;
    }
    return false;
}
