#include "sim/simframe.h"

#include <QtEndian>

#include <array>

namespace SimFrame {

namespace {

const std::array<quint32, 256> &crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : (c >> 1);
            t[i] = c;
        }
        return t;
    }();
    return table;
}

void putU16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian<quint16>(v, b);
    out.append(b, 2);
}

void putU32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian<quint32>(v, b);
    out.append(b, 4);
}

} // namespace

quint32 crc32(const char *data, int size)
{
    const auto &t = crcTable();
    quint32 c = 0xFFFFFFFFu;
    for (int i = 0; i < size; ++i)
        c = t[(c ^ static_cast<quint8>(data[i])) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

quint32 crc32(const QByteArray &data)
{
    return crc32(data.constData(), data.size());
}

Header readHeader(const char *p)
{
    Header h;
    h.magic = qFromLittleEndian<quint16>(p);
    h.length = qFromLittleEndian<qint32>(p + 2);
    h.crc = qFromLittleEndian<quint32>(p + 6);
    return h;
}

Body parseBody(const QByteArray &body)
{
    Body b;
    if (body.size() < 2)
        return b;
    b.head = static_cast<quint8>(body.at(0));
    const int count = static_cast<quint8>(body.at(1));
    if (body.size() < 2 + 4 * count)
        return b;
    b.args.reserve(count);
    for (int i = 0; i < count; ++i)
        b.args.append(qFromLittleEndian<qint32>(body.constData() + 2 + 4 * i));
    b.payload = body.mid(2 + 4 * count);
    b.ok = true;
    return b;
}

QByteArray encodeBody(quint8 head, const QVector<qint32> &args, const QByteArray &payload)
{
    const int count = qMin(args.size(), 255);
    QByteArray body;
    body.reserve(2 + 4 * count + payload.size());
    body.append(static_cast<char>(head));
    body.append(static_cast<char>(count));
    for (int i = 0; i < count; ++i)
        putU32(body, static_cast<quint32>(args.at(i)));
    body.append(payload);
    return body;
}

QByteArray wrap(const QByteArray &body, bool corruptCrc)
{
    QByteArray frame;
    frame.reserve(HeaderSize + body.size());
    putU16(frame, Magic);
    putU32(frame, static_cast<quint32>(body.size()));
    quint32 crc = crc32(body);
    if (corruptCrc)
        crc ^= 0x00000001u;
    putU32(frame, crc);
    frame.append(body);
    return frame;
}

QByteArray encode(quint8 head, const QVector<qint32> &args, const QByteArray &payload, bool corruptCrc)
{
    return wrap(encodeBody(head, args, payload), corruptCrc);
}

} // namespace SimFrame
