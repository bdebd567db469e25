#pragma once

#include "params/configblock52.h"
#include "params/deviceparams.h"
#include "params/ofdblock52.h"
#include "params/orgblock52.h"
#include "params/registrationrecord52.h"
#include "params/userrecord52.h"

#include <QVector>

// The parameter set of a 2.52 register; its registration history lives in
// the system block.
class DeviceParams52 : public DeviceParams
{
    Q_OBJECT

public:
    static constexpr int ConfigOffset = 0;
    static constexpr int OrgOffset = 256;
    static constexpr int UsersOffset = 512;
    static constexpr int OfdOffset = 2304;
    static constexpr int UserCount = 9;
    static constexpr int HistorySlots = 16;
    static constexpr int SystemSize = HistorySlots * RegistrationRecord52::Size;

    explicit DeviceParams52(QObject *parent = nullptr);

    void load(const QString &serial, const QByteArray &params, const QByteArray &system) override;
    void save(QByteArray &params, QByteArray &system) override;
    int deptPage() const override { return 4; }
    int designPage() const override { return 7; }

    ConfigBlock52 &config() { return m_config; }
    const ConfigBlock52 &config() const { return m_config; }
    OrgBlock52 &org() { return m_org; }
    const OrgBlock52 &org() const { return m_org; }
    OfdBlock52 &ofd() { return m_ofd; }
    const OfdBlock52 &ofd() const { return m_ofd; }
    QVector<UserRecord52> &users() { return m_users; }
    const QVector<UserRecord52> &users() const { return m_users; }
    // Only the first sixteen records fit into the system block.
    QVector<RegistrationRecord52> &history() { return m_history; }
    const QVector<RegistrationRecord52> &history() const { return m_history; }

private:
    void addDefaultUsers();
    void readUsers(const QByteArray &params);
    void writeUsers(QByteArray &params) const;
    void readHistory(const QByteArray &system);
    void writeHistory(QByteArray &system) const;

    ConfigBlock52 m_config;
    OrgBlock52 m_org;
    OfdBlock52 m_ofd;
    QVector<UserRecord52> m_users;
    QVector<RegistrationRecord52> m_history;
};
