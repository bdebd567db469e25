#include "params/cp1251codec.h"

#include <QHash>

#include <algorithm>

namespace {

// Code points of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
// 0x98 has no character and is carried as U+0098 so that it survives a round trip.
const char16_t kUpper[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char16_t toUnicode(unsigned char b)
{
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return char16_t(0x0410 + (b - 0xC0));
    return kUpper[b - 0x80];
}

const QHash<char16_t, char> &reverseTable()
{
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        for (int b = 0x80; b < 0x100; ++b)
            t.insert(toUnicode(static_cast<unsigned char>(b)), static_cast<char>(b));
        return t;
    }();
    return table;
}

char toByte(char16_t c, char replacement)
{
    if (c < 0x80)
        return static_cast<char>(c);
    if (c >= 0x0410 && c <= 0x044F)
        return static_cast<char>(0xC0 + (c - 0x0410));
    return reverseTable().value(c, replacement);
}

}

QString Cp1251Codec::decode(const QByteArray &bytes)
{
    return decode(bytes.constData(), bytes.size());
}

QString Cp1251Codec::decode(const char *bytes, int size)
{
    const auto *src = reinterpret_cast<const unsigned char *>(bytes);
    // Codes, barcodes and prices are plain ASCII, which Qt widens fastest.
    if (std::all_of(src, src + size, [](unsigned char b) { return b < 0x80; }))
        return QString::fromLatin1(bytes, size);
    QString out(size, Qt::Uninitialized);
    QChar *dst = out.data();
    for (int i = 0; i < size; ++i)
        dst[i] = QChar(toUnicode(src[i]));
    return out;
}

QByteArray Cp1251Codec::encode(const QString &text, char replacement)
{
    QByteArray out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;  // one character outside the BMP, one replacement
        out.append(c.isSurrogate() ? replacement : toByte(c.unicode(), replacement));
    }
    return out;
}

QString Cp1251Codec::decodeField(const QByteArray &field)
{
    const int end = field.indexOf('\0');
    return decode(end < 0 ? field : field.left(end));
}

QByteArray Cp1251Codec::encodeField(const QString &text, int size)
{
    QByteArray bytes = encode(text).left(size);
    bytes.append(QByteArray(size - bytes.size(), '\0'));
    return bytes;
}
