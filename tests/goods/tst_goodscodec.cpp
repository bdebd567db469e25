#include "goods/goodscodec.h"
#include "goods/goodsrecord.h"
#include "tests/goods/goodssamples.h"

#include <QtTest>

using GoodsSamples::item;

namespace {

const int kRecord = 128;

// Written here rather than taken from the codec, so that a wrong range or
// operator in the codec's checksum shows.
quint8 xorOf(const QByteArray &record)
{
    quint8 sum = 0;
    for (int i = 0; i <= 126; ++i)
        sum = quint8(sum ^ quint8(record.at(i)));
    return sum;
}

qint16 numberAt(const QByteArray &image, int record)
{
    const int at = record * kRecord;
    return qint16(quint8(image.at(at)) | (quint8(image.at(at + 1)) << 8));
}

quint64 priceOf(const QByteArray &record)
{
    quint64 value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | quint8(record.at(101 + i));
    return value;
}

QByteArray endMarker()
{
    QByteArray r(kRecord, '\0');
    r[0] = char(0xFF);
    r[1] = char(0xFF);
    return r;
}

// A record built byte by byte, the way the register writes one.
QByteArray rawRecord(qint16 number, quint8 dept, const QByteArray &intcode, const QByteArray &barcode7,
                     const QByteArray &name, quint64 price)
{
    QByteArray r(kRecord, '\0');
    r[0] = char(number & 0xFF);
    r[1] = char((number >> 8) & 0xFF);
    r[2] = char(dept);
    r.replace(3, intcode.size(), intcode);
    r.replace(9, 7, barcode7);
    r.replace(16, name.size(), name);
    for (int i = 0; i < 8; ++i)
        r[101 + i] = char((price >> (8 * i)) & 0xFF);
    r[127] = char(xorOf(r));
    return r;
}

}

class TestGoodsCodec : public QObject
{
    Q_OBJECT

private slots:
    void emptyImages();
    void endMarkersFillPages();
    void recordLayout();
    void barcodePacking_data();
    void barcodePacking();
    void prices_data();
    void prices();
    void storedPriceReadsWholeCents();
    void longCyrillicName();
    void longIntcode();
    void decodeStopsAtEndMarker();
    void decodeShortRecord();
    void roundTrip();
};

void TestGoodsCodec::emptyImages()
{
    const QByteArray bare = encodeGoods(GoodsList(), false);
    QCOMPARE(bare, endMarker());

    const QByteArray area = encodeGoods(GoodsList(), true);
    QCOMPARE(area.size(), 256);
    QCOMPARE(area.left(kRecord), QByteArray(kRecord, '\0'));
    QCOMPARE(area.mid(kRecord), endMarker());
    QVERIFY(decodeGoods(bare).isEmpty());
}

void TestGoodsCodec::endMarkersFillPages()
{
    const GoodsList three{item("a", "1", "", 1, 1), item("b", "2", "", 2, 1), item("c", "3", "", 3, 1)};
    const QByteArray image = encodeGoods(three, false);
    QCOMPARE(image.size(), 640);
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(numberAt(image, r), qint16(r + 1));
        QCOMPARE(quint8(image.at(r * kRecord + 127)), xorOf(image.mid(r * kRecord, kRecord)));
    }
    QCOMPARE(image.mid(3 * kRecord, kRecord), endMarker());
    QCOMPARE(image.mid(4 * kRecord, kRecord), endMarker());

    const QByteArray withHeader = encodeGoods(three, true);
    QCOMPARE(withHeader.size(), 768);
    QCOMPARE(withHeader.left(kRecord), QByteArray(kRecord, '\0'));
    QCOMPARE(withHeader.mid(kRecord), image);

    const QByteArray two = encodeGoods(three.mid(0, 2), false);
    QCOMPARE(two.size(), 384);
    QCOMPARE(numberAt(two, 1), qint16(2));
    QCOMPARE(two.mid(2 * kRecord), endMarker());
    QCOMPARE(encodeGoods(three.mid(0, 2), true).size() % 256, 0);
}

