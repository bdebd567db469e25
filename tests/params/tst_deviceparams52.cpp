#include "params/cp1251codec.h"
#include "params/deviceparams52.h"
#include "params/packeddecimal.h"

#include <QRandomGenerator>
#include <QtTest>

#include <utility>

namespace {

using Range = std::pair<int, int>;  // [first, end)

// Where the tables of a 2.52 params image lie, written down from the layout tables.
const QVector<Range> kTables = {
    {0, 84},        // configuration
    {128, 256},     // position names
    {256, 268},     // organisation INN
    {272, 382},     // organisation name
    {392, 502},     // organisation address
    {512, 800},     // users
    {1024, 1280},   // departments
    {1792, 1924},   // receipt header
    {2048, 2180},   // receipt footer
    {2304, 2444},   // OFD
};

const int kImageSize = 10 * 256;
const int kSlot = 64;

QByteArray randomBytes(QRandomGenerator &rng, int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(rng.bounded(256));
    return bytes;
}

// A system block whose first `used` slots carry the used marker.
QByteArray randomSystem(QRandomGenerator &rng, int used)
{
    QByteArray system = randomBytes(rng, 16 * kSlot);
    for (int i = 0; i < 16; ++i) {
        if (i < used)
            system[i * kSlot] = char(0xC1);
        else if (i == used)
            system[i * kSlot] = char(rng.bounded(0xC1));
    }
    return system;
}

quint8 xorOf(const QByteArray &bytes)
{
    quint8 x = 0;
    for (char c : bytes)
        x ^= quint8(c);
    return x;
}

void saveDefaults(QByteArray &image, QByteArray &system)
{
    DeviceParams52 params;
    params.save(image, system);
}

}

class TestDeviceParams52 : public QObject
{
    Q_OBJECT

private slots:
    void freshSetHoldsTheDefaults();
    void defaultsSaveIntoEmptyBlocks();
    void defaultBytesSitAtTheirOffsets();
    void barcodesPackAsDecimalNibbles_data();
    void barcodesPackAsDecimalNibbles();
    void barcodeTextsKeepOnlyDigits();
    void invalidNibblesDoNotPassForDigits();
    void ofdInnIsPackedWithoutCheckDigit();
    void shownTextsRepackOnlyWhenChanged();
    void userRecordGetsItsCheckByte();
    void historyStopsAtTheFirstUnusedSlot();
    void historyDatesConvert();
    void emptyImageChangesOnlyTheSerial();
    void fullLengthTextsReadBackWhole();
    void shortBlocksReadZerosAndGrowWithZeros();
    void loadThenSaveChangesOnlyReservedBytes();
};

void TestDeviceParams52::freshSetHoldsTheDefaults()
{
    DeviceParams52 p;
    QCOMPARE(p.deptPage(), 4);
    QCOMPARE(p.designPage(), 7);
    QCOMPARE(p.positions().size(), 8);
    QCOMPARE(p.positionName(7), QString::fromUtf8("Ген.директор"));
    QCOMPARE(p.departments().size(), 16);
    QCOMPARE(p.departments().at(15).name(), QString::fromUtf8("Отдел 16"));
    QVERIFY(p.history().isEmpty());
    QCOMPARE(p.config().printDensity, qint8(2));
    QCOMPARE(p.config().defaultCashier, qint16(7));

    const QStringList names = QString::fromUtf8(
        "Кассир 1,Кассир 2,Кассир 3,Кассир 4,Ст. кассир 1,Ст. кассир 2,Админ. 1,Админ. 2,АСЦ")
        .split(QLatin1Char(','));
    const QStringList barcodes = QStringLiteral(
        "3000001000037,3000001000044,3000001000051,3000001000068,3000001000075,"
        "3000001000082,3000029189066,300029189060,").split(QLatin1Char(','));
    const int rights[9] = {1, 1, 1, 1, 2, 2, 3, 3, 4};
    const int flags[9] = {0, 0, 0, 0, 0, 0, 4, 0, 8};
    QCOMPARE(p.users().size(), 9);
    for (int i = 0; i < 9; ++i) {
        const UserRecord52 &u = p.users().at(i);
        QCOMPARE(int(u.number), i + 1);
        QCOMPARE(u.name(), names.at(i));
        QCOMPARE(u.barcode(), barcodes.at(i));
        QCOMPARE(int(u.rights), rights[i]);
        QCOMPARE(int(u.flags), flags[i]);
        QCOMPARE(int(u.position), 1);
        QCOMPARE(u.kept25, qint32(1029384756));
    }
    QCOMPARE(p.ofd().inn(), QStringLiteral("000000000000"));
}

