#pragma once

#include "params/tabvalues53.h"

#include <QString>
#include <QStringList>
#include <QVector>

class DeviceParams53;

// The checks of the 2.53 editor pages, free of widgets so that a tool can run
// them on a stored set. Each returns its problems in the order the page lists
// them; `field` is the page's own field id (the Field enums of the values),
// which the page maps to the control to focus.
struct CheckIssue
{
    int field = 0;
    QString text;
};
using CheckIssues = QVector<CheckIssue>;

namespace Checks53 {

// Every user problem concerns the users table as a whole.
constexpr int UserTable = 0;

CheckIssues checkUsers(const QVector<UserRow53> &rows, int defaultCashier);

// Control characters in a requisite text become spaces.
QString filteredText(const QString &text);
CheckIssues checkOrg(const OrgValues53 &values, bool ofdUsed);

// The register works with an OFD: its INN is valid and not all zeros.
bool ofdUsed(const QString &ofdInn);
CheckIssues checkOfd(const OfdValues53 &values, bool ofdUsed);

// CRC-16/CCITT-FALSE: polynomial 0x1021, start 0xFFFF, no reflection.
quint16 crc16(const QByteArray &bytes);
// The registration number carries a CRC over its first ten characters, the
// organisation INN and the serial number.
bool isValidRegNumber(const QString &regNumber, const QString &serial, const QString &orgInn);
CheckIssues checkRegistration(const RegistrationValues53 &values, const QString &orgInn);

}

// Every problem a 2.53 window lists for this set right after loading it, in
// window order.
QStringList validateParams53(const DeviceParams53 &params);
