#pragma once

#include "params/configcommon.h"

#include <QByteArray>
#include <QString>

// General settings of a 2.52 register, at the start of the params image; the
// register's serial number lives here. The kept* fields are carried through.
class ConfigBlock52 : public ConfigCommon
{
public:
    static constexpr int Size = 84;
    static constexpr int SerialSize = 12;

    ConfigBlock52() : ConfigCommon(2) {}

    static ConfigBlock52 decode(const QByteArray &bytes);
    // The 84 used bytes, the reserved ones as zeros.
    QByteArray encode() const;

    QString serial() const;
    void setSerial(const QString &serial);

    qint32 kept0 = 0x1234;
    qint8 smallFont = 0;           // 0 or 1, byte 37
    qint16 defaultCashier = 7;     // user number 1..9 in the low byte
    qint16 kept82 = 0;

private:
    QByteArray m_serial = QByteArray(SerialSize, '\0');
};
