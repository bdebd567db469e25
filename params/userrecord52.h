#pragma once

#include <QByteArray>
#include <QString>

// One user of a 2.52 register, 32 bytes ending in a check byte.
class UserRecord52
{
public:
    static constexpr int Size = 32;
    static constexpr int NameSize = 15, NameMax = 14;
    static constexpr quint16 ActiveFlag = 0x0004;
    static constexpr quint16 HiddenFlag = 0x0008;

    static UserRecord52 decode(const QByteArray &bytes);
    // Byte 30 is zero and byte 31 the XOR of bytes 0..30.
    QByteArray encode() const;

    QString name() const;
    void setName(const QString &name);
    // The stored digits with their check digit appended.
    QString barcode() const;
    // Keeps at most the first twelve digits: a 13-digit code loses its check digit.
    void setBarcode(const QString &barcode);
    // Takes back a text shown as barcode(): packs it only when it differs, so
    // an untouched code keeps its stored digits (an eleven-digit code would
    // otherwise gain its check digit as a twelfth).
    void setShownBarcode(const QString &barcode);
    QByteArray barcodeField() const { return m_barcode; }

    bool isActive() const { return flags & ActiveFlag; }
    void setActive(bool active);
    bool isHidden() const { return flags & HiddenFlag; }

    qint8 number = 0;    // 1..9
    qint8 rights = 0;    // 1 cashier, 2 senior cashier, 3 administrator, 4 technician
    quint16 flags = 0;
    qint32 kept25 = 0;
    qint8 position = 0;  // 1-based position name

private:
    QByteArray m_barcode = QByteArray(6, char(0xFF));
    QByteArray m_name = QByteArray(NameSize, '\0');
};
