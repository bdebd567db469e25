#pragma once

// RegisterSimulator: a simulated Korvane fiscal register for the tests and for
// the korvane-sim program. It serves the TCP link protocol (commands 0xC1
// identify, 0xC2 read pages, 0xC3 write pages, 0xC5 write system pages) and the
// UDP discovery answer, over a storage of 256-byte pages with the page-0 header
// and its five area descriptors. It shares no code with link/.
//
// The simulator runs its sockets on a thread of its own, so a test may block
// its own thread on a synchronous client (or run a DeviceController) while the
// simulator answers. Every public function is thread-safe and may be called at
// any time, also while a client is connected; a changed fault applies from the
// next request on.
//
// It listens on loopback addresses only unless SimConfig::allowAnyAddress is set.
//
// Typical use in a test:
//
//     RegisterSimulator sim(SimConfig::family253("2530000001"));
//     QVERIFY(sim.start());                     // 127.0.0.1, free port
//     ... connect to sim.port() ...
//     QCOMPARE(sim.requestTrace(), QStringList() << "C1" << "C2 0 1" << "C2 6 1");

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class SimCore;
class SimEngine;
class QThread;

enum class SimFamily {
    F252, // serial on the first page of the params area, bytes 4..15
    F253  // serial on the second page of the params area, bytes 0..19
};

// How connections are refused.
enum class SimRefuse {
    None,   // accept and serve
    Close,  // accept, then close at once without reading
    Unbind  // stop listening: the system refuses new connections; clearing it listens again on the same port
};

// The answer to a discovery datagram.
enum class SimDiscoveryReply {
    Normal,         // "<serial> <MAC> <IP>\n"
    HyphenLowerMac, // MAC with hyphens in lower case: 00-1a-2b-3c-4d-5e
    NoLineFeed,     // the line without its final line feed
    LeadingZeroIp,  // last IP part with a leading zero: 127.0.0.01
    FiveGroupMac,   // the MAC's first five groups only
    Twice,          // two identical normal answers
    Oversized,      // one datagram as large as UDP carries (65507 bytes): a line whose serial has some 65000 digits
    Silent          // no answer
};

// What happened to a logged request.
enum class SimOutcome {
    Accepted,   // well-formed and answered positively (a byte-level fault may still spoil the reply)
    Rejected,   // answered with a reply the link rejects (status byte non-zero)
    Dropped,    // the connection was closed instead of answering (drop-after, bad magic)
    Unanswered  // silent fault: no reply
};

struct SimConfig
{
    SimFamily family = SimFamily::F253;
    quint32 version = 0;           // 0: family default, 2.53.10 or 2.52.38
    qint32 identityValue = 1024;   // second identify argument
    qint32 goodsCapacity = 2000;   // third identify argument
    QByteArray serial = "1000000001";
    int systemPages = 4;           // area 1
    int paramsPages = 0;           // area 2; 0: family default, 21 (2.53) or 10 (2.52)
    int area3Pages = 1;
    int area4Pages = 1;
    int goodsPages = 0;            // area 5; 0: room for goodsCapacity - 1 goods, (capacity + 3) / 2 pages
    quint16 headerWord = 1;        // the word after the page-0 magic
    // 0xC3 may only write pages inside area 2 or area 5, and 0xC5 only inside
    // area 1; a write elsewhere gets a negative acknowledgement. Off: any pages.
    bool strictAreas = true;
    bool allowAnyAddress = false;  // listen on non-loopback addresses too
    QByteArray mac = "00:1A:2B:3C:4D:5E"; // discovery answer
    QByteArray ip;                 // discovery answer; empty: the listen address (127.0.0.1 when listening on any)

    static SimConfig family252(const QByteArray &serial = "1000000001");
    static SimConfig family253(const QByteArray &serial = "1000000001");
};

