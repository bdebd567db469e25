#pragma once

#include <QByteArray>
#include <QString>

// One user of a 2.53 register, 118 bytes.
class UserRecord53
{
public:
    static constexpr int Size = 118;
    static constexpr int NameSize = 15, NameMax = 14;
    static constexpr int BarcodeSize = 14, BarcodeMax = 13;
    static constexpr int InnSize = 13, InnMax = 12;
    static constexpr int FullNameSize = 65, FullNameMax = 64;
    static constexpr int PasswordSize = 7, PasswordMax = 6;
    static constexpr quint16 ActiveFlag = 0x0004;
    static constexpr quint16 HiddenFlag = 0x0008;

    static UserRecord53 decode(const QByteArray &bytes);
    QByteArray encode() const;

    QString name() const;
    void setName(const QString &name);
    QString barcode() const;
    void setBarcode(const QString &barcode);
    QString inn() const;
    void setInn(const QString &inn);
    QString fullName() const;
    void setFullName(const QString &fullName);
    QString password() const;
    void setPassword(const QString &password);

    bool isActive() const { return flags & ActiveFlag; }
    void setActive(bool active);
    // Hidden users are kept in the table but not offered for editing.
    bool isHidden() const { return flags & HiddenFlag; }

    qint8 rights = 0;    // 1 cashier, 2 senior cashier, 3 administrator, 4 technician
    qint8 position = 0;  // 1-based position name
    quint16 flags = 0;

private:
    QByteArray m_name = QByteArray(NameSize, '\0');
    QByteArray m_barcode = QByteArray(BarcodeSize, '\0');
    QByteArray m_inn = QByteArray(InnSize, '\0');
    QByteArray m_fullName = QByteArray(FullNameSize, '\0');
    QByteArray m_password = QByteArray(PasswordSize, '\0');
};
