#pragma once

#include "params/configcommon.h"

#include <QByteArray>

// General settings of a 2.53 register, at the start of the params image.
// The kept* fields are carried through exactly as read.
struct ConfigBlock53 : public ConfigCommon
{
    static constexpr int Size = 93;

    enum PaymentKind { PayCash = 0x01, PayElectronic = 0x02, PayPrepaid = 0x04,
                       PayCredit = 0x08, PayOther = 0x10 };
    enum TradeMode { SaleAllowed = 0x01, PurchaseAllowed = 0x02 };
    static constexpr quint8 SmallFont = 0x01;

    ConfigBlock53() : ConfigCommon(1) {}

    static ConfigBlock53 decode(const QByteArray &bytes);
    // The 93 used bytes, the reserved ones as zeros.
    QByteArray encode() const;

    // Main trade mode in bits 4-7 of tradeModes: 1 sale, 2 purchase.
    int mainMode() const { return tradeModes >> 4; }
    void setMainMode(int mode);

    qint32 kept0 = 0x1234;
    qint8 kept4 = 0;
    qint8 kept5 = 0;
    quint8 fontFlags = 0;          // byte 37: SmallFont; other bits kept
    qint8 defaultCashier = 15;     // user number 1..16
    qint16 kept82 = 0;
    quint8 paymentKinds = PayCash;
    quint8 tradeModes = 0x11;      // sale allowed, main mode sale
    QByteArray kept86 = QByteArray("738", 3) + QByteArray(4, '\0');
};
