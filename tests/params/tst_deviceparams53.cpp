#include "params/cp1251codec.h"
#include "params/deviceparams53.h"

#include <QRandomGenerator>
#include <QtTest>

#include <utility>

namespace {

using Range = std::pair<int, int>;  // [first, end)

// Where the tables of a 2.53 image lie, written down from the layout tables.
const QVector<Range> kTables = {
    {0, 93},        // configuration
    {128, 256},     // position names
    {256, 312},     // registration
    {512, 589},     // organisation INN and e-mail
    {768, 1024},    // organisation name
    {1024, 1280},   // organisation address
    {1280, 1536},   // place of settlement
    {1536, 1792},   // departments
    {1792, 3680},   // users
    {3840, 3924},   // OFD address, INN, port, timers
    {4096, 4864},   // OFD name, tax site, check site
    {4864, 4996},   // receipt header
    {5120, 5252},   // receipt footer
};

const int kImageSize = 21 * 256;

QByteArray cp(const char *utf8)
{
    return Cp1251Codec::encode(QString::fromUtf8(utf8));
}

QByteArray randomImage(QRandomGenerator &rng, int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char(rng.bounded(256));
    return image;
}

QByteArray savedDefaults()
{
    DeviceParams53 params;
    QByteArray image;
    QByteArray system;
    params.save(image, system);
    return image;
}

}

class TestDeviceParams53 : public QObject
{
    Q_OBJECT

private slots:
    void freshSetHoldsTheDefaults();
    void defaultUsersFollowTheTable();
    void defaultsSaveIntoAnEmptyImage();
    void defaultBytesSitAtTheirOffsets();
    void emptyImageChangesOnlyTheSerial();
    void serialOfTheImageWinsOverTheArgument();
    void fullLengthTextsReadBackWhole();
    void longTextsAreCutAtTheFieldMaximum();
    void departmentTaxSystemAndName();
    void receiptTextsKeepEmptyLines();
    void hiddenUsersAreMarked();
    void shortImageReadsZerosAndGrowsWithZeros();
    void loadThenSaveChangesOnlyReservedBytes();
    void editedFieldsLandAtTheirOffsets();
};

void TestDeviceParams53::freshSetHoldsTheDefaults()
{
    DeviceParams53 p;
    QCOMPARE(p.deptPage(), 6);
    QCOMPARE(p.designPage(), 19);
    QCOMPARE(p.positionNames(), QString::fromUtf8("Кассир,Ст.кассир,Мл.менеджер,Менеджер,Ст.менеджер,"
                                                  "Администратор,Директор,Ген.директор")
                                    .split(QLatin1Char(',')));
    QCOMPARE(p.departments().size(), 16);
    for (int i = 0; i < 16; ++i) {
        const DeptRecord &d = p.departments().at(i);
        QCOMPARE(int(d.number), i + 1);
        QCOMPARE(d.name(), QString::fromUtf8("Отдел %1").arg(i + 1));
        QCOMPARE(int(d.vat), 1);
        QCOMPARE(int(d.tax), 0);
    }
    QCOMPARE(p.config().defaultCashier, qint8(15));
    QCOMPARE(p.ofd().connectTimer, qint16(30));
    QCOMPARE(p.ofd().pollTimer, qint16(30));
    QCOMPARE(p.ofd().port, quint16(0));
    QCOMPARE(p.registration().serial(), QString());
    QCOMPARE(p.headerLines(), QStringList(QString()));
}

