#pragma once

#include "link/devicecontroller.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include <functional>

// One register at address:port, talked to as the windows do: a probe before
// each exchange, one DeviceController operation, the serial number checked.
// Each call runs its exchange to the end, reports any failure on standard
// error as one line and returns a CliStatus.
class RegisterSession
{
    Q_DECLARE_TR_FUNCTIONS(RegisterSession)

public:
    // An empty serial asks for no check (identify).
    RegisterSession(const QString &address, quint16 port, const QString &serial);

    int identify();
    int readParams(QByteArray *params, QByteArray *system);
    int writeParams(const QByteArray &params, const QByteArray &system);
    int readGoods(QByteArray *records);
    int writeGoods(const QByteArray &areaImage);

    QString address() const { return m_address; }
    // Of the last successful exchange.
    QString serial() const { return m_controller.serialNumber(); }
    QString version() const;
    int goodsCapacity() const { return m_controller.goodsCapacity(); }

private:
    // `failure` carries %1 for the result code.
    int run(const QString &failure, const QString &progressText, const QVector<int> &areaPages,
            const std::function<void()> &start);
    bool isReachable() const;
    void showProgress(const QString &text, int done);

    QString m_address;
    quint16 m_port;
    QString m_expectedSerial;
    DeviceController m_controller;
    // Pages of each area the exchange moves; frame() counts restart per area.
    QVector<int> m_areaPages;
    int m_area = 0;
    int m_lastFrame = 0;
};
