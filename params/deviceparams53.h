#pragma once

#include "params/configblock53.h"
#include "params/deviceparams.h"
#include "params/ofdblock53.h"
#include "params/orgblock53.h"
#include "params/registrationblock53.h"
#include "params/userrecord53.h"

#include <QVector>

// The parameter set of a 2.53 register; it uses the params image only.
class DeviceParams53 : public DeviceParams
{
    Q_OBJECT

public:
    static constexpr int ConfigOffset = 0;
    static constexpr int RegistrationOffset = 256;
    static constexpr int OrgOffset = 512;
    static constexpr int UsersOffset = 1792;
    static constexpr int OfdOffset = 3840;
    static constexpr int UserCount = 16;

    explicit DeviceParams53(QObject *parent = nullptr);

    void load(const QString &serial, const QByteArray &params, const QByteArray &system) override;
    void save(QByteArray &params, QByteArray &system) override;
    int deptPage() const override { return 6; }
    int designPage() const override { return 19; }

    ConfigBlock53 &config() { return m_config; }
    const ConfigBlock53 &config() const { return m_config; }
    RegistrationBlock53 &registration() { return m_registration; }
    const RegistrationBlock53 &registration() const { return m_registration; }
    OrgBlock53 &org() { return m_org; }
    const OrgBlock53 &org() const { return m_org; }
    OfdBlock53 &ofd() { return m_ofd; }
    const OfdBlock53 &ofd() const { return m_ofd; }
    QVector<UserRecord53> &users() { return m_users; }
    const QVector<UserRecord53> &users() const { return m_users; }

private:
    void addDefaultUsers();
    void readUsers(const QByteArray &params);
    void writeUsers(QByteArray &params) const;

    ConfigBlock53 m_config;
    RegistrationBlock53 m_registration;
    OrgBlock53 m_org;
    OfdBlock53 m_ofd;
    QVector<UserRecord53> m_users;
};