void TestDeviceParams53::defaultUsersFollowTheTable()
{
    DeviceParams53 p;
    const QStringList barcodes = QStringLiteral(
        "3000001000037 3000001000044 3000001000051 3000001000068 3000001000075 3000001000082 "
        "3000001000099 3000001000105 3000001000112 3000001000129 3000001000136 3000001000143 "
        "3000001000150 3000001000167 3000029189066 3000029189073").split(QLatin1Char(' '));
    QCOMPARE(p.users().size(), 16);
    for (int i = 0; i < 16; ++i) {
        const UserRecord53 &u = p.users().at(i);
        QString name;
        if (i < 10)
            name = QString::fromUtf8("Кассир %1").arg(i + 1);
        else if (i < 14)
            name = QString::fromUtf8("Ст. кассир %1").arg(i - 9);
        else
            name = QString::fromUtf8("Админ. %1").arg(i - 13);
        QCOMPARE(u.name(), name);
        QCOMPARE(u.fullName(), name);
        QCOMPARE(u.barcode(), barcodes.at(i));
        QCOMPARE(u.inn(), QString());
        QCOMPARE(u.password(), QStringLiteral("738"));
        QCOMPARE(int(u.rights), i < 10 ? 1 : i < 14 ? 2 : 3);
        QCOMPARE(int(u.position), 1);
        QCOMPARE(int(u.flags), i == 14 ? 5 : 1);
    }
}

