#include "tests/support/core/simulators.h"

#include <QHostAddress>

namespace Simulators {

namespace {

constexpr quint8 WritePages = 0xC3;
constexpr quint8 WriteSystemPages = 0xC5;

} // namespace

std::unique_ptr<RegisterSimulator> start(const SimConfig &config, const QString &address, quint16 port)
{
    auto sim = std::make_unique<RegisterSimulator>(config);
    if (!sim->start(QHostAddress(address), port)) {
        qWarning("simulator on %s: %s", qPrintable(address), qPrintable(sim->errorString()));
        return nullptr;
    }
    return sim;
}

int writesSeen(const RegisterSimulator &sim)
{
    int writes = 0;
    for (const SimRequest &request : sim.requests())
        writes += request.command == WritePages || request.command == WriteSystemPages;
    return writes;
}

} // namespace Simulators
