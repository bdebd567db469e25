#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One entry of the registration history in the 2.52 system block, 64 bytes
// ending in a check byte; an unused slot is all zeros.
class RegistrationRecord52
{
public:
    static constexpr int Size = 64;
    static constexpr quint8 UsedMarker = 0xC1;
    static constexpr int RegNumberSize = 21, RegNumberMax = 20;
    static constexpr int InnSize = 13, InnMax = 12;
    static constexpr int FnNumberSize = 17, FnNumberMax = 16;

    static RegistrationRecord52 decode(const QByteArray &bytes);
    // Bytes 60..62 are zero and byte 63 the XOR of bytes 0..62.
    QByteArray encode() const;

    bool isUsed() const { return marker == UsedMarker; }

    // Invalid when the stored bytes name no real date or time.
    QDateTime dateTime() const;
    // An invalid date-time stores zeros.
    void setDateTime(const QDateTime &dateTime);

    QString regNumber() const;
    void setRegNumber(const QString &number);
    QString inn() const;
    void setInn(const QString &inn);
    QString fnNumber() const;
    void setFnNumber(const QString &number);

    quint8 marker = UsedMarker;
    quint8 day = 0;
    quint8 month = 0;
    quint8 year = 0;  // year - 2000
    quint8 hour = 0;
    quint8 minute = 0;
    quint8 taxSystems = 0;  // bits 0..5
    quint8 workModes = 0;   // bits 0..5
    quint8 closed = 0;

private:
    QByteArray m_regNumber = QByteArray(RegNumberSize, '\0');
    QByteArray m_inn = QByteArray(InnSize, '\0');
    QByteArray m_fnNumber = QByteArray(FnNumberSize, '\0');
};
