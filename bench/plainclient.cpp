#include "bench/plainclient.h"

#include "link/linkframe.h"

#include <QtEndian>

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

constexpr quint8 Identify = 0xC1;
constexpr quint8 ReadPages = 0xC2;
constexpr quint8 WritePages = 0xC3;
constexpr int Page = LinkFrame::PageSize;
constexpr int Chunk = LinkFrame::MaxPagesPerRequest;

struct Area
{
    int first = 0;
    int count = 0;
};

#ifdef Q_OS_UNIX

class Connection
{
public:
    Connection(const QString &address, quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        ::inet_pton(AF_INET, address.toLatin1().constData(), &to.sin_addr);
        const int one = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
        if (::connect(m_fd, reinterpret_cast<sockaddr *>(&to), sizeof(to)) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~Connection()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int requests() const { return m_requests; }

    // The reply's payload; false when anything went wrong.
    bool transact(quint8 command, const QVector<qint32> &arguments, const QByteArray &payload, QByteArray *reply)
    {
        const QByteArray frame = LinkFrame::encode({command, arguments, payload});
        if (::send(m_fd, frame.constData(), size_t(frame.size()), 0) != frame.size())
            return false;
        ++m_requests;
        QByteArray received;
        char buffer[4096];
        while (LinkFrame::progress(received) == LinkFrame::Progress::Incomplete) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof(buffer), 0);
            if (n <= 0)
                return false;
            received.append(buffer, int(n));
        }
        const LinkReply decoded = LinkFrame::decode(received);
        if (!decoded.valid)
            return false;
        *reply = decoded.payload;
        return true;
    }

private:
    int m_fd = -1;
    int m_requests = 0;
};

// Identify, the page-0 header and the serial page, as every exchange starts.
bool openExchange(Connection &c, Area areas[5])
{
    QByteArray reply;
    if (!c.isOpen() || !c.transact(Identify, {0}, {}, &reply) || !c.transact(ReadPages, {0, 1}, {}, &reply))
        return false;
    for (int i = 0; i < 5; ++i) {
        areas[i].first = qFromLittleEndian<quint16>(reply.constData() + 6 + 8 * i + 2);
        areas[i].count = qFromLittleEndian<quint16>(reply.constData() + 6 + 8 * i + 4);
    }
    return c.transact(ReadPages, {areas[1].first + 1, 1}, {}, &reply);
}

bool readArea(Connection &c, const Area &area)
{
    QByteArray reply;
    for (int done = 0; done < area.count; done += Chunk) {
        if (!c.transact(ReadPages, {area.first + done, qMin(Chunk, area.count - done)}, {}, &reply))
            return false;
    }
    return true;
}

#endif

}

bool PlainClient::available()
{
#ifdef Q_OS_UNIX
    return true;
#else
    return false;
#endif
}

int PlainClient::readParams(const QString &address, quint16 port)
{
#ifdef Q_OS_UNIX
    Connection c(address, port);
    Area areas[5];
    if (!openExchange(c, areas) || !readArea(c, areas[1]) || !readArea(c, areas[0]))
        return -1;
    return c.requests();
#else
    Q_UNUSED(address)
    Q_UNUSED(port)
    return -1;
#endif
}

int PlainClient::readGoods(const QString &address, quint16 port)
{
#ifdef Q_OS_UNIX
    Connection c(address, port);
    Area areas[5];
    if (!openExchange(c, areas))
        return -1;
    const Area goods = areas[4];
    QByteArray reply;
    for (int done = 0; done < goods.count; done += Chunk) {
        if (!c.transact(ReadPages, {goods.first + done, qMin(Chunk, goods.count - done)}, {}, &reply))
            return -1;
        for (int record = 0; record + 2 <= reply.size(); record += 128) {
            if (qFromLittleEndian<quint16>(reply.constData() + record) == 0xFFFF)
                return c.requests();
        }
    }
    return c.requests();
#else
    Q_UNUSED(address)
    Q_UNUSED(port)
    return -1;
#endif
}

int PlainClient::writeGoods(const QString &address, quint16 port, const QByteArray &areaImage)
{
#ifdef Q_OS_UNIX
    Connection c(address, port);
    Area areas[5];
    if (!openExchange(c, areas))
        return -1;
    const int first = areas[4].first;
    const int full = areaImage.size() / Page;
    QByteArray reply;
    for (int done = 0; done < full; done += Chunk) {
        const int n = qMin(Chunk, full - done);
        if (!c.transact(WritePages, {first + done, n}, areaImage.mid(done * Page, n * Page), &reply))
            return -1;
    }
    const int tail = areaImage.size() % Page;
    if (tail > 0) {
        QByteArray page;
        if (!c.transact(ReadPages, {first + full, 1}, {}, &page))
            return -1;
        page.replace(0, tail, areaImage.right(tail));
        if (!c.transact(WritePages, {first + full, 1}, page, &reply))
            return -1;
    }
    return c.requests();
#else
    Q_UNUSED(address)
    Q_UNUSED(port)
    Q_UNUSED(areaImage)
    return -1;
#endif
}
