#pragma once

#include <QCoreApplication>
#include <QStringList>

// "goods read|write": the goods table of one register through a goods CSV file.
class GoodsCommand
{
    Q_DECLARE_TR_FUNCTIONS(GoodsCommand)

public:
    static int run(const QStringList &arguments);

private:
    static int read(const QStringList &arguments);
    static int write(const QStringList &arguments);
};