void TestDeviceParams53::defaultsSaveIntoAnEmptyImage()
{
    const QByteArray image = savedDefaults();
    QCOMPARE(image.size(), 5252);
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

void TestDeviceParams53::defaultBytesSitAtTheirOffsets()
{
    const QByteArray image = savedDefaults();
    // Configuration.
    QCOMPARE(image.mid(0, 16), QByteArray::fromHex("34120000 0000 00000000000000000000"));
    QCOMPARE(image.mid(32, 12), QByteArray::fromHex("01010515010004010503 0e00"));
    QCOMPARE(image.mid(44, 8), QByteArray::fromHex("0065cd1d00000000"));
    QCOMPARE(image.mid(52, 8), QByteArray(8, '\0'));
    QCOMPARE(image.mid(60, 8), QByteArray::fromHex("0065cd1d00000000"));
    QCOMPARE(image.mid(68, 8), QByteArray::fromHex("8096980000000000"));
    QCOMPARE(image.mid(76, 17), QByteArray::fromHex("01000000 0f 00 0000 01 11 37333800000000"));
    // Position names: the first and the last.
    QCOMPARE(image.mid(128, 16), QByteArray::fromHex("cae0f1f1e8f0 00000000000000000000"));
    QCOMPARE(image.mid(240, 16), QByteArray::fromHex("c3e5ed2ee4e8f0e5eaf2eef0 00000000"));
    // Registration: no serial yet.
    QCOMPARE(image.mid(256, 56), QByteArray(56, '\0'));
    // Departments: the first and the sixteenth.
    QCOMPARE(image.mid(1536, 16), QByteArray::fromHex("01 cef2e4e5eb2031 000000000000 01 00"));
    QCOMPARE(image.mid(1776, 16), QByteArray::fromHex("10 cef2e4e5eb203136 0000000000 01 00"));
    // User 1.
    const int u1 = 1792;
    QCOMPARE(image.mid(u1, 15), QByteArray::fromHex("cae0f1f1e8f02031 00000000000000"));
    QCOMPARE(image.mid(u1 + 15, 14), QByteArray("3000001000037") + QByteArray(1, '\0'));
    QCOMPARE(image.mid(u1 + 29, 13), QByteArray(13, '\0'));
    QCOMPARE(image.mid(u1 + 42, 8), QByteArray::fromHex("cae0f1f1e8f02031"));
    QCOMPARE(image.mid(u1 + 107, 11), QByteArray::fromHex("37333800000000 01 01 0100"));
    // User 15, "Админ. 1", the only active one.
    const int u15 = 1792 + 14 * 118;
    QCOMPARE(image.mid(u15, 9), QByteArray::fromHex("c0e4ece8ed2e2031 00"));
    QCOMPARE(image.mid(u15 + 15, 13), QByteArray("3000029189066"));
    QCOMPARE(image.mid(u15 + 114, 4), QByteArray::fromHex("03 01 0500"));
    // OFD block: empty texts, port 0, both timers 30.
    QCOMPARE(image.mid(3840, 78), QByteArray(78, '\0'));
    QCOMPARE(image.mid(3918, 6), QByteArray::fromHex("0000 1e00 1e00"));
    QCOMPARE(image.mid(4096, 768), QByteArray(768, '\0'));
    // Receipt texts are empty.
    QCOMPARE(image.mid(4864, 132), QByteArray(132, '\0'));
    QCOMPARE(image.mid(5120, 132), QByteArray(132, '\0'));
}

void TestDeviceParams53::emptyImageChangesOnlyTheSerial()
{
    DeviceParams53 p;
    p.load(QStringLiteral("0012345678"), QByteArray(), QByteArray());
    QCOMPARE(p.registration().serial(), QStringLiteral("0012345678"));
    QByteArray image;
    QByteArray system;
    p.save(image, system);
    QVERIFY(system.isEmpty());
    QByteArray expected = savedDefaults();
    expected.replace(256, 10, "0012345678");
    QCOMPARE(image, expected);
}

void TestDeviceParams53::serialOfTheImageWinsOverTheArgument()
{
    QByteArray image = savedDefaults();
    image.replace(256, 5, "77777");
    DeviceParams53 p;
    p.load(QStringLiteral("0012345678"), image, QByteArray());
    QCOMPARE(p.registration().serial(), QStringLiteral("77777"));
}

void TestDeviceParams53::fullLengthTextsReadBackWhole()
{
    QByteArray image = savedDefaults();
    const QByteArray position = cp("Зам.гл.бухгалтер");  // 16 bytes
    QCOMPARE(position.size(), 16);
    image.replace(128, 16, position);
    image.replace(256 + 20, 20, "01234567890123456789");
    image.replace(256 + 40, 16, "9999078900001234");
    image.replace(3840 + 256, 256, QByteArray(256, 'n'));
    image.replace(3840 + 512, 4, "fns!");

    DeviceParams53 p;
    p.load(QString(), image, QByteArray());
    QCOMPARE(p.positionName(0), QString::fromUtf8("Зам.гл.бухгалтер"));
    QCOMPARE(p.positionName(1), QString::fromUtf8("Ст.кассир"));
    QCOMPARE(p.registration().regNumber(), QStringLiteral("01234567890123456789"));
    QCOMPARE(p.registration().fnNumber(), QStringLiteral("9999078900001234"));
    QCOMPARE(p.ofd().name(), QString(256, QLatin1Char('n')));
    QCOMPARE(p.ofd().taxSite(), QStringLiteral("fns!"));

    // And they survive the way back through the setters.
    p.ofd().setCheckSite(QString(256, QLatin1Char('c')));
    p.registration().setSerial(QString(20, QLatin1Char('7')));
    QByteArray out;
    QByteArray system;
    p.save(out, system);
    QCOMPARE(out.mid(3840 + 768, 256), QByteArray(256, 'c'));
    QCOMPARE(out.mid(256, 20), QByteArray(20, '7'));
    QCOMPARE(out.mid(276, 20), QByteArray("01234567890123456789"));
}

void TestDeviceParams53::longTextsAreCutAtTheFieldMaximum()
{
    DeviceParams53 p;
    QString name;
    for (int i = 0; i < 300; ++i)
        name.append(QChar('a' + i % 26));
    p.org().setName(name);
    QCOMPARE(p.org().name(), name.left(240));

    // A Cyrillic name is cut at the byte limit into whole letters.
    const QString longName = QString::fromUtf8("АБВГДЕЁЖЗИЙКЛМНОПРСТ");
    p.users()[0].setName(longName);
    QCOMPARE(p.users().at(0).name(), QString::fromUtf8("АБВГДЕЁЖЗИЙКЛМ"));
    p.setPositionName(2, QString::fromUtf8("Старший менеджер зала"));
    QCOMPARE(p.positionName(2), QString::fromUtf8("Старший менеджер"));
    p.org().setInn(QStringLiteral("7707083893123"));
    p.ofd().setAddress(QString(70, QLatin1Char('x')));

    QByteArray image;
    QByteArray system;
    p.save(image, system);
    QCOMPARE(image.mid(768, 240), Cp1251Codec::encode(name.left(240)));
    QCOMPARE(image.mid(1008, 16), QByteArray(16, '\0'));
    QCOMPARE(image.mid(1792, 15), QByteArray::fromHex("c0c1c2c3c4c5a8c6c7c8c9cacbcc 00"));
    QCOMPARE(image.mid(160, 16), cp("Старший менеджер"));
    QCOMPARE(image.mid(512, 13), QByteArray("770708389312") + QByteArray(1, '\0'));
    QCOMPARE(image.mid(3840, 65), QByteArray(64, 'x') + QByteArray(1, '\0'));
}

void TestDeviceParams53::departmentTaxSystemAndName()
{
    QByteArray image = savedDefaults();
    image[1536 + 15] = char(0x05);
    image[1536 + 16 + 15] = char(0x20);
    DeviceParams53 p;
    p.load(QString(), image, QByteArray());
    QCOMPARE(p.departments().at(0).taxIndex(), 1);
    QCOMPARE(p.departments().at(1).taxIndex(), 6);
    QCOMPARE(p.departments().at(2).taxIndex(), 0);

    DeptRecord &d = p.departments()[3];
    d.setTaxIndex(6);
    QCOMPARE(int(d.tax), 0x20);
    d.setTaxIndex(0);
    QCOMPARE(int(d.tax), 0);
    d.setTaxIndex(3);
    d.setName(QString::fromUtf8("Бакалея и крупы"));
    QByteArray out;
    QByteArray system;
    p.save(out, system);
    QCOMPARE(out.mid(1536 + 48, 16), QByteArray::fromHex("04") + cp("Бакалея и кр")
                                         + QByteArray::fromHex("00 01 04"));
    QCOMPARE(out.at(1536 + 15), char(0x05));  // not rewritten from the index
}

void TestDeviceParams53::receiptTextsKeepEmptyLines()
{
    DeviceParams53 p;
    p.setHeaderLines({QStringLiteral("A"), QString(), QStringLiteral("B")});
    p.setFooterLines({QString(22, QLatin1Char('x')), QString(22, QLatin1Char('y')),
                      QString(22, QLatin1Char('z')), QString(22, QLatin1Char('w')),
                      QString(22, QLatin1Char('v')), QString(22, QLatin1Char('u'))});
    QByteArray image(5376, char(0x5A));
    QByteArray system;
    p.save(image, system);
    QCOMPARE(image.mid(4864, 132), QByteArray("A\n\nB") + QByteArray(128, '\0'));
    QCOMPARE(image.at(4864 + 132), char(0x5A));  // the rest of the page is kept
    // Six full lines need 137 bytes: the last line loses its last five characters.
    QCOMPARE(image.mid(5120 + 114, 18), QByteArray("\n") + QByteArray(17, 'u'));
    QCOMPARE(image.at(5120 + 132), char(0x5A));

    DeviceParams53 back;
    back.load(QString(), image, QByteArray());
    QCOMPARE(back.headerLines(), QStringList({QStringLiteral("A"), QString(), QStringLiteral("B")}));
    QCOMPARE(back.footerLines().size(), 6);
    QCOMPARE(back.footerLines().at(5), QString(17, QLatin1Char('u')));
}

void TestDeviceParams53::hiddenUsersAreMarked()
{
    QByteArray image = savedDefaults();
    image[1792 + 2 * 118 + 116] = char(0x09);
    image[1792 + 4 * 118 + 116] = char(0x0D);
    DeviceParams53 p;
    p.load(QString(), image, QByteArray());
    int listed = 0;
    for (const UserRecord53 &u : p.users())
        listed += u.isHidden() ? 0 : 1;
    QCOMPARE(listed, 14);
    QVERIFY(p.users().at(4).isActive());
    QVERIFY(!p.users().at(2).isActive());
}

void TestDeviceParams53::shortImageReadsZerosAndGrowsWithZeros()
{
    QRandomGenerator rng(53);
    const QByteArray original = randomImage(rng, 2000);
    DeviceParams53 p;
    p.load(QString(), original, QByteArray());
    QCOMPARE(p.users().size(), 16);
    QCOMPARE(p.users().at(15).name(), QString());
    QCOMPARE(int(p.users().at(15).flags), 0);
    QCOMPARE(p.ofd().connectTimer, qint16(0));
    QCOMPARE(p.headerLines(), QStringList(QString()));

    QByteArray image = original;
    QByteArray system;
    p.save(image, system);
    QCOMPARE(image.size(), 5252);
    QCOMPARE(image.mid(2000), QByteArray(3252, '\0'));
    QCOMPARE(image.mid(1536, 464), original.mid(1536, 464));
}

void TestDeviceParams53::loadThenSaveChangesOnlyReservedBytes()
{
    // Bytes a save may change: reserved configuration bytes and the last
    // byte of each 256-byte organisation text.
    QVector<bool> mayChange(kImageSize, false);
    for (const Range &r : {Range{6, 16}, Range{52, 60}, Range{81, 82}}) {
        for (int i = r.first; i < r.second; ++i)
            mayChange[i] = true;
    }
    for (int field : {768, 1024, 1280})
        mayChange[field + 255] = true;

    QRandomGenerator rng(20253);
    for (int round = 0; round < 200; ++round) {
        const QByteArray original = randomImage(rng, kImageSize);
        DeviceParams53 p;
        p.load(QStringLiteral("serial"), original, QByteArray());
        QByteArray image = original;
        QByteArray system;
        p.save(image, system);
        QCOMPARE(image.size(), kImageSize);
        QVERIFY(system.isEmpty());
        for (int i = 0; i < kImageSize; ++i) {
            const char want = mayChange.at(i) ? char(0) : original.at(i);
            if (image.at(i) != want)
                QFAIL(qPrintable(QStringLiteral("round %1: byte %2 is %3, expected %4")
                                     .arg(round).arg(i).arg(quint8(image.at(i)))
                                     .arg(quint8(want))));
        }
    }
}

void TestDeviceParams53::editedFieldsLandAtTheirOffsets()
{
    DeviceParams53 p;
    ConfigBlock53 &c = p.config();
    c.maxPrice = 1234500;
    c.defaultCashier = 3;
    c.setMainMode(2);
    c.tradeModes |= ConfigBlock53::PurchaseAllowed;
    c.fontFlags |= ConfigBlock53::SmallFont;
    p.ofd().port = 65535;
    p.ofd().setInn(QStringLiteral("7704211201"));
    p.org().setEmail(QStringLiteral("kkt@example.ru"));
    p.registration().setFnNumber(QStringLiteral("9999078900001234"));
    UserRecord53 &u = p.users()[15];
    u.setActive(true);
    u.setInn(QStringLiteral("500100732259"));
    u.setPassword(QStringLiteral("12345678"));

    QByteArray image;
    QByteArray system;
    p.save(image, system);
    QCOMPARE(image.mid(44, 8), QByteArray::fromHex("44d6120000000000"));
    QCOMPARE(image.at(37), char(1));
    QCOMPARE(image.at(80), char(3));
    QCOMPARE(image.at(85), char(0x23));
    QCOMPARE(image.mid(3918, 2), QByteArray::fromHex("ffff"));
    QCOMPARE(image.mid(3905, 13), QByteArray("7704211201") + QByteArray(3, '\0'));
    QCOMPARE(image.mid(525, 15), QByteArray("kkt@example.ru") + QByteArray(1, '\0'));
    QCOMPARE(image.mid(296, 16), QByteArray("9999078900001234"));
    const int u16 = 1792 + 15 * 118;
    QCOMPARE(image.mid(u16 + 29, 13), QByteArray("500100732259") + QByteArray(1, '\0'));
    QCOMPARE(image.mid(u16 + 107, 7), QByteArray("123456") + QByteArray(1, '\0'));
    QCOMPARE(image.mid(u16 + 116, 2), QByteArray::fromHex("0500"));

    DeviceParams53 back;
    back.load(QString(), image, QByteArray());
    QCOMPARE(back.config().mainMode(), 2);
    QCOMPARE(back.ofd().port, quint16(65535));
    QCOMPARE(back.users().at(15).password(), QStringLiteral("123456"));
    QCOMPARE(back.org().email(), QStringLiteral("kkt@example.ru"));
}

QTEST_APPLESS_MAIN(TestDeviceParams53)
#include "tst_deviceparams53.moc"
