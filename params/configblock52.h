#pragma once

#include <QByteArray>
#include <QString>

// General settings of a 2.52 register, at the start of the params image; the
// register's serial number lives here. The kept* fields are carried through.
class ConfigBlock52
{
public:
    static constexpr int Size = 84;
    static constexpr int SerialSize = 12;

    enum PrintFlag { PrintHeader = 0x1, PrintFooter = 0x2, PrintTaxes = 0x4, PrintQr = 0x8 };
    enum TradeFlag { AutoCollection = 0x1, PriceEditing = 0x2 };

    static ConfigBlock52 decode(const QByteArray &bytes);
    // The 84 used bytes, the reserved ones as zeros.
    QByteArray encode() const;

    QString serial() const;
    void setSerial(const QString &serial);

    qint32 kept0 = 0x1234;
    QByteArray kept16 = QByteArray(4, '\0');
    QByteArray kept20 = QByteArray(4, '\0');
    QByteArray kept24 = QByteArray(4, '\0');
    QByteArray kept28 = QByteArray(4, '\0');
    qint8 defaultDept = 1;         // 1-based
    qint8 deptCount = 1;
    qint8 internalCodeSize = 5;
    qint8 weightPrefix = 21;
    qint8 printDensity = 2;
    qint8 smallFont = 0;           // 0 or 1
    qint8 keySensitivity = 4;
    qint8 keySound = 1;
    qint8 displayTimer = 5;        // seconds
    qint8 displayMode = 3;         // 1 date, 2 charge, 3 combined
    quint16 printFlags = PrintFooter | PrintTaxes | PrintQr;
    qint64 maxPrice = 500000000;    // money4
    qint64 maxDeposit = 500000000;  // money4
    qint64 maxQuantity = 10000000;  // quantity × 10000
    quint32 tradeFlags = AutoCollection;
    qint16 defaultCashier = 7;     // user number 1..9 in the low byte
    qint16 kept82 = 0;

private:
    QByteArray m_serial = QByteArray(SerialSize, '\0');
};
