#pragma once

#include "goods/goodsitem.h"

#include <QByteArray>
#include <QtGlobal>

// The register's 128-byte goods record, little-endian:
//   0  2  record number (int16): 0 header, 1..n goods, -1 end marker
//   2  1  department number
//   3  6  internal code, Windows-1251, at most 5 bytes, zero tail
//   9  7  barcode, packed decimal (see packBarcode)
//  16 85  name, Windows-1251, at most 84 bytes, zero tail
// 101  8  price in ten-thousandths (uint64)
// 109 18  zero
// 127  1  XOR of bytes 0..126
// Pure byte work: no widgets, no locale.
class GoodsRecord
{
public:
    static constexpr int Size = 128;
    static constexpr qint16 HeaderNumber = 0;
    static constexpr qint16 EndNumber = -1;
    // Record numbers are signed 16-bit: the most goods one image can number.
    static constexpr int MaxGoods = 32766;

    static constexpr int NumberOffset = 0;
    static constexpr int DeptOffset = 2;
    static constexpr int IntcodeOffset = 3;
    static constexpr int IntcodeSize = 6;
    static constexpr int IntcodeMaxBytes = 5;
    static constexpr int BarcodeOffset = 9;
    static constexpr int BarcodeSize = 7;
    static constexpr int NameOffset = 16;
    static constexpr int NameSize = 85;
    static constexpr int NameMaxBytes = 84;
    static constexpr int PriceOffset = 101;
    static constexpr int ChecksumOffset = 127;

    // `item` as record `number`, checksum included.
    static QByteArray encode(const GoodsItem &item, qint16 number);
    // All zero but the number FF FF; its checksum byte stays 0.
    static QByteArray endMarker();
    // The all-zero record that leads the goods area.
    static QByteArray header();

    // Reads a record; missing bytes at the end read as zero. The number and
    // the checksum are not examined.
    static GoodsItem decode(const QByteArray &record);
    // The record number of the record starting at `offset` in `bytes`.
    static qint16 number(const QByteArray &bytes, int offset = 0);

    // XOR of the first 127 bytes.
    static quint8 checksum(const QByteArray &record);

    // Up to 14 digits right-aligned in 7 bytes: leading unused bytes FF, an
    // odd digit count starts with F0|digit, then pairs high nibble first.
    static QByteArray packBarcode(const QByteArray &digits);
    static QByteArray unpackBarcode(const QByteArray &packed);

    // Rounded to the nearest cent, in ten-thousandths; negative or NaN
    // prices store 0 and prices beyond the field saturate. Callers refuse
    // such prices first (canStorePrice), so neither happens unasked.
    static quint64 storedPrice(double price);
    // Whether the record holds `price` as it is: a number from 0 up to the
    // field's limit with at most two decimals.
    static bool canStorePrice(double price);
    // Whole cents of a stored value, as currency units.
    static double price(quint64 stored);
};
