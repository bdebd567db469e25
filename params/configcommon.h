#pragma once

#include <QByteArray>

class ByteReader;
class ByteWriter;

// The settings both firmware families keep at the same places of their
// configuration blocks, bytes 16..79. Byte 37 sits among them but means
// something else in each family, so the family block passes it in and out.
class ConfigCommon
{
public:
    static constexpr int Offset = 16;
    static constexpr int Size = 64;

    enum PrintFlag { PrintHeader = 0x1, PrintFooter = 0x2, PrintTaxes = 0x4, PrintQr = 0x8 };
    enum TradeFlag { AutoCollection = 0x1, PriceEditing = 0x2 };

    QByteArray kept16 = QByteArray(4, '\0');
    QByteArray kept20 = QByteArray(4, '\0');
    QByteArray kept24 = QByteArray(4, '\0');
    QByteArray kept28 = QByteArray(4, '\0');
    qint8 defaultDept = 1;         // 1-based
    qint8 deptCount = 1;
    qint8 internalCodeSize = 5;
    qint8 weightPrefix = 21;
    qint8 printDensity;
    qint8 keySensitivity = 4;
    qint8 keySound = 1;
    qint8 displayTimer = 5;        // seconds
    qint8 displayMode = 3;         // 1 date, 2 charge, 3 combined
    quint16 printFlags = PrintFooter | PrintTaxes | PrintQr;
    qint64 maxPrice = 500000000;    // money4
    qint64 maxDeposit = 500000000;  // money4
    qint64 maxQuantity = 10000000;  // quantity × 10000
    quint32 tradeFlags = AutoCollection;

protected:
    // The families' printers count their density from different origins.
    explicit ConfigCommon(qint8 defaultDensity) : printDensity(defaultDensity) {}

    // Reads the 64 shared bytes from where `in` stands and returns byte 37.
    quint8 readCommon(ByteReader &in);
    // Writes the 64 shared bytes with `byte37` in its place, the reserved
    // ones as zeros.
    void writeCommon(ByteWriter &out, quint8 byte37) const;
};
