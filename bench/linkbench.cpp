// Time per link transaction against the simulator, divided by the plain
// loopback round trip of a 1 KiB request and a 1 KiB reply measured in the
// same run, so that the figures do not depend on the machine.

#include "link/devicecontroller.h"
#include "session/firmwarefamily.h"
#include "sim/registersimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Block = 1024;

bool readExactly(QTcpSocket &socket, QByteArray &buffer, int size)
{
    buffer.clear();
    while (buffer.size() < size) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(5000))
            return false;
        buffer += socket.read(size - buffer.size());
    }
    return true;
}

class EchoThread : public QThread
{
public:
    quint16 listen()
    {
        start();
        m_ready.acquire();
        return m_port;
    }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        m_ready.release();
        if (!server.waitForNewConnection(5000))
            return;
        QTcpSocket *socket = server.nextPendingConnection();
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QByteArray buffer;
        while (readExactly(*socket, buffer, Block)) {
            socket->write(buffer);
            socket->flush();
        }
    }

private:
    QSemaphore m_ready;
    quint16 m_port = 0;
};

// The same echo, served from an event loop the way the simulator serves:
// shows how much of a transaction is the server's event dispatch.
class EventEchoThread : public QThread
{
public:
    quint16 listen()
    {
        start();
        m_ready.acquire();
        return m_port;
    }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        QEventLoop loop;
        QByteArray pending;
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            QTcpSocket *socket = server.nextPendingConnection();
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            QObject::connect(socket, &QTcpSocket::readyRead, [&pending, socket] {
                pending += socket->readAll();
                while (pending.size() >= Block) {
                    socket->write(pending.left(Block));
                    pending.remove(0, Block);
                    socket->flush();
                }
            });
            QObject::connect(socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
        });
        m_ready.release();
        loop.exec();
    }

private:
    QSemaphore m_ready;
    quint16 m_port = 0;
};

// Microseconds per round trip, best of several runs.
template<typename Server>
double rawRoundTrip(int count)
{
    Server echo;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, echo.listen());
    if (!socket.waitForConnected(5000))
        return -1;
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const QByteArray block(Block, 'r');
    QByteArray reply;
    double best = 1e12;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < count; ++i) {
            socket.write(block);
            socket.flush();
            if (!readExactly(socket, reply, Block))
                return -1;
        }
        best = std::min(best, clock.nsecsElapsed() / 1000.0 / count);
    }
    socket.close();
    echo.wait();
    return best;
}

struct Measure
{
    double perTransaction = 0;  // microseconds
    int transactions = 0;
    int result = 0;
};

template<typename Start>
Measure measure(DeviceController &controller, RegisterSimulator &sim, Start start)
{
    Measure best;
    best.perTransaction = 1e12;
    for (int run = 0; run < 5; ++run) {
        sim.clearRequests();
        QEventLoop loop;
        QObject::connect(&controller, &DeviceController::finished, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        start();
        loop.exec();
        const double elapsed = clock.nsecsElapsed() / 1000.0;
        const int transactions = sim.requests().size();
        while (controller.isBusy())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (controller.result() != 0 || transactions == 0)
            return {0, transactions, controller.result()};
        if (elapsed / transactions < best.perTransaction)
            best = {elapsed / transactions, transactions, 0};
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    const double raw = rawRoundTrip<EchoThread>(2000);
    const double eventRaw = rawRoundTrip<EventEchoThread>(2000);
    if (raw <= 0) {
        std::fprintf(stderr, "raw loopback round trip failed\n");
        return 1;
    }
    std::printf("raw loopback round trip, 1 KiB each way: %.1f us\n", raw);
    std::printf("  the same against an event-loop server: %.1f us (ratio %.2f)\n", eventRaw, eventRaw / raw);

    SimConfig config = SimConfig::family253("2530000001");
    config.goodsCapacity = 2000;
    RegisterSimulator sim(config);
    if (!sim.start()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    const int goodsPages = sim.areaPages(5);
    QByteArray goods(goodsPages * 256, '\0');
    for (int r = 0; r < goodsPages * 2; ++r) {
        goods[r * 128] = char(r & 0xFF);
        goods[r * 128 + 1] = char((r >> 8) & 0x7F);
    }
    sim.setAreaContent(5, goods);

    DeviceController controller;
    controller.setSerialLocations(FirmwareFamily::serialLocations());
    controller.setExpectedSerial(QStringLiteral("2530000001"));
    const QString address = QStringLiteral("127.0.0.1");
    const quint16 port = sim.port();

    struct Row { const char *name; Measure m; double goal; };
    std::vector<Row> rows;
    rows.push_back({"readParams (2.53)", measure(controller, sim, [&] { controller.readParams(address, port); }), 0});
    rows.push_back({"readGoods (2000 records)", measure(controller, sim, [&] { controller.readGoods(address, port); }), 1.5});
    rows.push_back({"writeGoods (2000 records)", measure(controller, sim, [&] { controller.writeGoods(address, port, goods); }), 1.5});

    int status = 0;
    for (const Row &row : rows) {
        if (row.m.result != 0) {
            std::printf("%-26s failed with %d\n", row.name, row.m.result);
            status = 1;
            continue;
        }
        const double ratio = row.m.perTransaction / raw;
        std::printf("%-26s %4d transactions, %.1f us each, ratio %.2f%s\n", row.name, row.m.transactions,
                    row.m.perTransaction, ratio,
                    row.goal > 0 ? (ratio <= row.goal ? "  (goal <= 1.5: met)" : "  (goal <= 1.5: missed)") : "");
    }
    return status;
}
