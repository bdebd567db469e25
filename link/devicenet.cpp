#include "link/devicenet.h"

#include "link/linkframe.h"
#include "link/taggedblock.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMutexLocker>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>

Q_LOGGING_CATEGORY(lcLink, "korvane.link")

namespace {

constexpr quint8 CmdIdentify = 0xC1;
constexpr quint8 CmdReadPages = 0xC2;
constexpr quint8 CmdWritePages = 0xC3;
constexpr quint8 CmdWriteSystemPages = 0xC5;

constexpr quint32 HeaderMagic = 0xAA005500u;
constexpr int HeaderSize = 46;
constexpr quint16 GoodsEndMarker = 0xFFFF;
constexpr int GoodsRecordSize = 128;
constexpr quint32 FallbackVersion = (2u << 28) | (51u << 16) | 26u;

constexpr int ParamsArea = 2;
constexpr int SystemArea = 1;
constexpr int GoodsArea = 5;

QByteArray upToZero(const QByteArray &bytes)
{
    const int zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.left(zero);
}

} // namespace

DeviceNet::DeviceNet() = default;

DeviceNet::~DeviceNet() = default;

void DeviceNet::setTarget(const QString &host, quint16 port, DeviceRequest *request)
{
    m_host = host;
    m_port = port;
    m_request.reset(request);
}

bool DeviceNet::isStopped() const
{
    QMutexLocker lock(&m_mutex);
    return m_stopped;
}

DeviceNet::AreaDescriptor DeviceNet::area(int id) const
{
    return id >= 1 && id <= AreaCount ? m_areas[id - 1] : AreaDescriptor();
}

void DeviceNet::createSocket(bool runExchange)
{
    m_socket = new QTcpSocket(this);
    m_socket->setReadBufferSize(ReadBufferSize);
    if (runExchange) {
        connect(m_socket, &QTcpSocket::connected, this, &DeviceNet::onConnect);
        connect(m_socket, &QTcpSocket::disconnected, this, &DeviceNet::onDisconnect);
    }
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &DeviceNet::onError);
#else
    connect(m_socket, QOverload<QAbstractSocket::SocketError>::of(&QAbstractSocket::error),
            this, &DeviceNet::onError);
#endif
}

