#pragma once

#include <QCoreApplication>
#include <QStringList>

// "params diff A B": every value the editor shows that differs between two
// parameter sets, with the page's own labels, and the bytes it does not show.
class ParamsDiffCommand
{
    Q_DECLARE_TR_FUNCTIONS(ParamsDiffCommand)

public:
    static int run(const QStringList &arguments);
};
