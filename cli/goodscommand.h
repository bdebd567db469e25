#pragma once

#include "goods/goodsitem.h"

#include <QCoreApplication>
#include <QStringList>

// "goods read|write": the goods table of one register through a goods CSV file.
class GoodsCommand
{
    Q_DECLARE_TR_FUNCTIONS(GoodsCommand)

public:
    static int run(const QStringList &arguments);

    // The goods of a CSV file, or a status with its error reported.
    static int loadCsv(const QString &path, GoodsList *goods);
    // The checks that do not depend on a register's capacity: the problems
    // listed on standard output (on standard error where standard output
    // carries JSON) and StatusIssues, unless `force`.
    static int checkBeforeWrite(const GoodsList &goods, bool force, bool problemsToError = false);

private:
    static int read(const QStringList &arguments);
    static int write(const QStringList &arguments);
};
