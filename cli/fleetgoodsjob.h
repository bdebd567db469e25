#pragma once

#include "cli/fleetjob.h"

#include <QByteArray>
#include <QCoreApplication>

// "fleet goods": one goods list to every register, each held to its own
// capacity unless forced; the session backs up what it overwrites and reads
// back what it wrote.
class FleetGoodsJob : public FleetJob
{
    Q_DECLARE_TR_FUNCTIONS(FleetGoodsJob)

public:
    // The goods area image of `rows` goods, checked already.
    FleetGoodsJob(const QByteArray &areaImage, int rows, bool force);

    QStringList members() const override;
    void start(FleetTurn *turn) override;

private:
    void report(FleetTurn *turn) const;

    QByteArray m_areaImage;
    int m_rows = 0;
    bool m_force = false;
};
