#pragma once

#include "cli/fleetresult.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

// How a fleet run shows its registers: one line per register as it ends, and
// at the end a table, a JSON array or ";"-separated lines of all of them in
// inventory order. `members` are the job's own, in their order.
class FleetReport
{
    Q_DECLARE_TR_FUNCTIONS(FleetReport)

public:
    // `done` of `total` registers have ended with this one.
    static QString line(const FleetResult &result, int done, int total);
    static QString table(const QVector<FleetResult> &results);
    static QString json(const QVector<FleetResult> &results, const QStringList &members);
    static QString csv(const QVector<FleetResult> &results, const QStringList &members);

private:
    // "ОК", "ошибка -15", "не в сети", ...
    static QString outcome(const FleetResult &result);
    static QString target(const InventoryEntry &entry);
    static QString counts(const QVector<FleetResult> &results);
};