void TestGoodsCodec::recordLayout()
{
    const GoodsItem g = item(QStringLiteral("Хлеб"), "42", "3000001000037", 12.5, 3);
    const QByteArray r = GoodsRecord::encode(g, 7);
    QCOMPARE(r.size(), kRecord);
    QCOMPARE(r.left(3), QByteArray::fromHex("070003"));
    QCOMPARE(r.mid(3, 6), QByteArray::fromHex("343200000000"));
    QCOMPARE(r.mid(9, 7), QByteArray::fromHex("F3000001000037"));
    // Windows-1251: Х = D5, л = EB, е = E5, б = E1.
    QCOMPARE(r.mid(16, 4), QByteArray::fromHex("D5EBE5E1"));
    QCOMPARE(r.mid(20, 81), QByteArray(81, '\0'));
    QCOMPARE(r.mid(101, 8), QByteArray::fromHex("48E8010000000000"));
    QCOMPARE(r.mid(109, 18), QByteArray(18, '\0'));
    QCOMPARE(quint8(r.at(127)), xorOf(r));
    QVERIFY(r.at(127) != 0);

    // Only the low eight bits of the department fit.
    QCOMPARE(quint8(GoodsRecord::encode(item("x", "1", "", 0, 300), 1).at(2)), quint8(44));
}

void TestGoodsCodec::barcodePacking_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QByteArray>("packed");
    QTest::newRow("ean13") << "3000001000037" << QByteArray::fromHex("F3000001000037");
    QTest::newRow("ean8") << "96385074" << QByteArray::fromHex("FFFFFF96385074");
    QTest::newRow("upc-a") << "036000291452" << QByteArray::fromHex("FF036000291452");
    QTest::newRow("empty") << "" << QByteArray::fromHex("FFFFFFFFFFFFFF");
    QTest::newRow("one digit") << "5" << QByteArray::fromHex("FFFFFFFFFFFFF5");
    QTest::newRow("14 digits") << "12345678901234" << QByteArray::fromHex("12345678901234");
}

void TestGoodsCodec::barcodePacking()
{
    QFETCH(QString, digits);
    QFETCH(QByteArray, packed);
    const QByteArray record = GoodsRecord::encode(item("x", "1", digits, 0, 1), 1);
    QCOMPARE(record.mid(9, 7), packed);
    QCOMPARE(GoodsRecord::decode(record).barcode, digits);
}

void TestGoodsCodec::prices_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<quint64>("stored");
    QTest::newRow("12.5") << 12.5 << quint64(125000);
    QTest::newRow("zero") << 0.0 << quint64(0);
    // Binary floating point holds these a hair below the cent; cutting would lose one.
    QTest::newRow("0.29") << 0.29 << quint64(2900);
    QTest::newRow("12.29") << 12.29 << quint64(122900);
    QTest::newRow("1.15") << 1.15 << quint64(11500);
    QTest::newRow("19.99") << 19.99 << quint64(199900);
    QTest::newRow("sub-cent rounds") << 2.006 << quint64(20100);
    QTest::newRow("large") << 99999999.99 << quint64(999999999900);
    // A register price is never negative.
    QTest::newRow("negative") << -3.5 << quint64(0);
    // Neither may turn into another amount by overflow: the check refuses
    // them before anything is encoded.
    QTest::newRow("beyond the field") << 1e20 << quint64(184467440737095516) * 100;
    QTest::newRow("infinite") << qInf() << quint64(184467440737095516) * 100;
    QTest::newRow("not a number") << qQNaN() << quint64(0);
}

void TestGoodsCodec::prices()
{
    QFETCH(double, price);
    QFETCH(quint64, stored);
    const QByteArray record = GoodsRecord::encode(item("x", "1", "", price, 1), 1);
    QCOMPARE(priceOf(record), stored);
    if (GoodsRecord::canStorePrice(price))
        QCOMPARE(GoodsRecord::decode(record).price, double(qRound64(price * 100)) / 100.0);
}

