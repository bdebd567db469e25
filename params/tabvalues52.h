#pragma once

#include "params/ofdblock52.h"
#include "params/orgblock52.h"
#include "params/packeddecimal.h"

#include <QDateTime>
#include <QString>
#include <QVector>

class DeviceParams52;

// The values of a 2.52 set as the editor pages show them: cut to the edits'
// lengths and clamped to the spin boxes' ranges. The pages fill their
// controls and tables from these; what they store goes straight back into
// the blocks.

// One listed user; `record` is the 0-based user record it came from.
struct UserRow52
{
    QString name;
    int rights = 0;      // 1..4
    QString barcode;     // with its check digit
    int position = 0;    // 1-based
    bool active = false;
    int record = -1;
};

// One record of the registration history.
struct RegistrationRow52
{
    QDateTime dateTime;
    QString regNumber;
    QString inn;
    QString fnNumber;
    int taxSystems = 0;  // bit set
    int workModes = 0;   // bit set
    bool closed = false;
};

struct OrgValues52
{
    static constexpr int InnMax = OrgBlock52::InnSize;
    static constexpr int TextMax = OrgBlock52::TextSize;

    static OrgValues52 fromSet(const DeviceParams52 &set);

    QString inn;
    QString name;
    QString address;
};

struct OfdValues52
{
    static constexpr int TextMax = OfdBlock52::TextMax;
    static constexpr int InnMax = PackedDecimal::MaxDigits;
    static constexpr int PortDigits = 5;
    static constexpr int PortMin = 0, PortMax = 65535;
    static constexpr int TimerMin = 3, TimerMax = 3600;

    static OfdValues52 fromSet(const DeviceParams52 &set);

    QString address;
    int port = 0;
    int pollTimer = TimerMin;
    int connectTimer = TimerMin;
    QString inn;
    QString site;
};

namespace TabValues52 {

// The users the users page lists: every record not flagged hidden, in order.
QVector<UserRow52> userRows(const DeviceParams52 &set);
// One row per record of the registration history, in record order.
QVector<RegistrationRow52> registrationRows(const DeviceParams52 &set);

}
