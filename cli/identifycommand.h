#pragma once

#include <QCoreApplication>
#include <QStringList>

// "identify ADDRESS": serial number, firmware version and goods capacity.
class IdentifyCommand
{
    Q_DECLARE_TR_FUNCTIONS(IdentifyCommand)

public:
    static int run(const QStringList &arguments);
};
