#include "goods/goodsitem.h"

bool GoodsItem::operator==(const GoodsItem &other) const
{
    return name == other.name && intcode == other.intcode && barcode == other.barcode
        && price == other.price && dept == other.dept;
}
