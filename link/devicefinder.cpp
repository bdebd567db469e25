#include "link/devicefinder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QUdpSocket>

#include <memory>

namespace {

const char kQuestion[] = "Are You Korvane POS?\n";

// Answers are one short line; anything longer is cut before it is matched.
const int kMaxAnswer = 512;

DeviceFinder::AddressSource &addressSource()
{
    static DeviceFinder::AddressSource source;
    return source;
}

const QRegularExpression &answerPattern()
{
    static const QRegularExpression re(QStringLiteral(
            "^(\\d+) (([0-9A-Fa-f]{2}[:-]){5}([0-9A-Fa-f]{2})) "
            "((([0-9]|[1-9][0-9]|1[0-9]{2}|2[0-4][0-9]|25[0-5])\\.){3}"
            "([0-9]|[1-9][0-9]|1[0-9]{2}|2[0-4][0-9]|25[0-5]))[\\n]"));
    return re;
}

}

DeviceFinder::DeviceFinder(QObject *parent)
    : QObject(parent)
{
}

QList<QHostAddress> DeviceFinder::interfaceBroadcasts()
{
    QList<QHostAddress> out;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        if (iface.flags() & QNetworkInterface::IsLoopBack)
            continue;
        const auto entries = iface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                out.append(entry.broadcast());
        }
    }
    return out;
}

void DeviceFinder::setAddressSource(AddressSource source)
{
    addressSource() = std::move(source);
}

QList<QHostAddress> DeviceFinder::broadcastAddresses()
{
    return addressSource() ? addressSource()() : interfaceBroadcasts();
}

bool DeviceFinder::parseAnswer(const QByteArray &datagram, QString *device, QString *mac, QString *ip)
{
    QByteArray bytes = datagram.left(kMaxAnswer);
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    // The fields come from the captures, so bytes after the line feed never
    // end up in the address.
    const QRegularExpressionMatch m = answerPattern().match(QString::fromLatin1(bytes));
    if (!m.hasMatch())
        return false;
    *device = m.captured(1);
    *mac = m.captured(2);
    *ip = m.captured(5);
    return true;
}

void DeviceFinder::stop()
{
    QMutexLocker lock(&m_mutex);
    m_stopped = true;
}

bool DeviceFinder::isStopped()
{
    QMutexLocker lock(&m_mutex);
    return m_stopped;
}

void DeviceFinder::run()
{
    const QList<QHostAddress> targets = broadcastAddresses();
    {
        QMutexLocker lock(&m_mutex);
        m_stopped = false;
    }
    QJsonArray found;
    int matches = 0;

    auto socket = std::make_unique<QUdpSocket>();
    m_socket = socket.get();
    socket->bind(QHostAddress::AnyIPv4, m_port,
                 QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);

    const QByteArray question(kQuestion, sizeof(kQuestion) - 1);
    bool stopped = false;
    for (const QHostAddress &target : targets) {
        if (socket->writeDatagram(question, target, m_port) != question.size())
            continue;
        while (socket->waitForReadyRead(m_timeout)) {
            while (socket->hasPendingDatagrams()) {
                // A datagram may be up to 64 KiB; whatever lies beyond what an
                // answer can be is dropped by the socket, never allocated.
                QByteArray datagram(kMaxAnswer + 1, '\0');
                datagram.truncate(int(qMax<qint64>(0, socket->readDatagram(datagram.data(), datagram.size()))));
                QString device, mac, ip;
                if (parseAnswer(datagram, &device, &mac, &ip)) {
                    found.append(QJsonObject{{QStringLiteral("device"), device},
                                             {QStringLiteral("mac"), mac},
                                             {QStringLiteral("ip"), ip}});
                    ++matches;
                }
                if (isStopped()) {
                    stopped = true;
                    break;
                }
                emit received(matches);
            }
            if (stopped)
                break;
        }
        if (stopped || isStopped())
            break;
    }

    socket.reset();
    m_foundDevices = QJsonDocument(found).toJson(QJsonDocument::Compact);
    emit finished();
}
