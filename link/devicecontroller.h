#pragma once

#include "link/devicerequest.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class DeviceNet;
class QThread;

// What a window owns to talk to a register: each operation starts one exchange
// on a fresh link and worker thread and returns at once; finished() follows
// exactly once, after which the members below hold the outcome. Identity,
// serial number and data change only when an exchange succeeds.
class DeviceController : public QObject
{
    Q_OBJECT

public:
    explicit DeviceController(QObject *parent = nullptr);
    ~DeviceController() override;

    void queryIdentity(const QString &address, quint16 port);
    void readParams(const QString &address, quint16 port);
    void writeParams(const QString &address, quint16 port, const QByteArray &block);
    void readGoodsRange(const QString &address, quint16 port, qint32 start, qint32 count);
    void readGoods(const QString &address, quint16 port);
    void writeGoods(const QString &address, quint16 port, const QByteArray &image);
    // What the operations above call; an op outside 1..6 ends with -7.
    void startExchange(int op, const QString &address, quint16 port, const QByteArray &input);

    // The wait for each reply of the following exchanges (DeviceNet::ReplyTimeout
    // unless a test shortens it).
    void setReplyTimeout(int msecs) { m_replyTimeout = msecs; }
    // The wait for the connection of the following exchanges to come up.
    void setConnectTimeout(int msecs) { m_connectTimeout = msecs; }
    // Where each firmware family keeps its serial number; every exchange
    // needs it to read the register's.
    void setSerialLocations(const SerialLocations &locations) { m_serialLocations = locations; }
    // The owner's steps around the next operation 2..6 (DeviceRequest); they
    // go with that exchange only.
    void setOperationSteps(const DeviceRequest::Step &before, const DeviceRequest::Step &after);

    // True from an operation until its link and thread are gone.
    bool isBusy() const { return !m_thread.isNull(); }

    QString address() const { return m_address; }
    quint16 port() const { return m_port; }
    int versionMajor() const { return m_versionMajor; }
    int versionMinor() const { return m_versionMinor; }
    int versionBuild() const { return m_versionBuild; }
    int identityValue() const { return m_identityValue; }
    int goodsCapacity() const { return m_goodsCapacity; }
    QString serialNumber() const { return m_serialNumber; }
    int result() const { return m_result; }
    QByteArray data() const { return m_data; }
    QString expectedSerial() const { return m_expectedSerial; }
    void setExpectedSerial(const QString &serial) { m_expectedSerial = serial; }

signals:
    void connected();
    void disconnected();
    void finished();
    void frame(int done);
    void pages(int count);

public slots:
    void stop();

private slots:
    void onConnected();
    void onDisconnected();

private:
    QString m_address;
    quint16 m_port = 0;
    QPointer<DeviceNet> m_net;
    int m_versionMajor = 0;
    int m_versionMinor = 0;
    int m_versionBuild = 0;
    int m_identityValue = 0;
    int m_goodsCapacity = 0;
    QString m_serialNumber;
    int m_result = 0;
    QByteArray m_data;
    QString m_expectedSerial;
    QPointer<QThread> m_thread;
    int m_replyTimeout;
    int m_connectTimeout;
    SerialLocations m_serialLocations;
    DeviceRequest::Step m_before;
    DeviceRequest::Step m_after;
};
