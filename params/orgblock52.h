#pragma once

#include <QByteArray>
#include <QString>

// Organisation requisites of a 2.52 register, 256 bytes at offset 256.
class OrgBlock52
{
public:
    static constexpr int Size = 256;
    static constexpr int InnSize = 12;
    static constexpr int TextSize = 110;
    static constexpr int NameOffset = 16, AddressOffset = 136;

    static OrgBlock52 decode(const QByteArray &block);
    // Writes the fields at `offset`, leaving the unused gaps of the block alone.
    void writeInto(QByteArray &image, int offset) const;

    QString inn() const;
    void setInn(const QString &inn);
    QString name() const;
    void setName(const QString &name);
    QString address() const;
    void setAddress(const QString &address);

private:
    QByteArray m_inn = QByteArray(InnSize, '\0');
    QByteArray m_name = QByteArray(TextSize, '\0');
    QByteArray m_address = QByteArray(TextSize, '\0');
};
