#pragma once

#include <QByteArray>

// Little-endian reader over a copy of an image slice. A slice cut short by a
// short image reads as zeros past its end, so records decode into zeros
// instead of failing.
class ByteReader
{
public:
    explicit ByteReader(const QByteArray &bytes);

    quint8 u8();
    qint8 i8() { return static_cast<qint8>(u8()); }
    quint16 u16();
    qint16 i16() { return static_cast<qint16>(u16()); }
    quint32 u32();
    qint32 i32() { return static_cast<qint32>(u32()); }
    qint64 i64();
    QByteArray raw(int size);
    void skip(int size) { m_pos += size; }
    void seek(int pos) { m_pos = pos; }
    int pos() const { return m_pos; }

private:
    QByteArray m_bytes;
    int m_pos = 0;
};
