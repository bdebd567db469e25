#pragma once

#include <QByteArray>

// Little-endian writer that builds the bytes of one record or block part.
class ByteWriter
{
public:
    void u8(quint8 value) { m_bytes.append(static_cast<char>(value)); }
    void i8(qint8 value) { u8(static_cast<quint8>(value)); }
    void u16(quint16 value);
    void i16(qint16 value) { u16(static_cast<quint16>(value)); }
    void u32(quint32 value);
    void i32(qint32 value) { u32(static_cast<quint32>(value)); }
    void i64(qint64 value);
    // Exactly `size` bytes: `bytes` cut or padded with zeros.
    void raw(const QByteArray &bytes, int size);
    void zeros(int size) { m_bytes.append(QByteArray(size, '\0')); }
    // XOR of every byte written so far.
    quint8 xorSum() const;

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