void TestDeviceParams52::defaultsSaveIntoEmptyBlocks()
{
    QByteArray image;
    QByteArray system;
    saveDefaults(image, system);
    QCOMPARE(image.size(), 2444);
    QCOMPARE(system, QByteArray(1024, '\0'));
    QVector<bool> covered(image.size(), false);
    for (const Range &r : kTables) {
        for (int i = r.first; i < r.second; ++i)
            covered[i] = true;
    }
    for (int i = 0; i < image.size(); ++i) {
        if (!covered.at(i) && image.at(i) != 0)
            QFAIL(qPrintable(QStringLiteral("byte %1 outside the tables is not zero").arg(i)));
    }
}

void TestDeviceParams52::defaultBytesSitAtTheirOffsets()
{
    QByteArray image;
    QByteArray system;
    saveDefaults(image, system);
    QCOMPARE(image.mid(0, 32), QByteArray::fromHex("34120000") + QByteArray(28, '\0'));
    QCOMPARE(image.mid(32, 12), QByteArray::fromHex("01010515020004010503 0e00"));
    QCOMPARE(image.mid(44, 40), QByteArray::fromHex("0065cd1d00000000 0000000000000000 "
                                                    "0065cd1d00000000 8096980000000000 "
                                                    "01000000 0700 0000"));
    QCOMPARE(image.mid(128, 6), QByteArray::fromHex("cae0f1f1e8f0"));
    QCOMPARE(image.mid(256, 256), QByteArray(256, '\0'));
    QCOMPARE(image.mid(512, 32), QByteArray::fromHex(
        "0101300000100003 0000 cae0f1f1e8f02031 00000000000000 342a5b3d 01 00 79"));
    QCOMPARE(image.mid(512 + 6 * 32, 32), QByteArray::fromHex(
        "0703300002918906 0400 c0e4ece8ed2e2031 00000000000000 342a5b3d 01 00 a7"));
    QCOMPARE(image.mid(512 + 7 * 32 + 2, 6), QByteArray::fromHex("f30002918906"));
    QCOMPARE(image.mid(512 + 8 * 32, 32), QByteArray::fromHex(
        "0904ffffffffffff 0800 c0d1d6 000000000000000000000000 342a5b3d 01 00 bb"));
    QCOMPARE(image.mid(1024, 16), QByteArray::fromHex("01 cef2e4e5eb2031 000000000000 01 00"));
    QCOMPARE(image.mid(1792, 132), QByteArray(132, '\0'));
    QCOMPARE(image.mid(2304, 64), QByteArray(64, '\0'));
    QCOMPARE(image.mid(2368, 6), QByteArray::fromHex("0000 1e00 1e00"));
    QCOMPARE(image.mid(2374, 70), QByteArray(70, '\0'));
}

void TestDeviceParams52::barcodesPackAsDecimalNibbles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("packed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("twelve digits") << "300000100003" << QByteArray::fromHex("300000100003")
                                   << "3000001000037";
    QTest::newRow("eleven digits") << "30002918906" << QByteArray::fromHex("f30002918906")
                                   << "300029189060";
    QTest::newRow("three digits") << "123" << QByteArray::fromHex("fffffffff123") << "1236";
    QTest::newRow("thirteen digits lose the last")
        << "3000001000037" << QByteArray::fromHex("300000100003") << "3000001000037";
    QTest::newRow("wrong check digit is recomputed")
        << "4600000000001" << QByteArray::fromHex("460000000000") << "4600000000008";
    QTest::newRow("empty") << "" << QByteArray::fromHex("ffffffffffff") << "";
}

void TestDeviceParams52::barcodesPackAsDecimalNibbles()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, packed);
    QFETCH(QString, shown);
    UserRecord52 u;
    u.setBarcode(text);
    QCOMPARE(u.barcodeField(), packed);
    QCOMPARE(u.barcode(), shown);
    QCOMPARE(UserRecord52::decode(u.encode()).barcode(), shown);
}

