#include "goods/goodsrecord.h"

#include "params/cp1251codec.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const int kBarcodeDigits = 14;

// The price field holds cents × 100 in 64 bits. The limit is compared as a
// double, which rounds it up: a value reaching it no longer fits.
constexpr quint64 kMaxCents = std::numeric_limits<quint64>::max() / 100;
constexpr double kCentsLimit = static_cast<double>(kMaxCents);

quint8 byteAt(const QByteArray &bytes, int offset)
{
    return offset < bytes.size() ? static_cast<quint8>(bytes.at(offset)) : 0;
}

template<typename T>
QByteArray littleEndian(T value)
{
    uchar bytes[sizeof(T)];
    qToLittleEndian<T>(value, bytes);
    return QByteArray(reinterpret_cast<const char *>(bytes), int(sizeof(T)));
}

void put(QByteArray &record, int offset, const QByteArray &bytes)
{
    record.replace(offset, bytes.size(), bytes);
}

// A nibble from a text byte; digits map to their value.
char nibble(char c)
{
    return static_cast<char>(c & 0x0F);
}

}

QByteArray GoodsRecord::encode(const GoodsItem &item, qint16 number)
{
    QByteArray record(Size, '\0');
    record[DeptOffset] = static_cast<char>(item.dept & 0xFF);
    put(record, IntcodeOffset, Cp1251Codec::encodeField(item.intcode, IntcodeMaxBytes));
    put(record, BarcodeOffset, packBarcode(Cp1251Codec::encode(item.barcode)));
    put(record, NameOffset, Cp1251Codec::encodeField(item.name, NameMaxBytes));
    put(record, NumberOffset, littleEndian<qint16>(number));
    put(record, PriceOffset, littleEndian<quint64>(storedPrice(item.price)));
    record[ChecksumOffset] = static_cast<char>(checksum(record));
    return record;
}

QByteArray GoodsRecord::endMarker()
{
    QByteArray record(Size, '\0');
    record[0] = static_cast<char>(0xFF);
    record[1] = static_cast<char>(0xFF);
    return record;
}

QByteArray GoodsRecord::header()
{
    return QByteArray(Size, '\0');
}

GoodsItem GoodsRecord::decode(const QByteArray &record)
{
    QByteArray full = record.left(Size);
    if (full.size() < Size)
        full.append(QByteArray(Size - full.size(), '\0'));
    const uchar *data = reinterpret_cast<const uchar *>(full.constData());

    GoodsItem item;
    item.dept = byteAt(full, DeptOffset);
    item.intcode = Cp1251Codec::decodeField(full.mid(IntcodeOffset, IntcodeSize));
    item.barcode = QString::fromLatin1(unpackBarcode(full.mid(BarcodeOffset, BarcodeSize)));
    item.name = Cp1251Codec::decodeField(full.mid(NameOffset, NameSize));
    item.price = price(qFromLittleEndian<quint64>(data + PriceOffset));
    return item;
}

qint16 GoodsRecord::number(const QByteArray &bytes, int offset)
{
    return static_cast<qint16>(byteAt(bytes, offset) | (byteAt(bytes, offset + 1) << 8));
}

quint8 GoodsRecord::checksum(const QByteArray &record)
{
    quint8 sum = 0;
    for (int i = 0; i < ChecksumOffset; ++i)
        sum ^= byteAt(record, i);
    return sum;
}

QByteArray GoodsRecord::packBarcode(const QByteArray &digits)
{
    const int count = qMin(digits.size(), kBarcodeDigits);
    const int unused = kBarcodeDigits - count;
    QByteArray packed(unused / 2, static_cast<char>(0xFF));
    int next = 0;
    if (unused % 2 == 1)
        packed.append(static_cast<char>(0xF0 | nibble(digits.at(next++))));
    while (next < count) {
        packed.append(static_cast<char>((nibble(digits.at(next)) << 4) | nibble(digits.at(next + 1))));
        next += 2;
    }
    return packed;
}

QByteArray GoodsRecord::unpackBarcode(const QByteArray &packed)
{
    QByteArray digits;
    for (const char c : packed) {
        const quint8 b = static_cast<quint8>(c);
        if (b == 0xFF)
            continue;
        if (b < 0xF0)
            digits.append(static_cast<char>(0x30 | (b >> 4)));
        digits.append(static_cast<char>(0x30 | (b & 0x0F)));
    }
    return digits;
}

quint64 GoodsRecord::storedPrice(double price)
{
    // Rounding, not truncation: 0.29 × 100 is 28.999… in binary floating point.
    const double cents = std::round(price * 100.0);
    if (!(cents > 0.0))
        return 0;
    if (cents >= kCentsLimit)
        return kMaxCents * 100;
    return static_cast<quint64>(cents) * 100;
}

bool GoodsRecord::canStorePrice(double price)
{
    if (!std::isfinite(price) || price < 0.0)
        return false;
    const double cents = price * 100.0;
    const double whole = std::round(cents);
    if (whole >= kCentsLimit)
        return false;
    // A two-decimal price misses its whole number of cents only by the
    // rounding of the binary fraction, a few units in its last place.
    const double slack = std::max(1e-6, cents * 4 * std::numeric_limits<double>::epsilon());
    return std::fabs(cents - whole) <= slack;
}

double GoodsRecord::price(quint64 stored)
{
    return static_cast<double>(stored / 100) / 100.0;
}
