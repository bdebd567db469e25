#pragma once

// The register side of the link frame format, written for the simulator on
// its own: it shares no code with link/, so one mistake cannot hide in both.
//
// Frame: magic 0xBEEF (EF BE), body length N (int32), CRC-32 of the body
// (uint32), then N body bytes. Body: head byte (command in a request, status in
// a reply), argument count A, A int32 arguments, payload. All little-endian.

#include <QByteArray>
#include <QVector>

namespace SimFrame {

constexpr quint16 Magic = 0xBEEF;
constexpr int HeaderSize = 10;
constexpr int PageSize = 256;
// A request that declares a longer body closes the connection unread.
constexpr int MaxBodySize = 64 * 1024;

// Reflected CRC-32 of IEEE 802.3, table-driven; "123456789" gives 0xCBF43926.
quint32 crc32(const char *data, int size);
quint32 crc32(const QByteArray &data);

struct Header
{
    quint16 magic = 0;
    qint32 length = 0;
    quint32 crc = 0;
};
// Reads the 10 header bytes at p (the caller makes sure they are there).
Header readHeader(const char *p);

struct Body
{
    bool ok = false;      // false when the body ends inside head, count or arguments
    quint8 head = 0;
    QVector<qint32> args;
    QByteArray payload;
};
Body parseBody(const QByteArray &body);

QByteArray encodeBody(quint8 head, const QVector<qint32> &args, const QByteArray &payload = QByteArray());
// Whole frame around the body; corruptCrc flips one bit of the checksum field.
QByteArray wrap(const QByteArray &body, bool corruptCrc = false);
QByteArray encode(quint8 head, const QVector<qint32> &args, const QByteArray &payload = QByteArray(),
                  bool corruptCrc = false);

} // namespace SimFrame