void TestDeviceParams52::barcodeTextsKeepOnlyDigits()
{
    QCOMPARE(PackedDecimal::pack(QStringLiteral(" 12-34 ")), QByteArray::fromHex("ffffffff1234"));
    QCOMPARE(PackedDecimal::pack(QStringLiteral("F9")), QByteArray::fromHex("fffffffffff9"));
}

void TestDeviceParams52::invalidNibblesDoNotPassForDigits()
{
    QCOMPARE(PackedDecimal::unpack(QByteArray::fromHex("ffff1a2bfff0")), QStringLiteral("1?2?0"));
    QCOMPARE(PackedDecimal::unpackWithCheckDigit(QByteArray::fromHex("ffffffffff1a")),
             QStringLiteral("1??"));
    QCOMPARE(PackedDecimal::unpackWithCheckDigit(QByteArray(6, '\0')), QStringLiteral("0000000000000"));
}

void TestDeviceParams52::ofdInnIsPackedWithoutCheckDigit()
{
    DeviceParams52 p;
    p.ofd().setInn(QStringLiteral("7704211201"));
    QCOMPARE(p.ofd().innField(), QByteArray::fromHex("ff7704211201"));
    QCOMPARE(p.ofd().inn(), QStringLiteral("7704211201"));
    p.ofd().setInn(QStringLiteral("500100732259"));
    QByteArray image;
    QByteArray system;
    p.save(image, system);
    QCOMPARE(image.mid(2438, 6), QByteArray::fromHex("500100732259"));
    DeviceParams52 back;
    back.load(QString(), image, system);
    QCOMPARE(back.ofd().inn(), QStringLiteral("500100732259"));
}

void TestDeviceParams52::shownTextsRepackOnlyWhenChanged()
{
    QByteArray bytes(UserRecord52::Size, '\0');
    bytes.replace(2, 6, QByteArray::fromHex("ffff12ab34cd"));
    UserRecord52 user = UserRecord52::decode(bytes);
    user.setShownBarcode(user.barcode());
    QCOMPARE(user.barcodeField().toHex(), QByteArray("ffff12ab34cd"));

    DeviceParams52 set;
    UserRecord52 &eighth = set.users()[7];
    QCOMPARE(eighth.barcode(), QStringLiteral("300029189060"));
    eighth.setShownBarcode(eighth.barcode());
    QCOMPARE(eighth.barcodeField().toHex(), QByteArray("f30002918906"));
    eighth.setShownBarcode(QStringLiteral("3000291890600"));
    QCOMPARE(eighth.barcodeField().toHex(), QByteArray("300029189060"));

    OfdBlock52 ofd = OfdBlock52::decode(QByteArray(134, '\0') + QByteArray::fromHex("a0b1c2d3e4f5"));
    ofd.setShownInn(ofd.inn());
    QCOMPARE(ofd.innField().toHex(), QByteArray("a0b1c2d3e4f5"));
    ofd.setShownInn(QStringLiteral("7704211201"));
    QCOMPARE(ofd.innField().toHex(), QByteArray("ff7704211201"));
}

void TestDeviceParams52::userRecordGetsItsCheckByte()
{
    QRandomGenerator rng(31);
    for (int round = 0; round < 20; ++round) {
        const QByteArray record = randomBytes(rng, 32);
        const QByteArray out = UserRecord52::decode(record).encode();
        QCOMPARE(out.size(), 32);
        QCOMPARE(out.left(30), record.left(30));
        QCOMPARE(out.at(30), char(0));
        QCOMPARE(quint8(out.at(31)), xorOf(out.left(31)));
    }
}

void TestDeviceParams52::historyStopsAtTheFirstUnusedSlot()
{
    QRandomGenerator rng(4);
    QByteArray system = randomBytes(rng, 1024);
    system[0] = char(0xC1);
    system[64] = char(0xC1);
    system[128] = char(0x00);
    system[192] = char(0xC1);
    QByteArray image;
    QByteArray ignored;
    saveDefaults(image, ignored);

    DeviceParams52 p;
    p.load(QString(), image, system);
    QCOMPARE(p.history().size(), 2);
    QByteArray out = system;
    p.save(image, out);
    QCOMPARE(out.size(), 1024);
    for (int slot = 0; slot < 2; ++slot) {
        const QByteArray written = out.mid(slot * 64, 64);
        QCOMPARE(written.left(60), system.mid(slot * 64, 60));
        QCOMPARE(written.mid(60, 3), QByteArray(3, '\0'));
        QCOMPARE(quint8(written.at(63)), xorOf(written.left(63)));
    }
    QCOMPARE(out.mid(128), QByteArray(14 * 64, '\0'));

    // A block whose first marker is not the used one holds no history.
    system[0] = char(0xC0);
    DeviceParams52 none;
    none.load(QString(), image, system);
    QVERIFY(none.history().isEmpty());
}

