#include "params/packeddecimal.h"

namespace {

QChar nibbleChar(int nibble)
{
    return nibble <= 9 ? QChar('0' + nibble) : QChar('?');
}

}

QByteArray PackedDecimal::pack(const QString &digits)
{
    // Only digits have a nibble; anything else the user typed would turn into
    // a stray 0xF marker or a value no register accepts.
    QString kept;
    for (const QChar c : digits) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            kept.append(c);
    }
    kept = kept.left(MaxDigits);

    QByteArray out(Size, char(0xFF));
    int pos = Size - 1;
    int i = kept.size() - 1;
    while (i >= 0) {
        const int low = kept.at(i).unicode() - '0';
        const int high = i > 0 ? kept.at(i - 1).unicode() - '0' : 0xF;
        out[pos--] = static_cast<char>((high << 4) | low);
        i -= 2;
    }
    return out;
}

QString PackedDecimal::unpack(const QByteArray &packed)
{
    QString digits;
    for (const char c : packed.left(Size)) {
        const int byte = static_cast<unsigned char>(c);
        if (byte == 0xFF)
            continue;
        if (byte < 0xF0)
            digits.append(nibbleChar(byte >> 4));
        digits.append(nibbleChar(byte & 0x0F));
    }
    return digits;
}

QString PackedDecimal::unpackWithCheckDigit(const QByteArray &packed)
{
    const QString digits = unpack(packed);
    return digits.isEmpty() ? digits : digits + checkDigit(digits);
}

QChar PackedDecimal::checkDigit(const QString &digits)
{
    int sum = 0;
    int weight = 3;
    for (int i = digits.size() - 1; i >= 0; --i) {
        const int d = digits.at(i).unicode() - '0';
        if (d < 0 || d > 9)
            return QLatin1Char('?');
        sum += weight * d;
        weight = 4 - weight;
    }
    return QChar('0' + (10 - sum % 10) % 10);
}
