#include "params/bytewriter.h"

void ByteWriter::u16(quint16 value)
{
    u8(static_cast<quint8>(value));
    u8(static_cast<quint8>(value >> 8));
}

void ByteWriter::u32(quint32 value)
{
    u16(static_cast<quint16>(value));
    u16(static_cast<quint16>(value >> 16));
}

void ByteWriter::i64(qint64 value)
{
    const quint64 v = static_cast<quint64>(value);
    u32(static_cast<quint32>(v));
    u32(static_cast<quint32>(v >> 32));
}

void ByteWriter::raw(const QByteArray &bytes, int size)
{
    const QByteArray part = bytes.left(size);
    m_bytes.append(part);
    zeros(size - part.size());
}

quint8 ByteWriter::xorSum() const
{
    quint8 sum = 0;
    for (char c : m_bytes)
        sum ^= static_cast<quint8>(c);
    return sum;
}
