#pragma once

#include <QByteArray>
#include <QString>

// Connection to the fiscal data operator of a 2.52 register, 140 bytes at offset 2304.
class OfdBlock52
{
public:
    static constexpr int Size = 140;
    static constexpr int TextSize = 64, TextMax = 63;

    static OfdBlock52 decode(const QByteArray &bytes);
    QByteArray encode() const;

    QString address() const;
    void setAddress(const QString &address);
    QString site() const;
    void setSite(const QString &site);
    // The packed INN as twelve digits, without a check digit.
    QString inn() const;
    void setInn(const QString &inn);
    // Takes back a text shown as inn(): packs it only when it differs, so a
    // field holding no valid digits is not rewritten by an untouched page.
    void setShownInn(const QString &inn);
    QByteArray innField() const { return m_inn; }

    quint16 port = 0;
    qint16 connectTimer = 30;  // seconds
    qint16 pollTimer = 30;     // seconds

private:
    QByteArray m_address = QByteArray(TextSize, '\0');
    QByteArray m_site = QByteArray(TextSize, '\0');
    QByteArray m_inn = QByteArray(6, '\0');
};