void TestDeviceParams52::historyDatesConvert()
{
    QByteArray slot(64, '\0');
    slot[0] = char(0xC1);
    slot.replace(1, 5, QByteArray::fromHex("0f03180a1e"));
    slot.replace(6, 16, "0000000001000123");
    slot.replace(27, 10, "7707083893");
    slot.replace(40, 16, "9999078900001234");
    slot.replace(57, 3, QByteArray::fromHex("05 21 01"));
    const RegistrationRecord52 r = RegistrationRecord52::decode(slot);
    QCOMPARE(r.dateTime(), QDateTime(QDate(2024, 3, 15), QTime(10, 30)));
    QCOMPARE(r.regNumber(), QStringLiteral("0000000001000123"));
    QCOMPARE(r.inn(), QStringLiteral("7707083893"));
    QCOMPARE(r.fnNumber(), QStringLiteral("9999078900001234"));
    QCOMPARE(int(r.taxSystems), 5);
    QCOMPARE(int(r.workModes), 0x21);
    QCOMPARE(int(r.closed), 1);

    RegistrationRecord52 edited = r;
    edited.setDateTime(QDateTime(QDate(2300, 1, 2), QTime(3, 4, 59)));
    QCOMPARE(edited.encode().mid(1, 5), QByteArray::fromHex("0201 2c 0304"));
    edited.setDateTime(QDateTime());
    QCOMPARE(edited.encode().mid(1, 5), QByteArray(5, '\0'));
    QVERIFY(!edited.dateTime().isValid());

    QByteArray bad = slot;
    bad[2] = char(13);
    QVERIFY(!RegistrationRecord52::decode(bad).dateTime().isValid());
    bad = slot;
    bad[4] = char(24);
    QVERIFY(!RegistrationRecord52::decode(bad).dateTime().isValid());

    // Texts are cut at their maximum and the record stays terminated.
    edited.setRegNumber(QString(25, QLatin1Char('1')));
    edited.setFnNumber(QString(17, QLatin1Char('2')));
    const QByteArray out = edited.encode();
    QCOMPARE(out.mid(6, 21), QByteArray(20, '1') + QByteArray(1, '\0'));
    QCOMPARE(out.mid(40, 17), QByteArray(16, '2') + QByteArray(1, '\0'));
    QCOMPARE(quint8(out.at(63)), xorOf(out.left(63)));
}

void TestDeviceParams52::emptyImageChangesOnlyTheSerial()
{
    DeviceParams52 p;
    p.load(QStringLiteral("0012345678"), QByteArray(), QByteArray(1024, char(0xC1)));
    QCOMPARE(p.config().serial(), QStringLiteral("0012345678"));
    QVERIFY(p.history().isEmpty());
    QByteArray image;
    QByteArray system;
    p.save(image, system);
    QByteArray expected;
    QByteArray expectedSystem;
    saveDefaults(expected, expectedSystem);
    expected.replace(4, 10, "0012345678");
    QCOMPARE(image, expected);
    QCOMPARE(system, expectedSystem);
}

