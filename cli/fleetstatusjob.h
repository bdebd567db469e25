#pragma once

#include "cli/fleetjob.h"

#include <QCoreApplication>

// "fleet status": who answers, with which firmware and goods capacity, and
// whether it is the register the inventory expects at that address.
class FleetStatusJob : public FleetJob
{
    Q_DECLARE_TR_FUNCTIONS(FleetStatusJob)

public:
    QStringList members() const override;
    void start(FleetTurn *turn) override;

private:
    static void report(FleetTurn *turn);
};
