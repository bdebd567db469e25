#pragma once

#include "session/profilefile.h"

#include <QCoreApplication>
#include <QString>

// Where a command takes parameters from, as the user names it:
//   a params or profile file        shop1.json
//   a stored profile                profile:2530000001
//   a register                      192.0.2.10/2530000001 or 192.0.2.10:8081/2530000001
class ParamsSource
{
    Q_DECLARE_TR_FUNCTIONS(ParamsSource)

public:
    // The parameters of `source` into *file; a CliStatus, its failure reported.
    static int load(const QString &source, quint16 defaultPort, ProfileFile *file);
    static QString syntax();
};