// Faults. The byte-level ones (delay, split, bad checksum, truncate, silent)
// and the command-specific ones (wrong page count, nak writes, identify
// arguments) apply only to requests selected by onlyCommand / fromRequest /
// untilRequest; refuse, dropAfter and otherSerial apply to everything.
struct SimFaults
{
    int delayMs = 0;            // wait this long before replying
    int splitPauseMs = -1;      // >= 0: send the reply in two segments with this pause between
    bool badChecksum = false;   // flip a bit of the reply's CRC field
    bool truncate = false;      // send the header and only half of the body
    bool wrongPageCount = false;// read replies confirm count + 1 pages
    bool nakWrites = false;     // write replies carry argument 8 (not 0); nothing is written
    bool ignoreWrites = false;  // write replies acknowledge, but the old bytes stay
    SimRefuse refuse = SimRefuse::None;
    int dropAfter = -1;         // >= 0: on each connection answer that many requests, then close on the next
    QByteArray otherSerial;     // non-empty: reads show this serial; the stored serial stays
    int identifyArgs = 3;       // identify reply argument count, 0..3 (version, identityValue, goodsCapacity)
    bool silent = false;        // never answer (the connection stays open)
    quint32 declaredLength = 0; // non-zero: replies declare this body length (0x80000000: 2 GiB); the bytes sent stay as they are
    int extraPayload = 0;       // > 0: read replies carry this many bytes beyond the pages asked for (length and CRC agree)

    quint8 onlyCommand = 0;     // 0: every command; else only requests with this command
    int fromRequest = 1;        // first request (1-based, per connection) the faults apply to
    int untilRequest = 0;       // last such request; 0: no end
};

struct SimRequest
{
    int connection = 0;          // 1-based, in order of acceptance
    int index = 0;               // 1-based within its connection
    quint8 command = 0;          // 0 when the body was too short to hold one
    qint32 first = 0;            // first page (page commands), else 0
    qint32 count = 0;            // page count (page commands), else 0
    QVector<qint32> args;
    int payloadSize = 0;
    bool checksumOk = true;
    SimOutcome outcome = SimOutcome::Accepted;
    quint8 status = 0;           // status byte of the reply (0 = accepted)

    // "C1", "C2 <first> <count>", "C3 <first> <count>", "C5 <first> <count>",
    // any other command as its two hex digits.
    QString toString() const;
};

class RegisterSimulator : public QObject
{
    Q_OBJECT
public:
    // Reply status bytes (the link keeps them without interpreting them).
    enum Status : quint8 {
        StatusOk = 0,
        StatusBadChecksum = 1,
        StatusMalformed = 2,    // body too short for its declared arguments
        StatusUnknownCommand = 3,
        StatusBadArguments = 4, // wrong argument count or values, or a payload where none belongs
        StatusBadRange = 5,     // page count outside 1..4 or pages outside the storage
        StatusBadPayload = 6,   // write payload size is not count x 256
        StatusAreaRefused = 7,  // strictAreas: the pages are not writable with that command
        StatusWriteRefused = 8, // nakWrites fault
        StatusBadMagic = 9      // request magic is not 0xBEEF (the connection is then closed)
    };

    explicit RegisterSimulator(const SimConfig &config = SimConfig(), QObject *parent = nullptr);
    ~RegisterSimulator() override;

    // Listens for TCP on address:port (port 0: any free port). False with
    // errorString() when the config is invalid, the state file was bad, the
    // address is not loopback (without allowAnyAddress) or binding failed.
    bool start(const QHostAddress &address = QHostAddress::LocalHost, quint16 port = 0);
    // Answers discovery datagrams on UDP port (0: any free port), bound to the
    // TCP listen address (or loopback when TCP is not started).
    bool startDiscovery(quint16 port = 0);
    // Closes every socket; the storage stays and start() may be called again.
    void stop();

    bool isListening() const;
    QHostAddress address() const;
    quint16 port() const;
    quint16 discoveryPort() const;
    QString errorString() const;

