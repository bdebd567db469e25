#include "params/money4.h"

#include <cmath>
#include <limits>

namespace {

qint64 power10(int n)
{
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

int clampDecimals(int decimals)
{
    return qBound(0, decimals, 4);
}

// 10^14 whole units × 10^4 still fits a signed 64-bit value.
const int kMaxWholeDigits = 14;

}

qint64 Money4::fromText(const QString &text, int decimals, bool *ok)
{
    decimals = clampDecimals(decimals);
    if (ok)
        *ok = false;
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+')))
        negative = t.at(i++) == QLatin1Char('-');

    qint64 whole = 0;
    int wholeDigits = 0;
    int digits = 0;
    for (; i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 0x80; ++i, ++digits) {
        whole = whole * 10 + (t.at(i).unicode() - '0');
        if (whole != 0 && ++wholeDigits > kMaxWholeDigits)
            return 0;
    }
    qint64 fraction = 0;
    int fractionDigits = 0;
    bool roundUp = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('.') || t.at(i) == QLatin1Char(','))) {
        for (++i; i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 0x80; ++i, ++digits) {
            const int d = t.at(i).unicode() - '0';
            if (fractionDigits < decimals)
                fraction = fraction * 10 + d;
            else if (fractionDigits == decimals)
                roundUp = d >= 5;
            ++fractionDigits;
        }
    }
    if (digits == 0 || i != t.size())
        return 0;
    for (int k = fractionDigits; k < decimals; ++k)
        fraction *= 10;

    qint64 units = whole * power10(decimals) + fraction + (roundUp ? 1 : 0);
    if (ok)
        *ok = true;
    units *= power10(4 - decimals);
    return negative ? -units : units;
}

qint64 Money4::fromDouble(double value, int decimals)
{
    decimals = clampDecimals(decimals);
    const double units = std::round(value * double(power10(decimals)));
    const double limit = double(std::numeric_limits<qint64>::max() / Scale);
    if (!std::isfinite(units) || std::fabs(units) > limit)
        return 0;
    return static_cast<qint64>(units) * power10(4 - decimals);
}

QString Money4::toText(qint64 value, int decimals)
{
    decimals = clampDecimals(decimals);
    const bool negative = value < 0;
    quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
    magnitude /= quint64(power10(4 - decimals));
    const quint64 step = quint64(power10(decimals));
    QString out = QString::number(magnitude / step);
    if (decimals > 0)
        out += QLatin1Char('.') + QStringLiteral("%1").arg(magnitude % step, decimals, 10, QLatin1Char('0'));
    if (negative && magnitude != 0)
        out.prepend(QLatin1Char('-'));
    return out;
}

QString Money4::toUnsignedText(qint64 stored, int decimals)
{
    const quint64 step = decimals == 3 ? 1000 : 100;
    const quint64 units = quint64(stored) / (Scale / step);
    return QStringLiteral("%1.%2").arg(units / step).arg(units % step, decimals, 10, QLatin1Char('0'));
}
