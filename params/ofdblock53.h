#pragma once

#include <QByteArray>
#include <QString>

// Connection to the fiscal data operator of a 2.53 register, 1024 bytes at offset 3840.
class OfdBlock53
{
public:
    static constexpr int Size = 1024;
    static constexpr int AddressSize = 65, AddressMax = 64;
    static constexpr int InnSize = 13, InnMax = 12;
    static constexpr int TextSize = 256;  // may be filled completely
    static constexpr int NameOffset = 256, TaxSiteOffset = 512, CheckSiteOffset = 768;

    static OfdBlock53 decode(const QByteArray &block);
    // Writes the fields at `offset`, leaving the unused gap of the block alone.
    void writeInto(QByteArray &image, int offset) const;

    QString address() const;
    void setAddress(const QString &address);
    QString inn() const;
    void setInn(const QString &inn);
    QString name() const;
    void setName(const QString &name);
    QString taxSite() const;
    void setTaxSite(const QString &site);
    QString checkSite() const;
    void setCheckSite(const QString &site);

    quint16 port = 0;
    qint16 connectTimer = 30;  // seconds
    qint16 pollTimer = 30;     // seconds

private:
    QByteArray m_address = QByteArray(AddressSize, '\0');
    QByteArray m_inn = QByteArray(InnSize, '\0');
    QByteArray m_name = QByteArray(TextSize, '\0');
    QByteArray m_taxSite = QByteArray(TextSize, '\0');
    QByteArray m_checkSite = QByteArray(TextSize, '\0');
};