    // Persistence: loads the storage from path if the file exists (false when
    // it is not a whole number of pages), otherwise writes the current storage
    // there; from then on every change is written back. The family, version and
    // identity values are not part of the file.
    bool setStateFile(const QString &path);
    QString stateFile() const;

    // Identity.
    SimFamily family() const;
    quint32 version() const;
    void setVersion(quint32 version);
    qint32 identityValue() const;
    void setIdentityValue(qint32 value);
    qint32 goodsCapacity() const;
    void setGoodsCapacity(qint32 capacity);
    static quint32 makeVersion(int major, int minor, int build);
    static bool parseVersion(const QString &text, quint32 *version); // "X.Y.Z"
    static QString versionText(quint32 version);

    // Storage. Direct access bypasses the protocol, the faults and the log
    // (it is written to the state file all the same).
    int pageCount() const;
    QByteArray storage() const;                             // every page, from page 0
    QByteArray pages(int first, int count) const;           // empty when out of range
    bool setPages(int first, const QByteArray &data);       // data from the start of page first
    int areaFirst(int id) const;                            // -1 when page 0 does not describe area id
    int areaPages(int id) const;                            // -1 likewise
    QByteArray areaContent(int id) const;
    bool setAreaContent(int id, const QByteArray &data);    // from the start of the area; must fit
    QByteArray serial() const;                              // the stored serial
    void setSerial(const QByteArray &serial);               // cut to the family's window (20 or 12 bytes)
    int serialPage() const;                                 // where the family keeps it, -1 without a header
    int serialOffset() const;                               // 0 (2.53) or 4 (2.52)
    int serialSize() const;                                 // 20 (2.53) or 12 (2.52)

    // Faults.
    SimFaults faults() const;
    void setFaults(const SimFaults &faults);
    void clearFaults();
    void setReplyDelay(int ms);
    void setSplitReply(int pauseMs);                        // < 0: off
    void setBadChecksum(bool on);
    void setTruncate(bool on);
    void setWrongPageCount(bool on);
    void setNakWrites(bool on);
    void setIgnoreWrites(bool on);
    void setRefuse(SimRefuse mode);
    void setDropAfter(int requests);                        // < 0: off
    void setOtherSerial(const QByteArray &serial);          // empty: off
    void setIdentifyArgs(int count);
    void setIdentifyNoArguments(bool on) { setIdentifyArgs(on ? 0 : 3); }
    void setSilent(bool on);
    void setDeclaredLength(quint32 length);                 // 0: off
    void setExtraPayload(int bytes);                        // 0: off

    // Discovery.
    void setDiscoveryReply(SimDiscoveryReply reply);
    SimDiscoveryReply discoveryReply() const;
    void setDiscoveryMac(const QByteArray &mac);
    void setDiscoveryIp(const QByteArray &ip);
    void setDiscoverySerial(const QByteArray &serial);      // empty: the stored serial
    QByteArray discoveryAnswer() const;                     // the Normal line as it would be sent now
    int discoveryQueries() const;                           // matching datagrams received

    // Request log: the latest requests, at most requestLogLimit() of them.
    QList<SimRequest> requests() const;
    int requestLogLimit() const;
    void setRequestLogLimit(int limit);                     // at least 1
    QStringList requestTrace() const;                       // toString() of each request
    void clearRequests();
    int connectionCount() const;                            // connections accepted so far
    // Requests logged since the last clear, also those the limit let go.
    int requestCount() const;
    // Runs the caller's event loop until requestCount() is at least count.
    bool waitForRequests(int count, int timeoutMs = 5000);

signals:
    // Emitted in the simulator's owner thread (queued).
    void requestReceived();
    void connectionAccepted();
    void discoveryQueried();

protected:
    void connectNotify(const QMetaMethod &signal) override;
    void disconnectNotify(const QMetaMethod &signal) override;

private:
    bool applyRefuse();

    std::shared_ptr<SimCore> m_core;
    QThread *m_thread = nullptr;
    SimEngine *m_engine = nullptr;
    QString m_error;
};
