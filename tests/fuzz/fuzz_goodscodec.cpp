// The goods decoder against arbitrary goods images.
#include "goods/goodscodec.h"
#include "goods/goodsrecord.h"
#include "tests/fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray image = fuzzBytes(data, size);
    const GoodsList goods = decodeGoods(image);
    FUZZ_CHECK(goods.size() <= (image.size() + GoodsRecord::Size - 1) / GoodsRecord::Size);
    for (const GoodsItem &item : goods) {
        FUZZ_CHECK(item.dept >= 0 && item.dept <= 255);
        FUZZ_CHECK(item.barcode.size() <= 14);
        FUZZ_CHECK(item.price >= 0.0);
    }

    // Written back, the rows keep their number and departments and the area
    // image fills whole pages.
    const QByteArray written = encodeGoods(goods, false);
    const int markers = goods.size() % 2 == 1 ? 2 : 1;
    FUZZ_CHECK(written.size() == GoodsRecord::Size * (goods.size() + markers));
    FUZZ_CHECK(encodeGoods(goods, true).size() % 256 == 0);
    const GoodsList back = decodeGoods(written);
    FUZZ_CHECK(back.size() == goods.size());

    // What was written once reads back unchanged. Barcodes count only when
    // they are digits: a nibble above 9 has no digit to come back as.
    const GoodsList again = decodeGoods(encodeGoods(back, false));
    FUZZ_CHECK(again.size() == back.size());
    for (int i = 0; i < back.size(); ++i) {
        const GoodsItem &a = back.at(i);
        const GoodsItem &b = again.at(i);
        FUZZ_CHECK(a.dept == goods.at(i).dept && b.dept == a.dept);
        FUZZ_CHECK(b.name == a.name && b.intcode == a.intcode && b.price == a.price);
        bool digits = true;
        for (const QChar c : a.barcode)
            digits = digits && c.isDigit();
        if (digits)
            FUZZ_CHECK(b.barcode == a.barcode);
    }
    return 0;
}
