#pragma once

#include <QByteArray>
#include <QString>

// Up to twelve decimal digits in six bytes, right-aligned, two per byte with
// the high nibble first; unused leading bytes are 0xFF and an odd count puts
// 0xF in the high nibble of the first used byte.
class PackedDecimal
{
public:
    static constexpr int Size = 6;
    static constexpr int MaxDigits = 12;

    // The digits of the text, at most the first twelve of them.
    static QByteArray pack(const QString &digits);
    // The stored digits; an invalid nibble reads as '?'.
    static QString unpack(const QByteArray &packed);
    // The stored digits followed by their GTIN check digit (none when no digit is stored).
    static QString unpackWithCheckDigit(const QByteArray &packed);
    static QChar checkDigit(const QString &digits);
};
