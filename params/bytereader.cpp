#include "params/bytereader.h"

ByteReader::ByteReader(const QByteArray &bytes)
    : m_bytes(bytes)
{
}

quint8 ByteReader::u8()
{
    const int at = m_pos++;
    return at >= 0 && at < m_bytes.size() ? static_cast<quint8>(m_bytes.at(at)) : 0;
}

quint16 ByteReader::u16()
{
    const quint16 lo = u8();
    return static_cast<quint16>(lo | (quint16(u8()) << 8));
}

quint32 ByteReader::u32()
{
    const quint32 lo = u16();
    return lo | (quint32(u16()) << 16);
}

qint64 ByteReader::i64()
{
    const quint64 lo = u32();
    return static_cast<qint64>(lo | (quint64(u32()) << 32));
}

QByteArray ByteReader::raw(int size)
{
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i)
        out[i] = static_cast<char>(u8());
    return out;
}
