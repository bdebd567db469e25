#include "link/devicecontroller.h"

#include "link/devicenet.h"
#include "link/taggedblock.h"

#include <QLoggingCategory>
#include <QMetaMethod>
#include <QNetworkSession>
#include <QThread>

#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcLink)

namespace {

// Qt registers a type of its socket internals on a process's first
// connection; exchanges that connect for the first time on several threads
// at once would each register it, and all but one print a warning.
void registerSocketTypes()
{
#ifndef QT_NO_BEARERMANAGEMENT
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qMetaTypeId<QSharedPointer<QNetworkSession>>();
    QT_WARNING_POP
#endif
}

}

DeviceController::DeviceController(QObject *parent)
    : QObject(parent)
    , m_replyTimeout(DeviceNet::ReplyTimeout)
    , m_connectTimeout(DeviceNet::ConnectTimeout)
{
    static const bool registered = (registerSocketTypes(), true);
    Q_UNUSED(registered)
}

DeviceController::~DeviceController()
{
    // An owner that goes away mid-exchange still lets the link end and clean up.
    if (m_net) {
        m_net->stop();
        QMetaObject::invokeMethod(m_net.data(), "close", Qt::QueuedConnection);
    }
}

void DeviceController::queryIdentity(const QString &address, quint16 port)
{
    startExchange(DeviceRequest::QueryIdentity, address, port, QByteArray());
}

void DeviceController::readParams(const QString &address, quint16 port)
{
    startExchange(DeviceRequest::ReadParams, address, port, QByteArray());
}

void DeviceController::writeParams(const QString &address, quint16 port, const QByteArray &block)
{
    startExchange(DeviceRequest::WriteParams, address, port, block);
}

void DeviceController::readGoodsRange(const QString &address, quint16 port, qint32 start, qint32 count)
{
    QByteArray block;
    TaggedBlock::appendInt(block, TaggedBlock::StartRecord, start);
    TaggedBlock::appendInt(block, TaggedBlock::RecordCount, count);
    startExchange(DeviceRequest::ReadGoodsRange, address, port, block);
}

void DeviceController::readGoods(const QString &address, quint16 port)
{
    startExchange(DeviceRequest::ReadGoods, address, port, QByteArray());
}

void DeviceController::writeGoods(const QString &address, quint16 port, const QByteArray &image)
{
    startExchange(DeviceRequest::WriteGoods, address, port, image);
}

void DeviceController::setOperationSteps(const DeviceRequest::Step &before, const DeviceRequest::Step &after)
{
    m_before = before;
    m_after = after;
}

void DeviceController::startExchange(int op, const QString &address, quint16 port, const QByteArray &input)
{
    m_address = address;
    m_port = port;
    auto *request = new DeviceRequest;
    request->op = op;
    if (op != DeviceRequest::QueryIdentity)
        request->expectedSerial = m_expectedSerial.toLatin1();
    request->input = input;
    request->serialLocations = m_serialLocations;
    request->beforeOperation = std::exchange(m_before, DeviceRequest::Step());
    request->afterOperation = std::exchange(m_after, DeviceRequest::Step());

    auto *net = new DeviceNet;
    m_net = net;
    auto *thread = new QThread;
    m_thread = thread;
    net->setTarget(address, port, request);
    net->setReplyTimeout(m_replyTimeout);
    net->setConnectTimeout(m_connectTimeout);
    net->moveToThread(thread);

    connect(net, &DeviceNet::connected, this, &DeviceController::onConnected);
    connect(net, &DeviceNet::disconnected, this, &DeviceController::onDisconnected);
    // Each frame crosses to this thread and wakes it; nobody listening, the
    // transfer need not pay for that on every request.
    if (isSignalConnected(QMetaMethod::fromSignal(&DeviceController::frame)))
        connect(net, &DeviceNet::frame, this, &DeviceController::frame);
    connect(net, &DeviceNet::pages, this, &DeviceController::pages);
    connect(this, &DeviceController::finished, net, &DeviceNet::close);
    connect(thread, &QThread::started, net, &DeviceNet::run);
    connect(net, &DeviceNet::closed, thread, &QThread::quit);
    connect(net, &DeviceNet::closed, net, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

void DeviceController::stop()
{
    if (m_net)
        m_net->stop();
}

void DeviceController::onConnected()
{
    qCDebug(lcLink) << "connected";
    emit connected();
}

void DeviceController::onDisconnected()
{
    auto *net = qobject_cast<DeviceNet *>(sender());
    if (net) {
        // The link reports once and then only waits for close(); from here
        // on its members are stable and a late stop() has nothing to reach.
        disconnect(net, &DeviceNet::disconnected, this, &DeviceController::onDisconnected);
        if (net == m_net)
            m_net.clear();
        const DeviceRequest *request = net->request();
        if (request->result != 0) {
            m_result = request->result;
        } else {
            const quint32 version = net->version();
            const int op = request->op;
            if (op < DeviceRequest::QueryIdentity || op > DeviceRequest::WriteGoods) {
                m_result = LinkUnknownOp;
            } else {
                m_versionMajor = int(version >> 28);
                m_versionMinor = int((version >> 16) & 0xFFF);
                m_versionBuild = int(version & 0xFFFF);
                m_identityValue = net->identityValue();
                m_goodsCapacity = net->goodsCapacity();
                QByteArray serial = net->serial();
                const int zero = serial.indexOf('\0');
                m_serialNumber = QString::fromUtf8(zero < 0 ? serial : serial.left(zero));
                if (op == DeviceRequest::QueryIdentity) {
                    const auto items = TaggedBlock::items(request->output);
                    // Serial numbers are digits; Latin-1 reads them as any 8-bit code page would.
                    if (!items.isEmpty() && items.first().tag == TaggedBlock::Serial)
                        m_serialNumber = QString::fromLatin1(items.first().value);
                } else if (op == DeviceRequest::ReadParams || op == DeviceRequest::ReadGoodsRange
                           || op == DeviceRequest::ReadGoods) {
                    m_data = request->output;
                }
                m_result = 0;
            }
        }
    }
    emit finished();
}