void TestDeviceParams52::fullLengthTextsReadBackWhole()
{
    QByteArray image;
    QByteArray system;
    saveDefaults(image, system);
    image.replace(4, 12, "001234567890");
    image.replace(256, 12, "770708389312");
    image.replace(256 + 16, 110, QByteArray(110, char(0xFF)));  // я × 110
    DeviceParams52 p;
    p.load(QStringLiteral("ignored"), image, system);
    QCOMPARE(p.config().serial(), QStringLiteral("001234567890"));
    QCOMPARE(p.org().inn(), QStringLiteral("770708389312"));
    QCOMPARE(p.org().name(), QString(110, QChar(0x044F)));

    p.org().setAddress(QString(130, QChar(0x0416)));
    p.users()[0].setName(QString::fromUtf8("Иванова Мария Петровна"));
    p.ofd().setAddress(QString(64, QLatin1Char('a')));
    QByteArray out = image;
    p.save(out, system);
    QCOMPARE(out.mid(392, 110), QByteArray(110, char(0xC6)));
    QCOMPARE(out.mid(512 + 10, 15), Cp1251Codec::encode(QString::fromUtf8("Иванова Мария ")) + QByteArray(1, '\0'));
    QCOMPARE(out.mid(2304, 64), QByteArray(63, 'a') + QByteArray(1, '\0'));
}

void TestDeviceParams52::shortBlocksReadZerosAndGrowWithZeros()
{
    QRandomGenerator rng(52);
    const QByteArray original = randomBytes(rng, 600);
    DeviceParams52 p;
    p.load(QString(), original, QByteArray::fromHex("c1"));
    QCOMPARE(p.users().size(), 9);
    QCOMPARE(p.users().at(8).name(), QString());
    QCOMPARE(p.history().size(), 1);
    QCOMPARE(p.history().at(0).regNumber(), QString());

    QByteArray image = original;
    QByteArray system = QByteArray::fromHex("c1");
    p.save(image, system);
    QCOMPARE(image.size(), 2444);
    QCOMPARE(system.size(), 1024);
    QCOMPARE(system.left(64), QByteArray::fromHex("c1") + QByteArray(62, '\0') + QByteArray::fromHex("c1"));
    QCOMPARE(system.mid(64), QByteArray(960, '\0'));
    // User 3 is cut at byte 600; it comes back as read plus zeros and its check byte.
    QCOMPARE(image.mid(576, 24), original.mid(576, 24));
    QCOMPARE(image.mid(600, 6), QByteArray(6, '\0'));
    QCOMPARE(image.mid(608, 2444 - 608 - 132 - 140), QByteArray(2444 - 608 - 132 - 140, '\0'));
}

void TestDeviceParams52::loadThenSaveChangesOnlyReservedBytes()
{
    // Params bytes a save may change: the reserved configuration bytes and
    // bytes 30 and 31 of each user record.
    QVector<bool> mayChange(kImageSize, false);
    for (int i = 52; i < 60; ++i)
        mayChange[i] = true;
    QVector<int> checkBytes;
    for (int user = 0; user < 9; ++user) {
        mayChange[512 + user * 32 + 30] = true;
        mayChange[512 + user * 32 + 31] = true;
        checkBytes.append(512 + user * 32 + 31);
    }

    QRandomGenerator rng(20252);
    for (int round = 0; round < 200; ++round) {
        const QByteArray original = randomBytes(rng, kImageSize);
        const int used = round % 17;
        const QByteArray originalSystem = randomSystem(rng, used);
        DeviceParams52 p;
        p.load(QStringLiteral("serial"), original, originalSystem);
        QCOMPARE(p.history().size(), used);

        QByteArray image = original;
        QByteArray system = originalSystem;
        p.save(image, system);
        QCOMPARE(image.size(), kImageSize);
        for (int i = 0; i < kImageSize; ++i) {
            if (!mayChange.at(i) && image.at(i) != original.at(i))
                QFAIL(qPrintable(QStringLiteral("round %1: params byte %2 changed").arg(round).arg(i)));
        }
        for (int user = 0; user < 9; ++user) {
            const QByteArray record = image.mid(512 + user * 32, 32);
            QCOMPARE(record.at(30), char(0));
            QCOMPARE(quint8(record.at(31)), xorOf(record.left(31)));
        }

        QCOMPARE(system.size(), 1024);
        for (int slot = 0; slot < 16; ++slot) {
            const QByteArray was = originalSystem.mid(slot * kSlot, kSlot);
            const QByteArray now = system.mid(slot * kSlot, kSlot);
            if (slot < used) {
                QCOMPARE(now.left(60), was.left(60));
                QCOMPARE(now.mid(60, 3), QByteArray(3, '\0'));
                QCOMPARE(quint8(now.at(63)), xorOf(now.left(63)));
            } else {
                QCOMPARE(now, QByteArray(kSlot, '\0'));
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestDeviceParams52)
#include "tst_deviceparams52.moc"
