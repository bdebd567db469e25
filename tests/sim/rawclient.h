#pragma once

// A raw register client for the simulator's tests, written on its own: no code
// of the simulator or of link/. Its CRC is computed bit
// by bit, so it also cross-checks the simulator's table-driven one.

#include <QByteArray>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QVector>
#include <QtEndian>

namespace raw {

inline quint32 crc32(const QByteArray &data)
{
    quint32 c = 0xFFFFFFFFu;
    for (char ch : data) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

inline void put16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}

inline void put32(QByteArray &b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

inline QByteArray body(quint8 cmd, const QVector<qint32> &args, const QByteArray &payload = QByteArray())
{
    QByteArray b;
    b.append(char(cmd)).append(char(args.size()));
    for (qint32 a : args)
        put32(b, quint32(a));
    return b + payload;
}

inline QByteArray frameOf(const QByteArray &body, quint16 magic = 0xBEEF, int crcXor = 0)
{
    QByteArray f;
    put16(f, magic);
    put32(f, quint32(body.size()));
    put32(f, crc32(body) ^ quint32(crcXor));
    return f + body;
}

inline QByteArray frame(quint8 cmd, const QVector<qint32> &args, const QByteArray &payload = QByteArray())
{
    return frameOf(body(cmd, args, payload));
}

struct Reply
{
    bool valid = false;
    quint16 magic = 0;
    quint8 status = 0;
    QVector<qint32> args;
    QByteArray payload;
};

// Decodes as the link does (magic not checked; length and CRC must be right).
inline Reply decode(const QByteArray &raw)
{
    Reply r;
    if (raw.size() < 10)
        return r;
    r.magic = qFromLittleEndian<quint16>(raw.constData());
    const qint32 n = qFromLittleEndian<qint32>(raw.constData() + 2);
    const quint32 crc = qFromLittleEndian<quint32>(raw.constData() + 6);
    if (n < 2 || raw.size() < 10 + n)
        return r;
    const QByteArray b = raw.mid(10, n);
    if (crc32(b) != crc)
        return r;
    r.status = quint8(b.at(0));
    const int a = quint8(b.at(1));
    if (b.size() < 2 + 4 * a)
        return r;
    for (int i = 0; i < a; ++i)
        r.args.append(qFromLittleEndian<qint32>(b.constData() + 2 + 4 * i));
    r.payload = b.mid(2 + 4 * a);
    r.valid = true;
    return r;
}

// Length of the first whole frame in data, or -1 while it is incomplete.
inline int frameLength(const QByteArray &data)
{
    if (data.size() < 10)
        return -1;
    const qint32 n = qFromLittleEndian<qint32>(data.constData() + 2);
    if (n < 0 || data.size() < 10 + n)
        return -1;
    return 10 + n;
}

class Client
{
public:
    bool connectTo(quint16 port, int timeoutMs = 5000)
    {
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        return socket.waitForConnected(timeoutMs);
    }

    // Reads until one whole frame has arrived (or the time is up, or the peer
    // closed) and returns the bytes of that frame, or what arrived by then.
    QByteArray readFrame(int timeoutMs = 5000)
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            const int len = frameLength(pending);
            if (len > 0) {
                const QByteArray f = pending.left(len);
                pending.remove(0, len);
                return f;
            }
            const int left = timeoutMs - int(t.elapsed());
            if (left <= 0 || socket.state() != QAbstractSocket::ConnectedState)
                break;
            if (socket.waitForReadyRead(left))
                pending += socket.readAll();
        }
        pending += socket.readAll();
        const QByteArray partial = pending;
        pending.clear();
        return partial;
    }

    QByteArray transactRaw(const QByteArray &frame, int timeoutMs = 5000)
    {
        socket.write(frame);
        socket.flush();
        return readFrame(timeoutMs);
    }

    Reply request(quint8 cmd, const QVector<qint32> &args, const QByteArray &payload = QByteArray())
    {
        return decode(transactRaw(frame(cmd, args, payload)));
    }

    Reply identify() { return request(0xC1, {0}); }
    Reply read(int first, int count) { return request(0xC2, {first, count}); }
    Reply write(int first, const QByteArray &pages) { return request(0xC3, {first, pages.size() / 256}, pages); }
    Reply writeSystem(int first, const QByteArray &pages)
    {
        return request(0xC5, {first, pages.size() / 256}, pages);
    }

    // True when the peer closes the connection within the time.
    bool waitClosed(int timeoutMs = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (socket.state() == QAbstractSocket::ConnectedState && t.elapsed() < timeoutMs) {
            if (socket.waitForReadyRead(int(qMax<qint64>(1, timeoutMs - t.elapsed()))))
                pending += socket.readAll();
        }
        return socket.state() != QAbstractSocket::ConnectedState;
    }

    QTcpSocket socket;
    QByteArray pending;
};

} // namespace raw
