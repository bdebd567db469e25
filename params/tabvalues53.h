#pragma once

#include <QString>
#include <QVector>

class DeviceParams53;

// The values of a 2.53 set as the editor pages show them: cut to the edits'
// lengths and clamped to the spin boxes' ranges. The pages fill their
// controls from these, and a check without widgets works on the same values.

// One listed user; `record` is the 0-based user record it came from.
struct UserRow53
{
    QString name;
    QString barcode;
    QString inn;
    QString fullName;
    QString password;
    int rights = 0;
    int position = 0;
    bool active = false;
    int record = -1;
};

struct OrgValues53
{
    enum Field { Inn, Name, Address, Place, Email };
    static constexpr int InnMax = 12;
    static constexpr int TextMax = 240;
    static constexpr int EmailMax = 64;

    static OrgValues53 fromSet(const DeviceParams53 &set);

    QString inn;
    QString name;
    QString address;
    QString place;
    QString email;
};

struct OfdValues53
{
    enum Field { Inn, Address, Port, CheckSite, Name, TaxSite };
    static constexpr int AddressMax = 63;
    static constexpr int InnMax = 12;
    static constexpr int TextMax = 256;
    static constexpr int PortMin = 0, PortMax = 65535;
    static constexpr int PollMin = 3, PollMax = 3600;
    static constexpr int ConnectMin = 40, ConnectMax = 3600;

    static OfdValues53 fromSet(const DeviceParams53 &set);

    QString address;
    int port = 0;
    int pollTimer = PollMin;
    int connectTimer = ConnectMin;
    QString inn;
    QString name;
    QString checkSite;
    QString taxSite;
};

struct RegistrationValues53
{
    enum Field { Serial, RegNumber, FnNumber };
    static constexpr int SerialMax = 20;
    static constexpr int RegNumberMax = 20;
    static constexpr int FnNumberMax = 16;

    static RegistrationValues53 fromSet(const DeviceParams53 &set);

    QString serial;
    QString regNumber;
    QString fnNumber;
};

namespace TabValues53 {

// The users the users page lists: every record not flagged hidden, in order.
QVector<UserRow53> userRows(const DeviceParams53 &set);
// The 0-based choice of "Кассир по умолчанию:", -1 when the stored number
// names no user record.
int defaultCashierIndex(const DeviceParams53 &set);

}
