#include "link/linkframe.h"

#include <QDataStream>

#include <array>

namespace {

std::array<quint32, 256> makeCrcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        table[i] = c;
    }
    return table;
}

} // namespace

quint32 LinkFrame::crc32(const QByteArray &bytes)
{
    static const std::array<quint32, 256> table = makeCrcTable();
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : bytes)
        crc = table[(crc ^ static_cast<quint8>(ch)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QByteArray LinkFrame::encode(const LinkMessage &message)
{
    const int argumentCount = qMin(message.arguments.size(), 255);
    QByteArray body;
    body.reserve(2 + 4 * argumentCount + message.payload.size());
    {
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << message.command << quint8(argumentCount);
        for (int i = 0; i < argumentCount; ++i)
            out << message.arguments.at(i);
    }
    body.append(message.payload);

    QByteArray frame;
    frame.reserve(HeaderSize + body.size());
    QDataStream out(&frame, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << Magic << qint32(body.size()) << crc32(body);
    frame.append(body);
    return frame;
}

LinkReply LinkFrame::decode(const QByteArray &frame)
{
    LinkReply reply;
    if (frame.size() < HeaderSize)
        return reply;
    QDataStream in(frame);
    in.setByteOrder(QDataStream::LittleEndian);
    quint16 magic = 0;  // registers differ in what they put here; only length and checksum count
    qint32 length = 0;
    quint32 checksum = 0;
    in >> magic >> length >> checksum;
    if (length < 0 || length > frame.size() - HeaderSize)
        return reply;
    const QByteArray body = frame.mid(HeaderSize, length);
    if (crc32(body) != checksum)
        return reply;

    QDataStream b(body);
    b.setByteOrder(QDataStream::LittleEndian);
    quint8 count = 0;
    b >> reply.status >> count;
    for (int i = 0; i < count && b.status() == QDataStream::Ok; ++i) {
        qint32 argument = 0;
        b >> argument;
        if (b.status() == QDataStream::Ok)
            reply.arguments.append(argument);
    }
    if (b.status() != QDataStream::Ok)
        return LinkReply();
    reply.payload = body.mid(2 + 4 * count);
    reply.valid = true;
    return reply;
}

LinkFrame::Progress LinkFrame::progress(const QByteArray &received)
{
    if (received.size() < HeaderSize)
        return Progress::Incomplete;
    QDataStream in(received);
    in.setByteOrder(QDataStream::LittleEndian);
    quint16 magic = 0;
    qint32 length = 0;
    in >> magic >> length;
    if (length < 0 || length > MaxReplyBody)
        return Progress::Invalid;
    return received.size() - HeaderSize >= length ? Progress::Complete : Progress::Incomplete;
}
