#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Last known copy of what the utility read from or prepared for one register,
// kept in the settings group "profiles" under the register's serial number.
class DeviceProfile : public QObject
{
public:
    explicit DeviceProfile(QObject *parent = nullptr);

    void save(const QString &name, const QString &version, int goodsCap,
              const QByteArray &params, const QByteArray &system);
    void load(const QString &name, QString &version, int &goodsCap, QByteArray &params,
              QByteArray &system);
    void saveGoods(const QString &name, const QByteArray &goods);
    void loadGoods(const QString &name, QByteArray &goods);
    void remove(const QString &name);
};
