#include "link/icmpprobe.h"

#include "link/dottedquad.h"
#include "link/registerdefaults.h"

#include <QByteArray>

namespace {

// The target in host byte order; false for anything but a dotted-decimal
// address, and for the broadcast address, which no register has.
bool target(const QString &address, quint32 *host)
{
    return DottedQuad::parse(address, host) && *host != 0xFFFFFFFFu;
}

}

#ifdef Q_OS_WIN

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

IcmpProbe::IcmpProbe(Facility facility)
    : m_facility(facility)
{
    WSADATA data;
    m_socketsReady = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    m_payload.fill(0xAD);
}

IcmpProbe::~IcmpProbe()
{
    if (m_socketsReady)
        WSACleanup();
}

int IcmpProbe::ping(const QString &address, int timeout)
{
    quint32 host = 0;
    if (!target(address, &host))
        return -1;
    const IPAddr ip = htonl(host);
    const HANDLE handle = IcmpCreateFile();
    if (handle == INVALID_HANDLE_VALUE)
        return -2;
    m_used = Facility::IpHelperEcho;
    // Room for the reply structure of this build (it grows on 64-bit), the
    // echoed payload and an ICMP error message.
    unsigned char reply[sizeof(ICMP_ECHO_REPLY) + PayloadSize + 8];
    const DWORD replies = IcmpSendEcho(handle, ip, m_payload.data(), PayloadSize, nullptr,
                                       reply, sizeof(reply), DWORD(timeout));
    const DWORD error = GetLastError();
    int result = 0;
    const auto *echo = reinterpret_cast<const ICMP_ECHO_REPLY *>(reply);
    if (replies > 0 && echo->Status == IP_SUCCESS) {
        m_roundTripTime = int(echo->RoundTripTime);
    } else {
        // A router's "unreachable" is a reply too, but not from the register.
        m_roundTripTime = -1;
        result = replies > 0 ? int(echo->Status) : int(error);
        if (result == 0)
            result = IP_REQ_TIMED_OUT;
    }
    IcmpCloseHandle(handle);
    return result;
}

#else

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr quint8 EchoRequest = 8;
constexpr quint8 EchoReply = 0;

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { if (m_fd >= 0) ::close(m_fd); }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

quint16 checksum(const unsigned char *data, size_t size)
{
    quint32 sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += quint32(data[i]) << 8 | data[i + 1];
    if (size % 2)
        sum += quint32(data[size - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return quint16(~sum);
}

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

int elapsedMs(Clock::time_point since)
{
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// One echo over an open ICMP socket; 0 and the round trip on an answer.
int echo(int fd, bool raw, const sockaddr_in &target, const unsigned char *payload, int timeout, int *rtt)
{
    // Probes of a shop's registers run on several threads at once.
    static std::atomic<quint16> sequence{0};
    const quint16 seq = ++sequence;
    const quint16 id = quint16(::getpid());  // replaced by the kernel on datagram sockets

    unsigned char packet[8 + IcmpProbe::PayloadSize] = {};
    packet[0] = EchoRequest;
    packet[4] = id >> 8;
    packet[5] = id & 0xFF;
    packet[6] = seq >> 8;
    packet[7] = seq & 0xFF;
    std::copy(payload, payload + IcmpProbe::PayloadSize, packet + 8);
    const quint16 sum = checksum(packet, sizeof(packet));
    packet[2] = sum >> 8;
    packet[3] = sum & 0xFF;

    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(timeout);
    if (::sendto(fd, packet, sizeof(packet), 0, reinterpret_cast<const sockaddr *>(&target), sizeof(target)) < 0)
        return errno ? errno : EIO;

    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, remainingMs(deadline));
        if (ready == 0)
            return ETIMEDOUT;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        unsigned char buffer[1500];
        sockaddr_in from{};
        socklen_t fromSize = sizeof(from);
        const ssize_t got = ::recvfrom(fd, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr *>(&from), &fromSize);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return errno;
        }
        size_t offset = 0;
        if (raw) {  // raw sockets deliver the IP header too
            if (got < 20)
                continue;
            offset = size_t(buffer[0] & 0x0F) * 4;
        }
        if (size_t(got) < offset + 8 || from.sin_addr.s_addr != target.sin_addr.s_addr)
            continue;
        const unsigned char *icmp = buffer + offset;
        const quint16 replySeq = quint16(icmp[6] << 8 | icmp[7]);
        const quint16 replyId = quint16(icmp[4] << 8 | icmp[5]);
        if (icmp[0] != EchoReply || replySeq != seq || (raw && replyId != id))
            continue;  // our own request on loopback, or someone else's echo
        *rtt = elapsedMs(start);
        return 0;
    }
}

// A register that accepts or refuses a connection on its port is up.
int tcpKnock(const sockaddr_in &target, int timeout, int *rtt)
{
    Fd fd(::socket(AF_INET, SOCK_STREAM, 0));
    if (!fd.valid())
        return -2;
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) | O_NONBLOCK);
    sockaddr_in to = target;
    to.sin_port = htons(RegisterDefaults::TcpPort);
    const auto start = Clock::now();
    int error = 0;
    if (::connect(fd.get(), reinterpret_cast<const sockaddr *>(&to), sizeof(to)) < 0) {
        error = errno;
        if (error == EINPROGRESS) {
            pollfd p{fd.get(), POLLOUT, 0};
            const int ready = ::poll(&p, 1, timeout);
            if (ready == 0)
                return ETIMEDOUT;
            socklen_t size = sizeof(error);
            if (ready < 0 || ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &size) < 0)
                error = errno;
        }
    }
    if (error != 0 && error != ECONNREFUSED)
        return error;
    *rtt = elapsedMs(start);
    return 0;
}

} // namespace

IcmpProbe::IcmpProbe(Facility facility)
    : m_facility(facility)
{
    m_socketsReady = true;  // nothing to start on this platform
    m_payload.fill(0xAD);
}

IcmpProbe::~IcmpProbe() = default;

int IcmpProbe::ping(const QString &address, int timeout)
{
    quint32 host = 0;
    if (!target(address, &host))
        return -1;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(host);

    const bool automatic = m_facility == Facility::Automatic;
    int rtt = 0;
    int result = -2;
    bool opened = false;
    if (automatic || m_facility == Facility::IcmpDatagram) {
        Fd fd(::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP));
        if (fd.valid()) {
            opened = true;
            m_used = Facility::IcmpDatagram;
            result = echo(fd.get(), false, to, m_payload.data(), timeout, &rtt);
        }
    }
    if (!opened && (automatic || m_facility == Facility::IcmpRaw)) {
        Fd fd(::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP));
        if (fd.valid()) {
            opened = true;
            m_used = Facility::IcmpRaw;
            result = echo(fd.get(), true, to, m_payload.data(), timeout, &rtt);
        }
    }
    if (!opened && (automatic || m_facility == Facility::TcpConnect)) {
        m_used = Facility::TcpConnect;
        result = tcpKnock(to, timeout, &rtt);
    }
    if (result == -2)
        return result;
    m_roundTripTime = result == 0 ? rtt : -1;
    return result;
}

#endif
