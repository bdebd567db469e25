#pragma once

#include "cli/fleetjob.h"

#include <QCoreApplication>

// "fleet backup": a params and a goods backup of each register, stored as
// the backups taken before a write are.
class FleetBackupJob : public FleetJob
{
    Q_DECLARE_TR_FUNCTIONS(FleetBackupJob)

public:
    QStringList members() const override;
    void start(FleetTurn *turn) override;

private:
    static void report(FleetTurn *turn);
};
