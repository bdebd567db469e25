#include "goods/goodscodec.h"

#include "goods/goodsrecord.h"

QByteArray encodeGoods(const GoodsList &goods, bool withHeader)
{
    QByteArray image;
    const int records = goods.size() + (goods.size() % 2 == 1 ? 2 : 1) + (withHeader ? 1 : 0);
    image.reserve(records * GoodsRecord::Size);
    if (withHeader)
        image.append(GoodsRecord::header());
    for (int i = 0; i < goods.size(); ++i)
        image.append(GoodsRecord::encode(goods.at(i), static_cast<qint16>(i + 1)));
    image.append(GoodsRecord::endMarker());
    if (goods.size() % 2 == 1)
        image.append(GoodsRecord::endMarker());
    return image;
}

GoodsList decodeGoods(const QByteArray &bytes)
{
    GoodsList goods;
    for (int offset = 0; offset < bytes.size(); offset += GoodsRecord::Size) {
        if (GoodsRecord::number(bytes, offset) == GoodsRecord::EndNumber)
            break;
        goods.append(GoodsRecord::decode(bytes.mid(offset, GoodsRecord::Size)));
    }
    return goods;
}
