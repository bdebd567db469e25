#pragma once

// Internal: the simulator's sockets. Lives on the simulator's own thread; the
// public object calls into it with blocking queued calls.

#include <QHostAddress>
#include <QObject>
#include <QPointer>

#include <memory>

class QTcpServer;
class QTcpSocket;
class QUdpSocket;
class SimCore;

class SimConnection : public QObject
{
    Q_OBJECT
public:
    SimConnection(QTcpSocket *socket, int id, std::shared_ptr<SimCore> core, QObject *parent);

signals:
    void requestReceived();

private slots:
    void onReadyRead();

private:
    void processBuffered();
    void send(const QByteArray &bytes);
    void replyDone();

    QTcpSocket *m_socket;
    int m_id;
    int m_requests = 0;
    bool m_busy = false;   // a delayed or split reply is on its way
    bool m_closed = false;
    QByteArray m_buffer;
    std::shared_ptr<SimCore> m_core;
};

class SimEngine : public QObject
{
    Q_OBJECT
public:
    explicit SimEngine(std::shared_ptr<SimCore> core);

    // All called on the engine's thread.
    bool listen(const QHostAddress &address, quint16 port, QString *error);
    bool listenDiscovery(const QHostAddress &address, quint16 port, QString *error);
    bool applyRefuse(QString *error); // follows the core's refuse mode
    void shutdown();

    bool isListening() const;
    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    quint16 discoveryPort() const;

signals:
    void requestReceived();
    void connectionAccepted();
    void discoveryQueried();

private slots:
    void onNewConnection();
    void onDatagram();

private:
    std::shared_ptr<SimCore> m_core;
    QPointer<QTcpServer> m_server;
    QPointer<QUdpSocket> m_udp;
    QHostAddress m_address;
    quint16 m_port = 0;
    bool m_started = false; // start() succeeded; Unbind may have closed the server since
};
