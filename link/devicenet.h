#pragma once

#include "link/devicerequest.h"
#include "link/linkresult.h"
#include "link/registerdefaults.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>

#include <memory>

class QTcpSocket;

// One TCP connection to a register, running one exchange on its own worker
// thread: connect, identify, read the page-0 header and the serial number,
// perform the request's operation, close. Every primitive returns 0 or a
// LinkResult code.
class DeviceNet : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Params, System };

    struct AreaDescriptor
    {
        quint16 first = 0;
        quint16 count = 0;
    };

    static constexpr int ReplyTimeout = RegisterDefaults::ReplyTimeout;
    static constexpr int ConnectTimeout = RegisterDefaults::ConnectTimeout;
    static constexpr int AreaCount = 5;
    // Far more than any reply; what a misbehaving register sends beyond it
    // waits in the operating system instead of in our memory.
    static constexpr int ReadBufferSize = 64 * 1024;

    DeviceNet();
    ~DeviceNet() override;

    // Takes ownership of the request.
    void setTarget(const QString &host, quint16 port, DeviceRequest *request);
    // How long each reply may take; ReplyTimeout unless a test shortens it.
    void setReplyTimeout(int msecs) { m_replyTimeout = msecs; }
    int replyTimeout() const { return m_replyTimeout; }
    // How long the connection may take to come up; ConnectTimeout unless a
    // test shortens it.
    void setConnectTimeout(int msecs) { m_connectTimeout = msecs; }
    bool isStopped() const;

    // Connects synchronously without running an exchange, so that the
    // primitives below can be driven one by one (tests, benchmarks).
    bool openBlocking(int msecs);

    DeviceRequest *request() const { return m_request.get(); }
    quint32 version() const { return m_version; }
    qint32 identityValue() const { return m_identityValue; }
    qint32 goodsCapacity() const { return m_goodsCapacity; }
    QByteArray serial() const { return m_serial; }
    qint16 headerWord() const { return m_headerWord; }
    // id 1..5
    AreaDescriptor area(int id) const;

    int transact(const QByteArray &frame, QByteArray *reply);
    int identify();
    int readPages(QByteArray *out, int first, int count);
    int writePages(const QByteArray &data, int first, int count, Kind kind);
    int readHeader(const QByteArray &page);
    int readSerial(quint32 version);
    int readArea(QByteArray *out, int first, int count);
    int readGoodsPages(QByteArray *out, int first, int count);
    int readGoodsRecords(QByteArray *out, int start, int count);
    int writeArea(const QByteArray &data, int first, int count, Kind kind);
    int writeAt(const QByteArray &data, int first);
    int patchPage(const QByteArray &data, int page, int offset);

signals:
    void connected();
    void disconnected();
    void closed();
    void frame(int done);
    void pages(int count);

public slots:
    void run();
    // Safe to call from any thread while the exchange runs.
    void stop();
    void close();

private slots:
    void onConnect();
    void onDisconnect();
    void onError(QAbstractSocket::SocketError error);
    void onStopRequested();
    void onConnectTimeout();

private:
    void createSocket(bool runExchange);
    int exchange();
    int checkSerial() const;
    int runStep(const DeviceRequest::Step &step);
    int runOperation(int op);
    bool areasApart() const;
    // Whatever the register sent that nobody asked for.
    void discardUnasked();
    bool paramsAreasFitBlock() const;
    int readParamsAreas();
    int writeParamsAreas();
    int readGoodsRange();
    int writeGoodsArea();
    void report();

    QTcpSocket *m_socket = nullptr;
    QString m_host;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    std::unique_ptr<DeviceRequest> m_request;
    bool m_stopped = false;
    quint32 m_version = 0;
    qint32 m_identityValue = 0;
    qint32 m_goodsCapacity = 0;
    QByteArray m_serial;
    qint16 m_headerWord = 0;
    AreaDescriptor m_areas[AreaCount];
    int m_replyTimeout = ReplyTimeout;
    int m_connectTimeout = ConnectTimeout;

    // Worker-thread state that keeps the owner's view to one report per
    // exchange: a socket error during the procedure is recorded here and
    // surfaces through the failing primitive instead of a second report.
    bool m_running = false;
    bool m_socketBroken = false;
    bool m_reported = false;
};
