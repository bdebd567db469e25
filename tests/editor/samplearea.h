#pragma once

#include "params/deviceparams53.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

// The params area of a simulated 2.53 register, for the window tests.
namespace SampleArea {

// A number as a register stores it: `size` bytes, the lowest first.
inline QByteArray littleEndian(quint64 value, int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xFF);
    return bytes;
}

// The texts a register holds end in zeros and fit the editors, and a tax
// system is one bit; only the bytes between and beside them stay random.
inline void wellFormedTables(DeviceParams53 &set)
{
    for (int i = 0; i < DeviceParams::PositionCount; ++i)
        set.setPositionName(i, QStringLiteral("Должность %1").arg(i + 1));
    for (int i = 0; i < set.departments().size(); ++i) {
        set.departments()[i].setName(QStringLiteral("Секция %1").arg(i + 1));
        set.departments()[i].setTaxIndex(i % 7);
    }
    for (int i = 0; i < set.users().size(); ++i) {
        UserRecord53 &u = set.users()[i];
        u.setName(QStringLiteral("Кассир %1").arg(i + 1));
        u.setFullName(QStringLiteral("Иванов %1").arg(i + 1));
        u.setBarcode(QString());
        u.setInn(QString());
        u.setPassword(QStringLiteral("1234"));
    }
    set.setHeaderLines({QStringLiteral("ООО Ромашка"), QStringLiteral("г. Тула"), QString(),
                        QString(), QString(), QStringLiteral("Добро пожаловать")});
    set.setFooterLines({QStringLiteral("Спасибо"), QString(), QString(), QString(), QString(),
                        QString()});
    OrgBlock53 &org = set.org();
    org.setInn(QStringLiteral("7707083893"));
    org.setEmail(QStringLiteral("shop@example.org"));
    org.setName(QStringLiteral("ООО Ромашка"));
    org.setAddress(QStringLiteral("г. Тула, ул. Ленина, 1"));
    org.setPlace(QStringLiteral("Магазин"));
    OfdBlock53 &ofd = set.ofd();
    ofd.setAddress(QStringLiteral("ofd.example.org"));
    ofd.setInn(QStringLiteral("500100732259"));
    ofd.setName(QStringLiteral("ОФД"));
    ofd.setTaxSite(QStringLiteral("www.nalog.ru"));
    ofd.setCheckSite(QStringLiteral("check.example.org"));
    ofd.pollTimer = 60;
    ofd.connectTimer = 120;
    set.registration().setRegNumber(QStringLiteral("0000000001008405"));
    set.registration().setFnNumber(QStringLiteral("9999078900001234"));
}

inline QByteArray registerParamsArea(const QString &serial)
{
    QRandomGenerator random(20261208);
    QByteArray bytes(21 * 256, '\0');
    for (char &b : bytes)
        b = char(random.bounded(256));
    DeviceParams53 set;
    set.load(serial, bytes, {});
    wellFormedTables(set);
    set.registration().setSerial(serial);
    ConfigBlock53 &c = set.config();
    c.deptCount = 5;
    c.defaultDept = 3;
    c.internalCodeSize = 4;
    c.weightPrefix = 25;
    c.printDensity = 2;
    c.keySensitivity = 3;
    c.keySound = 0;
    c.displayTimer = 30;
    c.displayMode = 2;
    c.maxPrice = 1234500;
    c.maxDeposit = 99990000;
    c.maxQuantity = 123450;
    c.defaultCashier = 2;
    c.fontFlags = 0xA4;
    c.printFlags = 0x5A35;
    c.tradeFlags = 0x40000102u;
    c.paymentKinds = 0xC9;
    c.tradeModes = 0x2F;  // both modes allowed, bits 2 and 3 set, main mode purchase
    QByteArray unusedSystem;
    set.save(bytes, unusedSystem);
    return bytes;
}

}
