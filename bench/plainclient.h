#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// The floor the link is measured against: the same requests a register
// exchange sends, over a blocking POSIX socket with no event loop, no thread
// and no checks beyond reading each reply whole. Frames are built and read by
// the link's own byte code, so only the transport differs.
class PlainClient
{
public:
    // False where there are no POSIX sockets.
    static bool available();

    // Each runs one whole exchange on a fresh connection and returns the
    // number of requests sent, or -1 on any failure.
    static int readParams(const QString &address, quint16 port);
    static int readGoods(const QString &address, quint16 port);
    static int writeGoods(const QString &address, quint16 port, const QByteArray &areaImage);
};
