#pragma once

#include <QByteArray>
#include <QString>

// Register texts and goods files are Windows-1251 whatever the host's locale
// is, so every conversion of such bytes goes through here and never through
// the locale codec.
class Cp1251Codec
{
public:
    static QString decode(const QByteArray &bytes);
    static QString decode(const char *bytes, int size);
    // Characters that have no Windows-1251 byte become `replacement`.
    static QByteArray encode(const QString &text, char replacement = '?');

    // A fixed-length field: the text up to its first zero byte.
    static QString decodeField(const QByteArray &field);
    // The text cut to at most `size` bytes and padded with zeros to exactly `size`.
    static QByteArray encodeField(const QString &text, int size);
};
