#pragma once

#include <QString>

// A register that answers the probe but never completes a TCP connection: it
// listens with its accept queue full and accepts nothing, so the system drops
// every further attempt until the client gives up.
class HangingListener
{
public:
    // Listens on `address` (any free port); port() is 0 where the platform
    // offers no such listener.
    explicit HangingListener(const QString &address);
    ~HangingListener();
    HangingListener(const HangingListener &) = delete;
    HangingListener &operator=(const HangingListener &) = delete;

    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    int m_filler = -1;
    quint16 m_port = 0;
};
