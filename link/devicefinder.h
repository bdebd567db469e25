#pragma once

#include "link/registerdefaults.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>

#include <functional>

class QUdpSocket;

// Finds registers on the local network: broadcasts the question to every IPv4
// network of the workstation and collects the one-line answers as a JSON array.
// run() blocks its thread for the whole search; stop() may be called directly
// from any thread.
class DeviceFinder : public QObject
{
    Q_OBJECT

public:
    using AddressSource = std::function<QList<QHostAddress>()>;

    explicit DeviceFinder(QObject *parent = nullptr);

    int timeout() const { return m_timeout; }
    void setTimeout(int ms) { m_timeout = ms; }
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }

    // Compact JSON text of the last run's answers.
    QByteArray foundDevices() const { return m_foundDevices; }

    // The broadcast address of every IPv4 entry of every non-loopback interface.
    static QList<QHostAddress> interfaceBroadcasts();
    // Where the addresses to search come from; an empty function restores the
    // interfaces. Tests point it at loopback or namespace addresses.
    static void setAddressSource(AddressSource source);

    // The answer line's fields, or false when the text is no register's answer.
    static bool parseAnswer(const QByteArray &datagram, QString *device, QString *mac, QString *ip);

signals:
    void finished();
    void received(int count);

public slots:
    void run();
    void stop();

private:
    bool isStopped();
    static QList<QHostAddress> broadcastAddresses();

    int m_timeout = RegisterDefaults::SearchWait;
    quint16 m_port = RegisterDefaults::DiscoveryPort;
    bool m_stopped = false;
    QMutex m_mutex;
    QPointer<QUdpSocket> m_socket;
    QByteArray m_foundDevices;
};
