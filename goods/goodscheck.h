#pragma once

#include "goods/goodsitem.h"

#include <QString>
#include <QVector>

// One problem of a goods table: the row (0-based, in the order the goods were
// given), the column of GoodsTableModel and the text shown to the user.
struct GoodsProblem
{
    int row = 0;
    int column = 0;
    QString text;

    bool operator==(const GoodsProblem &other) const;
};

// Checks the goods in the order given: first the row limit (the register holds
// at most capacity − 1 rows), then per row the name, internal code, barcode,
// price and department.
QVector<GoodsProblem> checkGoods(const GoodsList &goods, int departmentCount, int capacity);
// The row-limit problem of `rows` goods for a register of `capacity`; empty
// when they fit.
QString goodsRowLimit(int rows, int capacity);
