#pragma once

#include <QStringList>

class FleetTurn;

// What a fleet command does with each register. The runner probes the
// register, sets up the turn's session and calls start(); the job runs one
// or more exchanges and ends the turn with FleetTurn::finish() or
// FleetTurn::conclude(), once, at once or from a later event. Several turns
// run at the same time, all on the runner's thread.
class FleetJob
{
public:
    virtual ~FleetJob() = default;

    // The members the job adds to each register's JSON object, in the order
    // --csv shows them; registers the job never reached show them as null.
    virtual QStringList members() const = 0;
    virtual void start(FleetTurn *turn) = 0;
};