bool DeviceNet::openBlocking(int msecs)
{
    createSocket(false);
    m_running = true;  // errors now surface through the primitives
    m_socket->connectToHost(m_host, m_port);
    if (!m_socket->waitForConnected(msecs))
        return false;
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

void DeviceNet::run()
{
    createSocket(true);
    if (isStopped()) {
        m_request->result = LinkStopped;
        report();
        return;
    }
    m_socket->connectToHost(m_host, m_port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    QTimer::singleShot(m_connectTimeout, this, &DeviceNet::onConnectTimeout);
}

void DeviceNet::stop()
{
    {
        QMutexLocker lock(&m_mutex);
        m_stopped = true;
    }
    // A connection still being set up would otherwise wait for the operating
    // system to give up; the worker's event loop is free until it comes up.
    QMetaObject::invokeMethod(this, "onStopRequested", Qt::QueuedConnection);
}

void DeviceNet::close()
{
    emit closed();
}

void DeviceNet::onStopRequested()
{
    if (m_running || m_reported || !m_request)
        return;
    m_request->result = LinkStopped;
    if (m_socket)
        m_socket->abort();
    report();
}

void DeviceNet::onConnectTimeout()
{
    if (m_running || m_reported || !m_request || m_socket->state() == QAbstractSocket::ConnectedState)
        return;
    qCDebug(lcLink) << "connection not up after" << m_connectTimeout << "ms";
    m_request->result = LinkSocketError;
    m_socket->abort();
    report();
}

void DeviceNet::onConnect()
{
    if (m_reported)
        return;
    m_running = true;
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_request->result = exchange();
    m_socket->close();
    m_running = false;
    report();
}

void DeviceNet::onDisconnect()
{
    if (!m_running)
        report();
}

void DeviceNet::onError(QAbstractSocket::SocketError error)
{
    // During the exchange a wait that ran out is reported as an error too;
    // the primitive that waited already knows, and the connection is still
    // good. Before it, a timeout is the connection giving up.
    if (m_running && error == QAbstractSocket::SocketTimeoutError)
        return;
    qCDebug(lcLink) << "socket error" << error;
    if (m_running) {
        m_socketBroken = true;
        return;
    }
    if (m_reported || !m_request)
        return;
    m_request->result = LinkSocketError;
    report();
}

void DeviceNet::report()
{
    if (m_reported)
        return;
    m_reported = true;
    emit disconnected();
}

int DeviceNet::transact(const QByteArray &frame, QByteArray *reply)
{
    reply->clear();
    if (!m_socket || m_socketBroken || m_socket->state() != QAbstractSocket::ConnectedState)
        return LinkNotSent;
    discardUnasked();
    if (m_socketBroken)
        return LinkSocketError;  // the register closed the connection while nothing was asked
    if (m_socket->write(frame) != frame.size())
        return LinkNotSent;
    m_socket->flush();
    if (m_socketBroken)
        return LinkNotSent;  // refused by the operating system: the peer reset the connection

    // A reply may come in several segments: collect until its declared length
    // is there, all within one reply time.
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        reply->append(m_socket->readAll());
        switch (LinkFrame::progress(*reply)) {
        case LinkFrame::Progress::Complete:
            return LinkOk;
        case LinkFrame::Progress::Invalid:
            return LinkBadReply;
        case LinkFrame::Progress::Incomplete:
            break;
        }
        const qint64 remaining = m_replyTimeout - clock.elapsed();
        if (remaining <= 0 || !m_socket->waitForReadyRead(int(remaining))) {
            reply->append(m_socket->readAll());
            if (LinkFrame::progress(*reply) == LinkFrame::Progress::Complete)
                return LinkOk;
            if (m_socketBroken)
                return LinkSocketError;
            return reply->isEmpty() ? LinkNoReply : LinkBadReply;
        }
    }
}

void DeviceNet::discardUnasked()
{
    // A late or repeated reply to an earlier request may be waiting, in our
    // buffer or still in the system's; taken as the answer to the next
    // request it would pass for its data. A peer that never stops sending
    // is not waited out: its bytes spoil the next reply instead.
    constexpr int MaxRounds = 16;
    m_socket->readAll();
    for (int round = 0; round < MaxRounds && m_socket->waitForReadyRead(0); ++round)
        m_socket->readAll();
}

int DeviceNet::identify()
{
    QByteArray raw;
    const int rc = transact(LinkFrame::encode({CmdIdentify, {0}, {}}), &raw);
    if (rc != LinkOk)
        return rc;
    const LinkReply reply = LinkFrame::decode(raw);
    // A reply without the version argument identifies nothing.
    if (!reply.valid || reply.arguments.isEmpty())
        return LinkBadReply;
    m_version = quint32(reply.arguments.at(0));
    if ((m_version >> 16) == 0)
        m_version = FallbackVersion;  // old firmware reports only a build number
    if (reply.arguments.size() == 3) {
        m_identityValue = reply.arguments.at(1);
        m_goodsCapacity = reply.arguments.at(2);
    } else {
        m_identityValue = 1024;
        m_goodsCapacity = RegisterDefaults::GoodsCapacity;
    }
    return LinkOk;
}

int DeviceNet::readPages(QByteArray *out, int first, int count)
{
    if (count < 1 || count > LinkFrame::MaxPagesPerRequest)
        return LinkBadPageCount;
    QByteArray raw;
    const int rc = transact(LinkFrame::encode({CmdReadPages, {first, count}, {}}), &raw);
    if (rc != LinkOk)
        return rc;
    const LinkReply reply = LinkFrame::decode(raw);
    if (!reply.valid)
        return LinkBadReply;
    // A payload of the wrong size would shift every later page of the area.
    if (reply.arguments.size() != 1 || reply.arguments.at(0) != count
        || reply.payload.size() != count * LinkFrame::PageSize)
        return LinkReadMismatch;
    out->append(reply.payload);
    return LinkOk;
}

int DeviceNet::writePages(const QByteArray &data, int first, int count, Kind kind)
{
    if (count < 1 || count > LinkFrame::MaxPagesPerRequest)
        return LinkBadPageCount;
    const quint8 command = kind == Kind::System ? CmdWriteSystemPages : CmdWritePages;
    QByteArray raw;
    const int rc = transact(LinkFrame::encode({command, {first, count}, data}), &raw);
    if (rc != LinkOk)
        return rc;
    const LinkReply reply = LinkFrame::decode(raw);
    if (!reply.valid)
        return LinkBadReply;
    if (reply.arguments.size() != 1 || reply.arguments.at(0) != 0)
        return LinkWriteRejected;
    return LinkOk;
}

int DeviceNet::readHeader(const QByteArray &page)
{
    if (page.size() < HeaderSize)
        return LinkBadHeader;
    const char *p = page.constData();
    if (qFromLittleEndian<quint32>(p) != HeaderMagic)
        return LinkBadHeader;
    AreaDescriptor areas[AreaCount];
    for (int i = 0; i < AreaCount; ++i) {
        const char *d = p + 6 + 8 * i;
        if (qFromLittleEndian<quint16>(d) != i + 1)
            return LinkBadHeader;
        areas[i].first = qFromLittleEndian<quint16>(d + 2);
        areas[i].count = qFromLittleEndian<quint16>(d + 4);
    }
    const AreaDescriptor previous[AreaCount] = {m_areas[0], m_areas[1], m_areas[2], m_areas[3], m_areas[4]};
    std::copy(areas, areas + AreaCount, m_areas);
    // An area over page 0 or over another area would let a write destroy the
    // header or another area's contents.
    if (!areasApart()) {
        std::copy(previous, previous + AreaCount, m_areas);
        return LinkBadHeader;
    }
    m_headerWord = qFromLittleEndian<qint16>(p + 4);
    return LinkOk;
}

bool DeviceNet::areasApart() const
{
    for (int i = 0; i < AreaCount; ++i) {
        const AreaDescriptor &a = m_areas[i];
        if (a.count == 0)
            continue;
        if (a.first == 0)
            return false;
        for (int j = i + 1; j < AreaCount; ++j) {
            const AreaDescriptor &b = m_areas[j];
            if (b.count > 0 && a.first < b.first + b.count && b.first < a.first + a.count)
                return false;
        }
    }
    return true;
}

int DeviceNet::readSerial(quint32 version)
{
    const int minor = int((version >> 16) & 0xFFF);
    // The family with the highest minor number not above the register's;
    // older firmware keeps its serial where the oldest family does.
    const SerialLocation *best = nullptr;
    const SerialLocation *oldest = nullptr;
    for (const SerialLocation &candidate : m_request->serialLocations) {
        if (candidate.minor <= minor && (!best || candidate.minor > best->minor))
            best = &candidate;
        if (!oldest || candidate.minor < oldest->minor)
            oldest = &candidate;
    }
    const SerialLocation *location = best ? best : oldest;
    if (!location)
        return LinkUnknownOp;
    QByteArray page;
    const int rc = readPages(&page, area(ParamsArea).first + location->page, 1);
    if (rc != LinkOk)
        return rc;
    m_serial = upToZero(page.mid(location->offset, location->length));
    return LinkOk;
}

int DeviceNet::readArea(QByteArray *out, int first, int count)
{
    int done = 0;
    while (done < count) {
        const int n = qMin(count - done, LinkFrame::MaxPagesPerRequest);
        const int rc = readPages(out, first + done, n);
        if (rc != LinkOk)
            return rc;
        done += n;
        if (isStopped())
            return LinkStopped;
        emit frame(done);
    }
    return LinkOk;
}

int DeviceNet::readGoodsPages(QByteArray *out, int first, int count)
{
    int done = 0;
    while (done < count) {
        const int n = qMin(count - done, LinkFrame::MaxPagesPerRequest);
        QByteArray chunk;
        const int rc = readPages(&chunk, first + done, n);
        if (rc != LinkOk)
            return rc;
        done += n;
        bool end = false;
        for (int pos = 0; pos + 2 <= chunk.size() && !end; pos += GoodsRecordSize)
            end = qFromLittleEndian<quint16>(chunk.constData() + pos) == GoodsEndMarker;
        out->append(chunk);
        if (isStopped())
            return LinkStopped;
        if (end)
            return LinkOk;
        emit frame(done);
    }
    return LinkOk;
}

int DeviceNet::readGoodsRecords(QByteArray *out, int start, int count)
{
    if (count <= 0 || start < 0)
        return LinkOutOfRange;
    const qint64 firstPage = start / 2;
    const qint64 n = (qint64(start) + count - 1) / 2 - firstPage + 1;
    const AreaDescriptor goods = area(GoodsArea);
    if (firstPage + n > goods.count)
        return LinkOutOfRange;
    emit pages(int(n));
    QByteArray temp;
    const int rc = readGoodsPages(&temp, goods.first + int(firstPage), int(n));
    if (rc != LinkOk)
        return rc;
    out->append(temp.mid((start % 2) * GoodsRecordSize));
    return LinkOk;
}

int DeviceNet::writeArea(const QByteArray &data, int first, int count, Kind kind)
{
    int done = 0;
    while (done < count) {
        const int n = qMin(count - done, LinkFrame::MaxPagesPerRequest);
        const QByteArray chunk = data.mid(done * LinkFrame::PageSize, n * LinkFrame::PageSize);
        const int rc = writePages(chunk, first + done, n, kind);
        if (rc != LinkOk)
            return rc;
        done += n;
        if (isStopped())
            return LinkStopped;
        emit frame(done);
    }
    return LinkOk;
}

int DeviceNet::writeAt(const QByteArray &data, int first)
{
    const int full = data.size() / LinkFrame::PageSize;
    const int tail = data.size() % LinkFrame::PageSize;
    if (data.isEmpty())
        return LinkOk;
    const int rc = writeArea(data.left(full * LinkFrame::PageSize), first, full, Kind::Params);
    if (rc != LinkOk)
        return rc;
    if (tail > 0) {
        const int patched = patchPage(data.right(tail), first + full, 0);
        if (patched != LinkOk)
            return patched;
        emit frame(full + 1);
    }
    return LinkOk;
}

int DeviceNet::patchPage(const QByteArray &data, int page, int offset)
{
    QByteArray buffer;
    int rc = readPages(&buffer, page, 1);
    if (rc != LinkOk)
        return rc;
    const int size = qBound(0, qMin(data.size(), LinkFrame::PageSize - offset), LinkFrame::PageSize);
    buffer.replace(offset, size, data.constData(), size);
    return writePages(buffer, page, 1, Kind::Params);
}

int DeviceNet::exchange()
{
    if (isStopped())
        return LinkStopped;
    emit connected();

    int rc = identify();
    if (rc != LinkOk)
        return rc;
    QByteArray page0;
    rc = readPages(&page0, 0, 1);
    if (rc != LinkOk)
        return rc;
    rc = readHeader(page0);
    if (rc != LinkOk)
        return rc;
    rc = readSerial(m_version);
    if (rc != LinkOk)
        return rc;

    const int op = m_request->op;
    if (op == DeviceRequest::QueryIdentity) {
        m_request->output.clear();
        TaggedBlock::append(m_request->output, TaggedBlock::Serial, m_serial);
        return LinkOk;
    }
    if (op < DeviceRequest::ReadParams || op > DeviceRequest::WriteGoods)
        return LinkUnknownOp;

    qCDebug(lcLink) << "serial" << QString::fromLatin1(m_serial)
                    << "expected" << QString::fromLatin1(m_request->expectedSerial);
    rc = runStep(m_request->beforeOperation);
    if (rc != LinkOk)
        return rc;
    rc = checkSerial();
    if (rc != LinkOk)
        return rc;
    rc = runOperation(op);
    if (rc != LinkOk)
        return rc;
    return runStep(m_request->afterOperation);
}

int DeviceNet::runStep(const DeviceRequest::Step &step)
{
    if (!step)
        return LinkOk;
    const int rc = step(*this);
    if (rc == LinkOk && isStopped())
        return LinkStopped;
    return rc;
}

int DeviceNet::runOperation(int op)
{
    switch (op) {
    case DeviceRequest::ReadParams:
        return readParamsAreas();
    case DeviceRequest::WriteParams:
        return writeParamsAreas();
    case DeviceRequest::ReadGoodsRange:
        return readGoodsRange();
    case DeviceRequest::ReadGoods:
        return readGoodsRecords(&m_request->output, 1, 2 * area(GoodsArea).count - 1);
    default:
        return writeGoodsArea();
    }
}

int DeviceNet::checkSerial() const
{
    const QByteArray &expected = m_request->expectedSerial;
    if (expected.size() < m_serial.size() || !expected.startsWith(m_serial))
        return LinkSerialMismatch;
    return LinkOk;
}

bool DeviceNet::paramsAreasFitBlock() const
{
    // Each area travels as one tagged item, whose length field stops at 65535.
    return area(ParamsArea).count * LinkFrame::PageSize <= TaggedBlock::MaxValueSize
        && area(SystemArea).count * LinkFrame::PageSize <= TaggedBlock::MaxValueSize;
}

int DeviceNet::readParamsAreas()
{
    const AreaDescriptor params = area(ParamsArea);
    const AreaDescriptor system = area(SystemArea);
    if (!paramsAreasFitBlock())
        return LinkOutOfRange;
    QByteArray paramsBuffer;
    int rc = readArea(&paramsBuffer, params.first, params.count);
    if (rc != LinkOk)
        return rc;
    QByteArray systemBuffer;
    rc = readArea(&systemBuffer, system.first, system.count);
    if (rc != LinkOk)
        return rc;
    QByteArray output;
    if (!paramsBuffer.isEmpty())
        TaggedBlock::append(output, TaggedBlock::Params, paramsBuffer);
    if (!systemBuffer.isEmpty())
        TaggedBlock::append(output, TaggedBlock::System, systemBuffer);
    m_request->output = output;
    return LinkOk;
}

int DeviceNet::writeParamsAreas()
{
    const AreaDescriptor params = area(ParamsArea);
    const AreaDescriptor system = area(SystemArea);
    // Parameters for such an area never came from this register (a read
    // refuses it), and zero-filling up to 16 MiB of it would be no repair.
    if (!paramsAreasFitBlock())
        return LinkOutOfRange;
    int rc = LinkOk;
    for (const TaggedBlock::Item &item : TaggedBlock::items(m_request->input)) {
        if (item.tag != TaggedBlock::Params && item.tag != TaggedBlock::System)
            continue;
        const bool isParams = item.tag == TaggedBlock::Params;
        const AreaDescriptor target = isParams ? params : system;
        QByteArray buffer(target.count * LinkFrame::PageSize, '\0');
        if (item.value.size() > buffer.size())
            return LinkOutOfRange;
        buffer.replace(0, item.value.size(), item.value);
        rc = writeArea(buffer, target.first, target.count, isParams ? Kind::Params : Kind::System);
        if (rc != LinkOk)
            return rc;
    }
    return rc;
}

int DeviceNet::readGoodsRange()
{
    qint32 start = 0;
    qint32 count = 0;
    for (const TaggedBlock::Item &item : TaggedBlock::items(m_request->input)) {
        if (item.tag != TaggedBlock::StartRecord && item.tag != TaggedBlock::RecordCount)
            continue;
        qint32 value = 0;
        if (!TaggedBlock::toInt(item.value, &value))
            break;
        (item.tag == TaggedBlock::StartRecord ? start : count) = value;
    }
    if (start == 0 || count == 0)
        return LinkOutOfRange;
    return readGoodsRecords(&m_request->output, start, count);
}

int DeviceNet::writeGoodsArea()
{
    const AreaDescriptor goods = area(GoodsArea);
    if (m_request->input.size() > goods.count * LinkFrame::PageSize)
        return LinkOutOfRange;
    return writeAt(m_request->input, goods.first);
}
