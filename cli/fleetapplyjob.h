#pragma once

#include "cli/fleetjob.h"
#include "session/paramsapply.h"
#include "session/paramsdiff.h"

#include <QCoreApplication>
#include <QList>

// "fleet apply": a template's shared settings into every register of its
// family. Each register is read first; the plan is the fields that would
// change. Only with `write` are they written, with the session's backup and
// read-back, and only when something changes.
class FleetApplyJob : public FleetJob
{
    Q_DECLARE_TR_FUNCTIONS(FleetApplyJob)

public:
    FleetApplyJob(const ParamsDiff::Blocks &templateBlocks, const QList<ParamsApply::Group> &groups, bool write);

    QStringList members() const override;
    void start(FleetTurn *turn) override;

private:
    void plan(FleetTurn *turn) const;
    void report(FleetTurn *turn, const QJsonObject &members, int changes) const;

    ParamsDiff::Blocks m_template;
    QList<ParamsApply::Group> m_groups;
    bool m_write = false;
};
