// The goods CSV loader, both layouts, against arbitrary files.
#include "goods/goodscsv.h"
#include "tests/fuzz/fuzzcheck.h"

namespace {

bool digitsOnly(const QString &text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

void checkResult(const GoodsCsvResult &result, const QByteArray &file)
{
    FUZZ_CHECK(result.succeeded() || result.goods.isEmpty());
    FUZZ_CHECK(result.goods.size() <= file.count('\n') + 1);
    FUZZ_CHECK(result.row >= 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file = fuzzBytes(data, size);
    const GoodsCsvResult current = readGoodsCsv(file);
    checkResult(current, file);
    checkResult(readOldGoodsCsv(file), file);
    if (current.status != GoodsCsvResult::Loaded)
        return 0;

    // Rows whose codes are digits, as the goods check demands, come back
    // from a file the utility writes, prices to the last bit. A written file
    // that happens to be valid UTF-8 as well is read as such: skipped.
    GoodsList plain;
    for (const GoodsItem &item : current.goods) {
        if (digitsOnly(item.intcode) && digitsOnly(item.barcode))
            plain.append(item);
    }
    const QByteArray written = writeGoodsCsv(plain);
    if (goodsCsvAsWindows1251(written) != written)
        return 0;
    const GoodsCsvResult again = readGoodsCsv(written);
    FUZZ_CHECK(again.status == GoodsCsvResult::Loaded);
    FUZZ_CHECK(again.goods.size() == plain.size());
    for (int i = 0; i < plain.size(); ++i) {
        const GoodsItem &a = plain.at(i);
        const GoodsItem &b = again.goods.at(i);
        FUZZ_CHECK(b.name == a.name && b.intcode == a.intcode && b.barcode == a.barcode && b.dept == a.dept);
        FUZZ_CHECK(b.price == a.price);
    }
    return 0;
}
