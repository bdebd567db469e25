#pragma once

#include <QByteArray>

// General settings of a 2.53 register, at the start of the params image.
// The kept* fields are carried through exactly as read.
struct ConfigBlock53
{
    static constexpr int Size = 93;

    enum PrintFlag { PrintHeader = 0x1, PrintFooter = 0x2, PrintTaxes = 0x4, PrintQr = 0x8 };
    enum TradeFlag { AutoCollection = 0x1, PriceEditing = 0x2 };
    enum PaymentKind { PayCash = 0x01, PayElectronic = 0x02, PayPrepaid = 0x04,
                       PayCredit = 0x08, PayOther = 0x10 };
    enum TradeMode { SaleAllowed = 0x01, PurchaseAllowed = 0x02 };
    static constexpr quint8 SmallFont = 0x01;

    static ConfigBlock53 decode(const QByteArray &bytes);
    // The 93 used bytes, the reserved ones as zeros.
    QByteArray encode() const;

    // Main trade mode in bits 4-7 of tradeModes: 1 sale, 2 purchase.
    int mainMode() const { return tradeModes >> 4; }
    void setMainMode(int mode);

    qint32 kept0 = 0x1234;
    qint8 kept4 = 0;
    qint8 kept5 = 0;
    QByteArray kept16 = QByteArray(4, '\0');
    QByteArray kept20 = QByteArray(4, '\0');
    QByteArray kept24 = QByteArray(4, '\0');
    QByteArray kept28 = QByteArray(4, '\0');
    qint8 defaultDept = 1;         // 1-based
    qint8 deptCount = 1;
    qint8 internalCodeSize = 5;
    qint8 weightPrefix = 21;
    qint8 printDensity = 1;
    quint8 fontFlags = 0;          // SmallFont; other bits kept
    qint8 keySensitivity = 4;
    qint8 keySound = 1;
    qint8 displayTimer = 5;        // seconds
    qint8 displayMode = 3;         // 1 date, 2 charge, 3 combined
    quint16 printFlags = PrintFooter | PrintTaxes | PrintQr;
    qint64 maxPrice = 500000000;    // money4
    qint64 maxDeposit = 500000000;  // money4
    qint64 maxQuantity = 10000000;  // quantity × 10000
    quint32 tradeFlags = AutoCollection;
    qint8 defaultCashier = 15;     // user number 1..16
    qint16 kept82 = 0;
    quint8 paymentKinds = PayCash;
    quint8 tradeModes = 0x11;      // sale allowed, main mode sale
    QByteArray kept86 = QByteArray("738", 3) + QByteArray(4, '\0');
};
