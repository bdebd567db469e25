#pragma once

#include "link/devicecontroller.h"
#include "link/devicerequest.h"
#include "link/linkframe.h"
#include "session/firmwarefamily.h"
#include "sim/registersimulator.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QVector>
#include <QtEndian>

#include <memory>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace linktest {

// A request that knows where each family keeps its serial number, as every
// owner's does.
inline DeviceRequest *request()
{
    auto *r = new DeviceRequest;
    r->serialLocations = FirmwareFamily::serialLocations();
    return r;
}

inline std::unique_ptr<DeviceController> controller()
{
    auto c = std::make_unique<DeviceController>();
    c->setSerialLocations(FirmwareFamily::serialLocations());
    return c;
}

// The first argument of every signal a spy recorded, as ints: the progress
// values an exchange reported.
inline QVector<int> values(const QSignalSpy &spy)
{
    QVector<int> result;
    for (const auto &args : spy)
        result.append(args.at(0).toInt());
    return result;
}

// A goods area image of `records` plain records (first word = index, never the
// end marker) followed by an end-marker record, padded with end markers.
inline QByteArray goodsArea(int pages, int records)
{
    QByteArray image;
    for (int r = 0; r < pages * 2; ++r) {
        QByteArray record(128, char(r & 0x7F));
        if (r < records) {
            record[0] = char(r & 0xFF);
            record[1] = char((r >> 8) & 0x7F);
        } else {
            record[0] = char(0xFF);
            record[1] = char(0xFF);
        }
        image += record;
    }
    return image;
}

inline QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed) & 0xFF);
    return bytes;
}

// A peer that answers each request frame with scripted bytes, for replies no
// well-behaved register would send. Runs on its own thread so that the test
// thread can block on the link.
class ScriptedPeer : public QThread
{
public:
    struct Step
    {
        QByteArray reply;
        int secondPartPauseMs = -1;  // >= 0: the last half of the reply after this pause
        int resetAfterMs = -1;       // >= 0: abort the connection with a reset after this pause
    };

    ScriptedPeer(std::initializer_list<Step> steps) : m_steps(steps) {}
    ~ScriptedPeer() override { wait(); }

    quint16 startAndListen()
    {
        start();
        m_ready.acquire();
        return m_port;
    }

    int requestsSeen() const { return m_seen.loadAcquire(); }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        m_ready.release();
        if (!server.waitForNewConnection(10000))
            return;
        QTcpSocket *socket = server.nextPendingConnection();
        for (const Step &step : m_steps) {
            if (!readRequest(socket))
                return;
            m_seen.fetchAndAddOrdered(1);
            if (step.secondPartPauseMs >= 0) {
                const int half = step.reply.size() / 2;
                socket->write(step.reply.left(half));
                socket->waitForBytesWritten(1000);
                QThread::msleep(ulong(step.secondPartPauseMs));
                socket->write(step.reply.mid(half));
            } else {
                socket->write(step.reply);
            }
            socket->waitForBytesWritten(1000);
            if (step.resetAfterMs >= 0) {
                QThread::msleep(ulong(step.resetAfterMs));
#ifdef Q_OS_UNIX
                linger hard{1, 0};
                ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof(hard));
#endif
                socket->abort();
                return;
            }
        }
        socket->waitForDisconnected(5000);
    }

private:
    static bool readRequest(QTcpSocket *socket)
    {
        QByteArray got;
        for (;;) {
            got += socket->readAll();
            if (got.size() >= LinkFrame::HeaderSize
                && got.size() >= LinkFrame::HeaderSize + qFromLittleEndian<qint32>(got.constData() + 2))
                return true;
            if (!socket->waitForReadyRead(5000))
                return false;
        }
    }

    QVector<Step> m_steps;
    QSemaphore m_ready;
    quint16 m_port = 0;
    QAtomicInt m_seen;
};

inline ScriptedPeer::Step step(const QByteArray &reply, int secondPartPauseMs = -1, int resetAfterMs = -1)
{
    ScriptedPeer::Step s;
    s.reply = reply;
    s.secondPartPauseMs = secondPartPauseMs;
    s.resetAfterMs = resetAfterMs;
    return s;
}

inline QByteArray reply(const QVector<qint32> &arguments, const QByteArray &payload = QByteArray())
{
    return LinkFrame::encode({0, arguments, payload});
}

} // namespace linktest
