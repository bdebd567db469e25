#pragma once

#include "goods/goodsitem.h"

#include <QString>

// Goods rows for the goods tests, from the codec's to the window's.
namespace GoodsSamples {

inline GoodsItem item(const QString &name, const QString &intcode, const QString &barcode, double price,
                      int dept)
{
    GoodsItem g;
    g.name = name;
    g.intcode = intcode;
    g.barcode = barcode;
    g.price = price;
    g.dept = dept;
    return g;
}

// A row without a barcode, as most files hold them.
inline GoodsItem item(const QString &name, const QString &intcode, double price, int dept)
{
    return item(name, intcode, QString(), price, dept);
}

} // namespace GoodsSamples