void TestGoodsCodec::storedPriceReadsWholeCents()
{
    const QByteArray raw = rawRecord(1, 1, "1", QByteArray(7, char(0xFF)), "x", 123456);
    QCOMPARE(GoodsRecord::decode(raw).price, 12.34);
    QCOMPARE(GoodsRecord::decode(rawRecord(1, 1, "1", QByteArray(7, char(0xFF)), "x", 125000)).price, 12.5);
}

void TestGoodsCodec::longCyrillicName()
{
    const QString name(90, QChar(0x0416));  // Ж, C6 in Windows-1251
    const QByteArray record = GoodsRecord::encode(item(name, "1", "", 1, 1), 1);
    QCOMPARE(record.mid(16, 84), QByteArray(84, char(0xC6)));
    QCOMPARE(record.at(100), '\0');
    QCOMPARE(record.mid(101, 8), QByteArray::fromHex("1027000000000000"));
    QCOMPARE(GoodsRecord::decode(record).name, name.left(84));
}

void TestGoodsCodec::longIntcode()
{
    const QByteArray record = GoodsRecord::encode(item("x", "123456", "", 1, 1), 1);
    QCOMPARE(record.mid(3, 6), QByteArray("12345\0", 6));
    QCOMPARE(GoodsRecord::decode(record).intcode, QStringLiteral("12345"));
}

void TestGoodsCodec::decodeStopsAtEndMarker()
{
    const QByteArray bytes = rawRecord(1, 2, "11", QByteArray::fromHex("FFFFFF96385074"),
                                       QByteArray::fromHex("CCEEEBEEEAEE"), 890000)
        + rawRecord(2, 5, "22", QByteArray::fromHex("F3000001000037"), "Tea", 5000)
        + endMarker()
        + rawRecord(3, 1, "33", QByteArray(7, char(0xFF)), "lost", 100);
    const GoodsList goods = decodeGoods(bytes);
    QCOMPARE(goods.size(), 2);
    QCOMPARE(goods.at(0).name, QStringLiteral("Молоко"));
    QCOMPARE(goods.at(0).intcode, QStringLiteral("11"));
    QCOMPARE(goods.at(0).barcode, QStringLiteral("96385074"));
    QCOMPARE(goods.at(0).price, 89.0);
    QCOMPARE(goods.at(0).dept, 2);
    QCOMPARE(goods.at(1).barcode, QStringLiteral("3000001000037"));
    QCOMPARE(goods.at(1).price, 0.5);
    QCOMPARE(goods.at(1).dept, 5);

    // Neither the record number nor the checksum is examined.
    QByteArray odd = rawRecord(9, 200, "7", QByteArray(7, char(0xFF)), "z", 0);
    odd[127] = char(odd.at(127) ^ 0x55);
    const GoodsList one = decodeGoods(odd);
    QCOMPARE(one.size(), 1);
    QCOMPARE(one.at(0).dept, 200);
}

void TestGoodsCodec::decodeShortRecord()
{
    // Cut inside the price: the name is whole, the price reads as zero.
    const QByteArray full = rawRecord(1, 1, "5", QByteArray(7, char(0xFF)), "Cut", 777700);
    const GoodsList goods = decodeGoods(full + full.left(100));
    QCOMPARE(goods.size(), 2);
    QCOMPARE(goods.at(1).name, QStringLiteral("Cut"));
    QCOMPARE(goods.at(1).price, 0.0);
    QCOMPARE(goods.at(0).price, 77.77);
}

void TestGoodsCodec::roundTrip()
{
    const GoodsList goods{item(QStringLiteral("Сыр «Российский»"), "12345", "4006381333931", 349.9, 16),
                          item(QStringLiteral("Вода"), "7", "", 0.29, 1),
                          item("Gum", "99", "036000291452", 12.29, 2)};
    QCOMPARE(decodeGoods(encodeGoods(goods, false)), goods);
    // The register hands the goods back from record 1 on, without the header.
    QCOMPARE(decodeGoods(encodeGoods(goods, true).mid(kRecord)), goods);
}

QTEST_APPLESS_MAIN(TestGoodsCodec)
#include "tst_goodscodec.moc"
