#pragma once

#include <QCoreApplication>
#include <QStringList>

// "fleet status|backup|goods|apply": one command for every register of a shop,
// several registers at once (FleetRunner).
class FleetCommand
{
    Q_DECLARE_TR_FUNCTIONS(FleetCommand)

public:
    static int run(const QStringList &arguments);

private:
    static int status(const QStringList &arguments);
    static int backup(const QStringList &arguments);
    static int goods(const QStringList &arguments);
    static int apply(const QStringList &arguments);
};
