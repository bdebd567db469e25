#pragma once

#include <QString>

// Conversions of money4 values (amount × 10000, also used for quantities)
// to and from the texts the editors show. Prices carry 2 decimals, quantities 3.
class Money4
{
public:
    static constexpr qint64 Scale = 10000;
    static constexpr int PriceDecimals = 2;
    static constexpr int QuantityDecimals = 3;

    // A decimal text with '.' or ',' as separator, rounded half away from zero
    // to `decimals` places (0..4). Not a number, or too large: 0 and *ok false.
    static qint64 fromText(const QString &text, int decimals, bool *ok = nullptr);
    // The same rounding for a value the editor already holds as a double.
    static qint64 fromDouble(double value, int decimals);
    // The value with `decimals` places and a '.' separator; finer places are cut.
    static QString toText(qint64 value, int decimals);

    static qint64 priceFromText(const QString &text, bool *ok = nullptr)
    {
        return fromText(text, PriceDecimals, ok);
    }
    static qint64 quantityFromText(const QString &text, bool *ok = nullptr)
    {
        return fromText(text, QuantityDecimals, ok);
    }
    // The register's limits are unsigned; finer places than shown are cut.
    static QString toUnsignedText(qint64 stored, int decimals);
    static QString priceToText(qint64 value) { return toText(value, PriceDecimals); }
    static QString quantityToText(qint64 value) { return toText(value, QuantityDecimals); }
};
