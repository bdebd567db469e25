#pragma once

#include "params/devicerecord.h"

#include <QObject>
#include <QVector>

// The registered registers, as the settings array "devices". Loaded on
// construction; written back by save() or, with unsaved changes, on destruction.
class DeviceRegistry : public QObject
{
    Q_OBJECT

public:
    explicit DeviceRegistry(QObject *parent = nullptr);
    ~DeviceRegistry() override;

    void save();

    void registerDevice(const QString &serial, const QString &version, const QString &name,
                        const QString &addr);
    void setVersion(const QString &serial, const QString &version);
    void setAddress(const QString &serial, const QString &addr);
    void remove(const QString &serial);

    const QVector<DeviceRecord> &devices() const;
    bool isModified() const;

signals:
    void changed();

private:
    DeviceRecord *find(const QString &serial);
    void touch();

    QVector<DeviceRecord> m_devices;
    bool m_modified = false;
};
