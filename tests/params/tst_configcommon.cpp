#include "params/configblock52.h"
#include "params/configblock53.h"

#include <QtTest>

class TestConfigCommon : public QObject
{
    Q_OBJECT

private slots:
    // Every shared field holds a value of its own, so a field read or written
    // in another's place shows; both families must agree on all 64 bytes.
    void sharedFieldsSitAtTheSameOffsetsInBothFamilies()
    {
        ConfigBlock52 c;
        c.kept16 = QByteArray::fromHex("a0a1a2a3");
        c.kept20 = QByteArray::fromHex("b0b1b2b3");
        c.kept24 = QByteArray::fromHex("c0c1c2c3");
        c.kept28 = QByteArray::fromHex("d0d1d2d3");
        c.defaultDept = 2;
        c.deptCount = 3;
        c.internalCodeSize = 4;
        c.weightPrefix = 25;
        c.printDensity = 6;
        c.smallFont = 7;
        c.keySensitivity = 8;
        c.keySound = 9;
        c.displayTimer = 10;
        c.displayMode = 11;
        c.printFlags = 0x1234;
        c.maxPrice = 0x0102030405060708;
        c.maxDeposit = 0x1112131415161718;
        c.maxQuantity = 0x2122232425262728;
        c.tradeFlags = 0x31323334;
        const QByteArray shared = QByteArray::fromHex(
            "a0a1a2a3 b0b1b2b3 c0c1c2c3 d0d1d2d3 02 03 04 19 06 07 08 09 0a 0b 3412"
            "0807060504030201 0000000000000000 1817161514131211 2827262524232221 34333231");

        const QByteArray bytes52 = c.encode();
        QCOMPARE(bytes52.mid(ConfigCommon::Offset, ConfigCommon::Size), shared);

        const ConfigBlock53 c53 = ConfigBlock53::decode(bytes52);
        QCOMPARE(int(c53.fontFlags), 7);
        QCOMPARE(c53.encode().mid(ConfigCommon::Offset, ConfigCommon::Size), shared);
        QCOMPARE(ConfigBlock52::decode(bytes52).encode(), bytes52);
    }
};

QTEST_APPLESS_MAIN(TestConfigCommon)
#include "tst_configcommon.moc"
