#pragma once

// Internal: the simulator's state, shared between the public object and the
// engine thread, and the processing of one request. Everything is guarded by
// the one mutex.

#include "sim/registersimulator.h"
#include "sim/simframe.h"
#include "sim/simstorage.h"

#include <QMutex>

#include <atomic>

struct SimAction
{
    enum Kind { Reply, Silent, Drop, ReplyAndClose };
    Kind kind = Reply;
    QByteArray bytes;      // the reply frame as it goes out
    int delayMs = 0;
    int splitPauseMs = -1;
};

class SimCore
{
public:
    explicit SimCore(const SimConfig &config);

    // Handles one complete request frame of connection conn, request index
    // (1-based) and returns what to send. Locks the mutex.
    SimAction process(const SimFrame::Header &header, const QByteArray &body, int conn, int index);
    // True when the datagram is the discovery query; answers then holds the
    // datagrams to send back (none for the silent variant).
    bool discover(const QByteArray &datagram, const QByteArray &listenIp, QList<QByteArray> *answers);

    // Helpers, called with the mutex held.
    bool serialWindow(int *page, int *offset, int *size) const;
    QByteArray storedSerial() const;
    void writeSerial(const QByteArray &serial);
    QByteArray answerLine(SimDiscoveryReply variant, const QByteArray &listenIp) const;
    void saveState(); // writes the storage to the state file, if there is one

    mutable QMutex mutex;
    SimConfig config;
    QString configError;
    quint32 version = 0;
    qint32 identityValue = 0;
    qint32 goodsCapacity = 0;
    SimStorage storage;
    SimFaults faults;
    SimDiscoveryReply discoveryReply = SimDiscoveryReply::Normal;
    QByteArray discoverySerial;
    QString statePath;
    QString stateError;
    // The latest requests only, so that a long-running simulator does not grow
    // without end; logged counts them all since the last clear.
    QList<SimRequest> log;
    int logLimit = 10000;
    int logged = 0;
    // Whether anyone listens for requestReceived: each announcement wakes the
    // owner's thread, which a busy client in the same process pays for.
    std::atomic<bool> announceRequests{false};
    int connections = 0;
    int discoveryQueries = 0;

private:
    bool targeted(quint8 command, int index) const;
};
