#pragma once

#include <QByteArray>
#include <QString>

// Identifiers under which a 2.53 register is registered, at offset 256.
class RegistrationBlock53
{
public:
    static constexpr int Size = 56;
    static constexpr int SerialSize = 20;
    static constexpr int RegNumberSize = 20;
    static constexpr int FnNumberSize = 16;

    static RegistrationBlock53 decode(const QByteArray &bytes);
    QByteArray encode() const;

    QString serial() const;
    void setSerial(const QString &serial);
    QString regNumber() const;
    void setRegNumber(const QString &number);
    QString fnNumber() const;
    void setFnNumber(const QString &number);

private:
    QByteArray m_serial = QByteArray(SerialSize, '\0');
    QByteArray m_regNumber = QByteArray(RegNumberSize, '\0');
    QByteArray m_fnNumber = QByteArray(FnNumberSize, '\0');
};
