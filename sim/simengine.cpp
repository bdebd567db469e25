#include "sim/simengine.h"

#include "sim/simcore.h"

#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>

namespace {
// More buffered, unprocessed request bytes than this closes the connection.
constexpr int MaxBuffered = 1024 * 1024;
}

SimConnection::SimConnection(QTcpSocket *socket, int id, std::shared_ptr<SimCore> core, QObject *parent)
    : QObject(parent), m_socket(socket), m_id(id), m_core(std::move(core))
{
    m_socket->setParent(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_socket, &QTcpSocket::readyRead, this, &SimConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        m_closed = true;
        deleteLater();
    });
}

void SimConnection::onReadyRead()
{
    if (m_closed)
        return;
    m_buffer.append(m_socket->readAll());
    if (m_buffer.size() > MaxBuffered) {
        m_closed = true;
        m_socket->abort();
        deleteLater();
        return;
    }
    processBuffered();
}

void SimConnection::processBuffered()
{
    while (!m_busy && !m_closed) {
        if (m_buffer.size() < SimFrame::HeaderSize)
            return;
        const SimFrame::Header header = SimFrame::readHeader(m_buffer.constData());
        if (header.length < 0 || header.length > SimFrame::MaxBodySize) {
            // Not allocated, not answered: the stream cannot be trusted any more.
            m_closed = true;
            m_buffer.clear();
            m_socket->abort();
            deleteLater();
            return;
        }
        if (m_buffer.size() < SimFrame::HeaderSize + header.length)
            return;
        const QByteArray body = m_buffer.mid(SimFrame::HeaderSize, header.length);
        m_buffer.remove(0, SimFrame::HeaderSize + header.length);

        const SimAction action = m_core->process(header, body, m_id, ++m_requests);
        if (m_core->announceRequests)
            emit requestReceived();
        switch (action.kind) {
        case SimAction::Silent:
            break;
        case SimAction::Drop:
            m_closed = true;
            m_socket->disconnectFromHost();
            return;
        case SimAction::ReplyAndClose:
            m_closed = true;
            m_socket->write(action.bytes);
            m_socket->disconnectFromHost();
            return;
        case SimAction::Reply:
            if (action.delayMs <= 0 && action.splitPauseMs < 0) {
                send(action.bytes);
                break;
            }
            m_busy = true;
            QTimer::singleShot(action.delayMs, this, [this, action] {
                if (m_closed)
                    return;
                if (action.splitPauseMs < 0) {
                    send(action.bytes);
                    replyDone();
                    return;
                }
                const int cut = qBound(1, action.bytes.size() / 2, qMax(1, action.bytes.size() - 1));
                send(action.bytes.left(cut));
                const QByteArray rest = action.bytes.mid(cut);
                QTimer::singleShot(action.splitPauseMs, this, [this, rest] {
                    if (m_closed)
                        return;
                    send(rest);
                    replyDone();
                });
            });
            return;
        }
    }
}

void SimConnection::send(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_socket->write(bytes);
    m_socket->flush();
}

void SimConnection::replyDone()
{
    m_busy = false;
    processBuffered();
}

SimEngine::SimEngine(std::shared_ptr<SimCore> core)
    : m_core(std::move(core))
{
}

bool SimEngine::listen(const QHostAddress &address, quint16 port, QString *error)
{
    if (m_server) {
        delete m_server;
    }
    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &SimEngine::onNewConnection);
    if (!m_server->listen(address, port)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(address.toString()).arg(port).arg(m_server->errorString());
        delete m_server;
        return false;
    }
    m_address = address;
    m_port = m_server->serverPort();
    m_started = true;
    return applyRefuse(error);
}

bool SimEngine::applyRefuse(QString *error)
{
    if (!m_started)
        return true;
    SimRefuse mode;
    {
        QMutexLocker lock(&m_core->mutex);
        mode = m_core->faults.refuse;
    }
    if (mode == SimRefuse::Unbind) {
        if (m_server)
            m_server->close();
        return true;
    }
    if (m_server && !m_server->isListening() && !m_server->listen(m_address, m_port)) {
        *error = QStringLiteral("cannot listen again on %1:%2: %3")
                     .arg(m_address.toString()).arg(m_port).arg(m_server->errorString());
        return false;
    }
    return true;
}

bool SimEngine::listenDiscovery(const QHostAddress &address, quint16 port, QString *error)
{
    delete m_udp;
    m_udp = new QUdpSocket(this);
    if (!m_udp->bind(address, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        *error = QStringLiteral("cannot bind discovery on %1:%2: %3")
                     .arg(address.toString()).arg(port).arg(m_udp->errorString());
        delete m_udp;
        return false;
    }
    connect(m_udp, &QUdpSocket::readyRead, this, &SimEngine::onDatagram);
    return true;
}

void SimEngine::shutdown()
{
    m_started = false;
    delete m_server;
    delete m_udp;
    // Connections are children too; delete them now, on this thread.
    const auto children = findChildren<SimConnection *>(QString(), Qt::FindDirectChildrenOnly);
    for (SimConnection *c : children)
        delete c;
    m_port = 0;
}

bool SimEngine::isListening() const
{
    return m_server && m_server->isListening();
}

quint16 SimEngine::discoveryPort() const
{
    return m_udp ? m_udp->localPort() : 0;
}

void SimEngine::onNewConnection()
{
    while (m_server && m_server->hasPendingConnections()) {
        QTcpSocket *socket = m_server->nextPendingConnection();
        int id;
        SimRefuse mode;
        {
            QMutexLocker lock(&m_core->mutex);
            id = ++m_core->connections;
            mode = m_core->faults.refuse;
        }
        emit connectionAccepted();
        if (mode != SimRefuse::None) {
            socket->setParent(nullptr);
            socket->close();
            socket->deleteLater();
            continue;
        }
        auto *c = new SimConnection(socket, id, m_core, this);
        connect(c, &SimConnection::requestReceived, this, &SimEngine::requestReceived);
    }
}

void SimEngine::onDatagram()
{
    while (m_udp && m_udp->hasPendingDatagrams()) {
        const QNetworkDatagram d = m_udp->receiveDatagram();
        if (!d.isValid())
            continue;
        QHostAddress listen = m_address;
        if (listen.isNull() || listen == QHostAddress::Any || listen == QHostAddress::AnyIPv4
            || listen == QHostAddress::AnyIPv6)
            listen = QHostAddress::LocalHost;
        QList<QByteArray> answers;
        if (!m_core->discover(d.data(), listen.toString().toLatin1(), &answers))
            continue;
        for (const QByteArray &a : answers)
            m_udp->writeDatagram(a, d.senderAddress(), quint16(d.senderPort()));
        emit discoveryQueried();
    }
}
