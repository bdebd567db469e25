#include "link/dottedquad.h"

#include <QStringList>

bool DottedQuad::parse(const QString &text, quint32 *address)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    quint32 value = 0;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3 || (part.size() > 1 && part.startsWith(QLatin1Char('0'))))
            return false;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        const uint number = part.toUInt();
        if (number > 255)
            return false;
        value = (value << 8) | number;
    }
    if (address)
        *address = value;
    return true;
}
