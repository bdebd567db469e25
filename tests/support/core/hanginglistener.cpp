#include "tests/support/core/hanginglistener.h"

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

HangingListener::HangingListener(const QString &address)
{
#ifdef Q_OS_UNIX
    sockaddr_in at{};
    at.sin_family = AF_INET;
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &at.sin_addr) != 1)
        return;
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    socklen_t size = sizeof(at);
    if (::bind(m_listener, reinterpret_cast<sockaddr *>(&at), size) != 0 || ::listen(m_listener, 0) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&at), &size) != 0)
        return;
    // One connection fills a queue of length 0; it is never accepted.
    m_filler = ::socket(AF_INET, SOCK_STREAM, 0);
    if (::connect(m_filler, reinterpret_cast<sockaddr *>(&at), sizeof(at)) == 0)
        m_port = ntohs(at.sin_port);
#else
    Q_UNUSED(address)
#endif
}

HangingListener::~HangingListener()
{
#ifdef Q_OS_UNIX
    if (m_filler >= 0)
        ::close(m_filler);
    if (m_listener >= 0)
        ::close(m_listener);
#endif
}
