#pragma once

#include <QCoreApplication>
#include <QStringList>

// "discover": the LAN search of the browse dialog.
class DiscoverCommand
{
    Q_DECLARE_TR_FUNCTIONS(DiscoverCommand)

public:
    static int run(const QStringList &arguments);
};
